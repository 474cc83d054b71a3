#include "data/cards/CardStore.h"

#include "data/base/Money.h"
#include "data/books/AppPaths.h"
#include "data/books/DbAccess.h"
#include "data/books/History.h"
#include "data/books/SharedQueries.h"

#include "data/db/ServerAddress.h"
#include "data/db/StoreRetry.h"
#include <QCoreApplication>
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

bool readAll(Database& db, const QString& sql, const QVariantList& binds, QList<CardRecord>* rows, ErrorInfo* error)
{
    rows->clear();
    QSqlQuery rs;
    if (!OpenSnapshot(db, rs, sql, binds, error))
        return false;
    while (rs.next())
        rows->append(readRow(rs));
    return FinishRead(rs, error);
}

// Runs `work` on a short-lived read connection to the ledger beside the card
// database; true without running it when there is no such file, false with
// `error` when the file is there but cannot be opened.
template <typename Work> bool withLedger(const QString& cardDbPath, ErrorInfo* error, Work work)
{
    const QString path = CardStore::LedgerFileBeside(cardDbPath);
    if (path.isEmpty() || (!ServerAddress::Looks(path) && !QFileInfo::exists(path)))
        return true;
    Database ledger;
    return ledger.open(path, error) && work(ledger);
}
const QString kBooks = QStringLiteral("books");

// The ledger beside the card database, attached to the card connection so
// that a card's history row is written in the card's own transaction (both
// files keep a rollback journal, so SQLite commits them together). False
// without error when there is no ledger beside: the card is stored without a row.
bool attachHistory(Database& db, ErrorInfo* error)
{
    if (db.isAttached(kBooks))
        return true;
    const QString path = CardStore::LedgerFileBeside(db.path());
    if (path.isEmpty() || (!db.isServer() && !QFileInfo::exists(path)))
        return false;
    return db.attach(path, kBooks, error) &&
           (History::TableExists(db, db.schemaOf(kBooks)) || History::EnsureTable(db, db.schemaOf(kBooks), error));
}

QVariantMap cardMap(const CardRecord& c)
{
    return {{QStringLiteral("code"), c.code},
            {QStringLiteral("name"), c.name},
            {QStringLiteral("fee"), c.fee},
            {QStringLiteral("setday"), c.setday}};
}

