#pragma once

#include "data/base/Money.h"
#include "data/books/AppContext.h"
#include "gui/toolkit/Messages.h"

#include <QDate>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// A fresh application folder for one test: TALLOX_HOME points into a
// temporary folder, both databases are created there (or, on the test server,
// as empty books there: dbFolder() is then its address) with the schema and
// opened into an AppContext, message boxes and file dialogs are scripted
// through their hooks and today is fixed (15 June 2005 unless told otherwise).
class TestEnv {
public:
    explicit TestEnv(const QDate& today = QDate(2005, 6, 15), bool createDatabases = true);
    ~TestEnv();

    QString appFolder() const;
    QString dbFolder() const;
    AppContext& ctx() { return *m_ctx; }

    // Test data straight into the tables (amounts in won).
    void addCard(int code, const QString& name, double feeRate = 0.0, int setday = 0);
    int addEntry(const QString& date, int card, double sale, double fee = 0, double billcoll = 0, int numsheet = 1);
    void addTransfer(const QString& month, int card, double amount);
    Money transferAmount(const QString& month, int card, bool* exists = nullptr);
    int count(const QString& table);

private:
    QTemporaryDir m_dir;
    QByteArray m_oldHome;
    QString m_server; // the books' address when the tests run on the server
    std::unique_ptr<AppContext> m_ctx;
};

// Shows an error handed back by a store or query as a window would, so that
// a test reads the same box: Say(store.Do(..., &e), e).
// One command-line run, as `tallox ARGS` does it, with what it printed.
struct CommandRun {
    int status = -1;
    QString out;
    QString err;
};
CommandRun RunTallox(const QStringList& args);

// A row trigger for a fault the test needs, on either engine: `spec` as
// "BEFORE INSERT ON transfer", `when` a condition on NEW (may be empty),
// `action` one statement; without one, the change is refused ("blocked").
bool AddTestTrigger(Database& db, const QString& name, const QString& spec, const QString& when = QString(),
                    const QString& action = QString());

bool DropTestTrigger(Database& db, const QString& name);

// A lock file's content: "empty", "garbage", "gone" (a process that has
// ended), "other" (a live process of another program, started in `other`,
// that the file calls tallox) or "live" (this test program, which runs).
QByteArray LockFileContent(const QString& owner, QProcess* other);

// A file's content hash, empty when it cannot be read: "left unchanged" checks.
QByteArray FileChecksum(const QString& path);

inline bool Say(bool ok, const ErrorInfo& e)
{
    if (!ok && e.isSet())
        ShowError(e);
    return ok;
}

// Asserts the last message box shown (kind, title, text).
#define TALLOX_COMPARE_LAST_BOX(kindText, titleText, bodyText)                                                         \
    do {                                                                                                               \
        QVERIFY2(!MessageHook::shown().isEmpty(), "no message box was shown");                                         \
        QCOMPARE(MessageHook::shown().last().kind, QString(kindText));                                                 \
        QCOMPARE(MessageHook::shown().last().title, QString(titleText));                                               \
        QCOMPARE(MessageHook::shown().last().text, QString(bodyText));                                                 \
    } while (0)
