#include "cards/CardStore.h"

#include "core/AppPaths.h"
#include "core/DbAccess.h"
#include "core/Money.h"

#include <QFileInfo>
#include <QSqlQuery>

namespace {
// SQLite primary result codes (extended codes carry them in the low byte).
constexpr int kSqliteBusy = 5;
constexpr int kSqliteLocked = 6;
constexpr int kSqliteConstraint = 19;

CardRecord readRow(const QSqlQuery& rs)
{
    CardRecord c;
    c.code = rs.value(QStringLiteral("code")).toInt();
    c.name = rs.value(QStringLiteral("name")).toString();
    c.fee = rs.value(QStringLiteral("fee"));
    c.setday = rs.value(QStringLiteral("setday"));
    return c;
}

bool readAll(Database& db, const QString& sql, const QVariantList& binds, QList<CardRecord>* rows)
{
    rows->clear();
    QSqlQuery rs;
    if (!OpenSnapshot(db, rs, sql, binds))
        return false;
    while (rs.next())
        rows->append(readRow(rs));
    CloseRs(rs);
    return true;
}

// Runs `work` on a short-lived read connection to the ledger beside the card
// database; nothing happens when that file is missing or cannot be read.
template <typename Work>
void withLedger(const QString& cardDbPath, Work work)
{
    const QString path = CardStore::LedgerFileBeside(cardDbPath);
    if (path.isEmpty() || !QFileInfo::exists(path))
        return;
    Database ledger;
    if (!ledger.open(path))
        return;
    work(ledger);
}
} // namespace

namespace CardStore {

QString ContainsPattern(const QString& part)
{
    QString escaped;
    escaped.reserve(part.size() + 2);
    for (const QChar ch : part) {
        if (ch == u'\\' || ch == u'%' || ch == u'_')
            escaped += u'\\';
        escaped += ch;
    }
    return u'%' + escaped + u'%';
}

bool ListByName(Database& db, const QString& part, QList<CardRecord>* rows)
{
    QString sql = QStringLiteral("SELECT code, name, fee, setday FROM Plastra");
    QVariantList binds;
    if (!part.isEmpty()) {
        sql += QStringLiteral(" WHERE name LIKE ? ESCAPE '\\'");
        binds << ContainsPattern(part);
    }
    sql += QStringLiteral(" ORDER BY name");
    return readAll(db, sql, binds, rows);
}

bool ListByCodeOrName(Database& db, const QString& text, QList<CardRecord>* rows)
{
    QString sql = QStringLiteral("SELECT code, name, fee, setday FROM Plastra");
    QVariantList binds;
    if (!text.isEmpty()) {
        // A plain name also looks for code 0, which no card has.
        sql += QStringLiteral(" WHERE code = ? OR name LIKE ? ESCAPE '\\'");
        binds << leadingNumber(text) << ContainsPattern(text);
    }
    sql += QStringLiteral(" ORDER BY name");
    return readAll(db, sql, binds, rows);
}

bool Fetch(Database& db, int code, CardRecord* card, bool* found)
{
    *found = false;
    QSqlQuery rs;
    if (!OpenSnapshot(db, rs, QStringLiteral("SELECT code, name, fee, setday FROM Plastra WHERE code = ?"), {code}))
        return false;
    if (rs.next()) {
        *card = readRow(rs);
        *found = true;
    }
    CloseRs(rs);
    return true;
}

DeleteOutcome Delete(Database& db, int code, ErrorInfo* error)
{
    ErrorInfo e;
    const int n = db.execute(QStringLiteral("DELETE FROM Plastra WHERE code = ?"), {code}, &e);
    if (n > 0)
        return DeleteOutcome::Deleted;
    if (n == 0)
        return DeleteOutcome::NotFound;
    if (error)
        *error = e;
    const int primary = e.number & 0xff;
    if (primary == kSqliteBusy || primary == kSqliteLocked || primary == kSqliteConstraint)
        return DeleteOutcome::InUse;
    return DeleteOutcome::Failed;
}

QString LedgerFileBeside(const QString& cardDbPath)
{
    if (cardDbPath.isEmpty())
        return QString();
    return AppPaths::ledgerDbFile(QFileInfo(cardDbPath).absolutePath());
}

int LedgerEntriesUsing(const QString& cardDbPath, int code)
{
    int count = 0;
    withLedger(cardDbPath, [&](Database& ledger) {
        count = ledger.scalar(QStringLiteral("SELECT count(*) FROM Tallox WHERE cardcode = ?"), {code}).toInt();
    });
    return count;
}

int LargestLedgerCardCode(const QString& cardDbPath)
{
    int largest = 0;
    withLedger(cardDbPath, [&](Database& ledger) {
        largest = qMax(ledger.scalar(QStringLiteral("SELECT MAX(cardcode) FROM Tallox")).toInt(),
                       ledger.scalar(QStringLiteral("SELECT MAX(cardcode) FROM transfer")).toInt());
    });
    return largest;
}

} // namespace CardStore