// The card's history row, when the ledger beside keeps a history.
bool appendCardRow(Database& db, bool withHistory, History::Kind kind, const CardRecord* before,
                   const CardRecord* after, ErrorInfo* error)
{
    if (!withHistory)
        return true;
    History::Row row{kind, before ? before->code : after->code};
    row.card = int(row.key);
    if (before)
        row.oldValue = History::RowJson(cardMap(*before));
    if (after)
        row.newValue = History::RowJson(cardMap(*after));
    return History::Append(db, row, nullptr, error, db.schemaOf(kBooks));
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

bool ListByName(Database& db, const QString& part, QList<CardRecord>* rows, ErrorInfo* error)
{
    QString sql = QStringLiteral("SELECT code, name, fee, setday FROM Plastra");
    QVariantList binds;
    if (!part.isEmpty()) {
        sql += QStringLiteral(" WHERE name LIKE ? ESCAPE '\\'");
        binds << ContainsPattern(part);
    }
    sql += QStringLiteral(" ORDER BY name");
    return readAll(db, sql, binds, rows, error);
}

bool ListByCodeOrName(Database& db, const QString& text, QList<CardRecord>* rows, ErrorInfo* error)
{
    QString sql = QStringLiteral("SELECT code, name, fee, setday FROM Plastra");
    QVariantList binds;
    if (!text.isEmpty()) {
        // A plain name also looks for code 0, which no card has.
        sql += QStringLiteral(" WHERE code = ? OR name LIKE ? ESCAPE '\\'");
        binds << leadingNumber(text) << ContainsPattern(text);
    }
    sql += QStringLiteral(" ORDER BY name");
    return readAll(db, sql, binds, rows, error);
}

bool Fetch(Database& db, int code, CardRecord* card, bool* found, ErrorInfo* error)
{
    *found = false;
    QSqlQuery rs;
    if (!OpenSnapshot(db, rs, QStringLiteral("SELECT code, name, fee, setday FROM Plastra WHERE code = ?"), {code},
                      error))
        return false;
    if (rs.next()) {
        *card = readRow(rs);
        *found = true;
    }
    return FinishRead(rs, error);
}

static bool saveOnce(Database& db, const CardRecord& card, int* code, ErrorInfo* error)
{
    const QString failText = QCoreApplication::translate("CardStore", "자료를 저장하는 중 오류가 발생했습니다.");
    ErrorInfo e;
    const bool withHistory = attachHistory(db, &e);
    if (e.isSet())
        return fail(error, e.asEngine(failText));
    // The new code, the check for the row, its write and its history row are
    // one transaction, so the code cannot be taken by anything else in between.
    Transaction tx(db);
    int target = card.code;
    if (target == 0) {
        target = GetNextCode(db, QStringLiteral("Plastra"), QStringLiteral("code"), &e);
        // A code that entries or history rows still name (its card was
        // deleted) would hand them to the new card: go past it.
        int used = 0;
        if (target != -1 && withHistory && !LargestLedgerCardCode(db, db.schemaOf(kBooks), &used, &e)) {
            *code = -1;
            return fail(error, e.asEngine(failText));
        }
        if (target != -1)
            target = qMax(target, used + 1);
        *code = target;
    }
    if (target < 0)
        return fail(error,
                    ErrorInfo::notice(QCoreApplication::translate("CardStore", "CODE 생성 및 정의 오류입니다.")));
    if (!tx.isActive())
        return fail(error, Database::errorOf(db.handle().lastError()).asEngine(failText));

    CardRecord before;
    bool exists = false;
    bool ok = Fetch(db, target, &before, &exists, &e);
    CardRecord after = card;
    after.code = target;
    if (ok && exists) {
        ok = db.execute(QStringLiteral("UPDATE Plastra SET name = ?, fee = ?, setday = ? WHERE code = ?"),
                        {card.name, card.fee, card.setday, target}, &e) >= 0 &&
             appendCardRow(db, withHistory, History::Kind::CardChanged, &before, &after, &e);
    } else if (ok) {
        ok = db.execute(QStringLiteral("INSERT INTO Plastra (code, name, fee, setday) VALUES (?, ?, ?, ?)"),
                        {target, card.name, card.fee, card.setday}, &e) == 1 &&
             appendCardRow(db, withHistory, History::Kind::CardAdded, nullptr, &after, &e);
    }
    if (ok)
        ok = tx.commit(&e);
    if (!ok) {
        tx.rollback(&e);
        if (card.code == 0)
            *code = -1;
        return fail(error, e.asEngine(failText));
    }
    *code = target;
    return true;
}

static DeleteOutcome deleteOnce(Database& db, int code, ErrorInfo* error)
{
    ErrorInfo e;
    const bool withHistory = attachHistory(db, &e);
    CardRecord before;
    bool found = false;
    int n = -1;
    if (!e.isSet() && Fetch(db, code, &before, &found, &e)) {
        // The row and its history row (with the whole card) go together.
        Transaction tx(db);
        n = db.execute(QStringLiteral("DELETE FROM Plastra WHERE code = ?"), {code}, &e);
        if (n > 0 &&
            !(appendCardRow(db, withHistory, History::Kind::CardDeleted, &before, nullptr, &e) && tx.commit(&e)))
            n = -1;
    }
    if (n > 0)
        return DeleteOutcome::Deleted;
    if (n == 0)
        return DeleteOutcome::NotFound;
    if (error)
        *error = e;
    const int primary = e.engineCode & 0xff;
    if (primary == kSqliteBusy || primary == kSqliteLocked || primary == kSqliteConstraint)
        return DeleteOutcome::InUse;
    return DeleteOutcome::Failed;
}

// Each store runs again when a server gave way to another computer's change.
bool Save(Database& db, const CardRecord& card, int* code, ErrorInfo* error)
{
    return StoreWithRetry(db, error, [&](ErrorInfo* e) { return saveOnce(db, card, code, e); });
}

DeleteOutcome Delete(Database& db, int code, ErrorInfo* error)
{
    DeleteOutcome outcome = DeleteOutcome::Failed;
    ErrorInfo inUse; // a card still in use is told with the engine's words
    const bool ok = StoreWithRetry(db, error, [&](ErrorInfo* e) {
        outcome = deleteOnce(db, code, e);
        inUse = *e;
        return outcome != DeleteOutcome::Failed;
    });
    if (ok && outcome == DeleteOutcome::InUse && error)
        *error = inUse;
    return ok ? outcome : DeleteOutcome::Failed;
}

QString LedgerFileBeside(const QString& cardDbPath)
{
    if (cardDbPath.isEmpty())
        return QString();
    if (ServerAddress::Looks(cardDbPath))
        return cardDbPath;
    return AppPaths::ledgerDbFile(QFileInfo(cardDbPath).absolutePath());
}

bool LedgerEntriesUsing(const QString& cardDbPath, int code, int* count, ErrorInfo* error)
{
    *count = 0;
    return withLedger(cardDbPath, error, [&](Database& ledger) {
        const QVariant n =
            ledger.scalar(QStringLiteral("SELECT count(*) FROM Tallox WHERE cardcode = ?"), {code}, error);
        *count = n.toInt();
        return n.isValid();
    });
}

bool LargestLedgerCardCode(Database& db, const QString& schema, int* largest, ErrorInfo* error)
{
    *largest = 0;
    // Text throughout: a card field's history values are text, read as numbers
    // here so that a stray one stops no engine.
    QString sql = QStringLiteral("SELECT CAST(MAX(cardcode) AS TEXT) FROM %1.Tallox"
                                 " UNION ALL SELECT CAST(MAX(cardcode) AS TEXT) FROM %1.transfer");
    if (History::TableExists(db, schema))
        sql += QStringLiteral(" UNION ALL SELECT CAST(MAX(cardcode) AS TEXT) FROM %1.history"
                              " UNION SELECT old_value FROM %1.history WHERE field = 'cardcode'"
                              " UNION SELECT new_value FROM %1.history WHERE field = 'cardcode'");
    QSqlQuery rs;
    if (!OpenSnapshot(db, rs, sql.arg(schema), {}, error))
        return false;
    while (rs.next())
        *largest = qMax(*largest, rs.value(0).toInt());
    return FinishRead(rs, error);
}

} // namespace CardStore
