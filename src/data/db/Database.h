#pragma once

#include "data/base/Error.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>

// One connection through Qt SQL: a SQLite file, or books on a PostgreSQL
// server (ServerAddress). The class owns its connection name; every statement
// binds its values, and multi-statement changes go through Transaction. Error
// numbers are SQLite's result codes, or the server's SQLSTATE as a number
// (40001), or one of the ServerFault codes below.
class Database {
public:
    enum class Engine { Sqlite, Server };
    // Why books on a server cannot be used (ErrorInfo::number).
    enum ServerFault {
        ServerUnreachable = 3101,  // down, wrong address or port, no network
        ServerLoginRefused = 3102, // password or user refused
        ServerNoDatabase = 3103,
        ServerNoSchema = 3104, // a database without Tallox's tables (--init-server)
        ServerNewerSchema = 3105,
        ServerBusy = 3106, // a store kept meeting other computers' changes
        // The connection broke while COMMIT was under way and the server could
        // not be asked afterwards whether it committed: never run such a store again.
        ServerCommitUnknown = 3107,
        // The connection broke during a store; it is open again and the server
        // kept nothing of the store, so it may run again.
        ServerStoreLost = 3108,
        ServerDeadlock = 40901, // SQLSTATE 40P01
        ServerSerialization = 40001,
        ServerReadOnly = 25006, // SQLSTATE: a store on a read-only connection
        ServerNoRights = 42501, // SQLSTATE: the role may not write
    };
    // The schema version the server's books must have.
    static constexpr int kServerSchemaVersion = 1;

    Database();
    explicit Database(const QString& connectionName);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens an existing SQLite file (never creates one) and checks that it is a
    // readable database. `createIfMissing` is only for the first-run default folder.
    // `readOnly`: SQLite opens the file read-only (files attached later too) and
    // its journal mode is left as the file has it.
    // A server address opens the books there; the schema must exist with
    // Tallox's version (`needSchema` false: only the connection, for --init-server).
    bool open(const QString& path, ErrorInfo* error = nullptr, bool createIfMissing = false, bool readOnly = false,
              bool needSchema = true);
    // ATTACH another file under an alias, so that one statement can join both.
    // On a server every table is in the one database: the card table in the
    // schema "card", the ledger's in "main"; another alias names "main".
    bool attach(const QString& path, const QString& alias, ErrorInfo* error = nullptr);
    // The schema qualifier that reaches an attached alias ("books" -> "main" on a server).
    QString schemaOf(const QString& alias) const;
    bool isAttached(const QString& alias) const;
    // Whether a table exists in an attached schema, and its columns (lower case).
    bool tableExists(const QString& schema, const QString& table) const;
    QStringList columnsOf(const QString& schema, const QString& table, ErrorInfo* error = nullptr) const;
    // A table or column name as a quoted identifier (the server folds names to lower case).
    QString quoted(const QString& name) const;

    Engine engine() const { return m_engine; }
    bool isServer() const { return m_engine == Engine::Server; }

    // SQLite books: the write-ahead log is copied into the books only when
    // checkpointLog() says so, never inside the commit that happens to fill
    // it, so that a typed edit does not wait for that copy and its fsync.
    // False (and nothing changed) on a server.
    bool deferCheckpoints();
    // Copies what the log holds into the books, as far as no reader is in the
    // way (a passive checkpoint). True on a server, where there is no log.
    bool checkpointLog(ErrorInfo* error = nullptr);
    // Whether a failed store may simply be run again (the server gave way to another computer).
    static bool IsRetryable(const ErrorInfo& e);
    // Whether a server connection that was open has broken (server restarted,
    // network gone, the server ended the session); reconnect() opens it again.
    bool isBroken() const;
    void close();
    bool isOpen() const;
    // A server connection that broke (server restarted, network gone) is
    // opened again with the same address; `reopened` says whether it had to.
    // False with `error` while the server cannot be reached. SQLite: nothing to do.
    bool reconnect(bool* reopened, ErrorInfo* error = nullptr);
    // How often reconnect() opened the connection again: a window that sees it
    // change reloads, as other computers' changes were not heard meanwhile.
    int reopenCount() const { return m_reopens; }

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
    friend class ReadSnapshot;
    bool openServer(const QString& address, ErrorInfo* error, bool readOnly, bool needSchema);
    // After the reply to COMMIT was lost with the connection: true when the
    // server committed transaction `xid` (of session `pid`), else why not.
    bool settleLostCommit(qint64 xid, qint64 pid, const ErrorInfo& lost, ErrorInfo* error);
    bool checkServerSchema(ErrorInfo* error);
    bool prepareServer(bool readOnly, ErrorInfo* error);
    bool m_serverReadOnly = false;
    QString m_name;
    Engine m_engine = Engine::Sqlite;
    QStringList m_aliases;
    QString m_path;
    int m_depth = 0;
    int m_savepointCounter = 0;
    int m_reopens = 0;
};

// A transaction (a SAVEPOINT, so that transactions nest): rolled back on
// destruction unless committed. On a server the outermost one is a
// SERIALIZABLE transaction: a change that met another computer's concurrent
// change fails with ServerSerialization and may be run again. When the
// connection breaks during its COMMIT, commit() opens it again and asks the
// server whether the transaction committed (true), was lost (ServerStoreLost)
// or cannot be known (ServerCommitUnknown), so that no store is kept twice.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    bool isActive() const { return m_active; }
    // A failed commit is rolled back.
    bool commit(ErrorInfo* error = nullptr);
    // A failure is added to `*error` (after the cause already there) and the
    // connection's whole transaction is ended, so that nothing of it commits.
    bool rollback(ErrorInfo* error = nullptr);

private:
    Database& m_db;
    QString m_name;
    bool m_active = false;
};

// Several statements that must see the books at one moment (a check, a sheet
// and its brought-forward balance, a summary): on a server one REPEATABLE READ
// READ ONLY transaction, on SQLite one read transaction. A server connection
// that broke meanwhile is opened again first. Inside another transaction it
// adds nothing.
class ReadSnapshot {
public:
    explicit ReadSnapshot(Database& db);
    ~ReadSnapshot();
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;

    // False with why when the server cannot be reached (the reads would only fail).
    bool ok(ErrorInfo* error) const;

private:
    Database& m_db;
    bool m_active = false;
    ErrorInfo m_error;
};
