#pragma once

#include "base/Error.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

// One SQLite connection through Qt SQL. The class owns its connection name;
// every statement binds its values, and multi-statement changes go through
// Transaction. Error numbers are SQLite's result codes.
class Database {
public:
    Database();
    explicit Database(const QString& connectionName);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens an existing SQLite file (never creates one) and checks that it is a
    // readable database. `createIfMissing` is only for the first-run default folder.
    // `readOnly`: SQLite opens the file read-only (files attached later too) and
    // its journal mode is left as the file has it.
    bool open(const QString& path, ErrorInfo* error = nullptr, bool createIfMissing = false, bool readOnly = false);
    // ATTACH another file under an alias, so that one statement can join both.
    bool attach(const QString& path, const QString& alias, ErrorInfo* error = nullptr);
    void close();
    bool isOpen() const;

    QString path() const { return m_path; }
    QString connectionName() const { return m_name; }
    QSqlDatabase handle() const;

    // A forward-only query on this connection.
    QSqlQuery newQuery() const;

    // Runs an action statement; returns the number of rows it changed, or -1 with `error` set.
    int execute(const QString& sql, const QVariantList& binds = {}, ErrorInfo* error = nullptr);
    // Runs a query returning one value (first column of the first row); invalid QVariant on error or no row.
    QVariant scalar(const QString& sql, const QVariantList& binds = {}, ErrorInfo* error = nullptr) const;

    int userVersion() const;
    bool setUserVersion(int version);

    // Whether the SQLite handle is inside a transaction right now.
    int transactionDepth() const { return m_depth; }

    static ErrorInfo errorOf(const QSqlError& e);

private:
    friend class Transaction;
    QString m_name;
    QString m_path;
    int m_depth = 0;
    int m_savepointCounter = 0;
};

// A transaction (a SAVEPOINT, so that transactions nest): rolled back on
// destruction unless committed.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    bool isActive() const { return m_active; }
    bool commit(ErrorInfo* error = nullptr);
    void rollback();

private:
    Database& m_db;
    QString m_name;
    bool m_active = false;
};
