#include "data/ledger/LedgerStore.h"

#include "data/base/Clock.h"
#include "data/books/DbAccess.h"
#include "data/books/LedgerSql.h"
#include "data/db/InsertedKey.h"
#include "data/db/StoreRetry.h"

#include <QCoreApplication>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace {
// The notice of a key that names no entry (stored elsewhere meanwhile, or never).
ErrorInfo NoEntryWithCode(int code)
{
    return ErrorInfo::notice(
        QCoreApplication::translate("LedgerStore", "코드[%1]에 해당하는 자료를 찾을 수 없습니다.").arg(code),
        ErrorCode::NoRecord);
}
} // namespace

namespace {
// A function, not a constant: the text is looked up after the translation is installed.
QString CarryOverFailed()
{
    return QCoreApplication::translate("LedgerStore", "이월금액을 계산하는 중 오류가 발생했습니다.");
}

const ErrorInfo kTypeMismatch(ErrorCode::TypeMismatch);
const ErrorInfo kOverflow(ErrorCode::Overflow);
const ErrorInfo kNoSuchField(ErrorCode::NoSuchField);
const ErrorInfo kNoRecord(ErrorCode::NoRecord);

bool isMonthText(const QString& text)
{
    static const QRegularExpression re(QStringLiteral("^\\d{4}-(0[1-9]|1[0-2])$"));
    return re.match(text).hasMatch();
}

// The ledger net of a card's entries dated before `beforeDay`.
std::optional<Money> ledgerNetBefore(Database& db, int card, const QString& beforeDay, ErrorInfo* error)
{
    ErrorInfo e;
    const QVariant v = db.scalar(QStringLiteral("SELECT COALESCE(SUM(sale - billcoll - fee), 0) FROM Tallox"
                                                " WHERE cardcode = ? AND sdate < ? AND %1")
                                     .arg(RealDaySql()),
                                 {card, beforeDay}, &e);
    if (!v.isValid()) {
        if (error)
            *error = e.description.isEmpty() ? ErrorInfo(ErrorCode::NoResult) : e;
        return std::nullopt;
    }
    Money net;
    if (!ReadMoney(v, &net)) {
        fail(error, NotAnAmount());
        return std::nullopt;
    }
    return net;
}

using Entry = LedgerStore::Entry;

// The entry's net, nullopt when it (or its removal) leaves the range of money.
std::optional<Money> netOf(const Entry& e)
{
    const std::optional<Money> afterPayout = Money::sub(e.sale, e.billcoll);
    const std::optional<Money> net = afterPayout ? Money::sub(*afterPayout, e.fee) : std::nullopt;
    return net && Money::sub(Money(), *net) ? net : std::nullopt;
}

bool parseAmount(const QVariant& v, Money* out)
{
    if (v.isNull() || !v.isValid())
        return false;
    std::optional<Money> m;
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = v.toDouble();
        if (!std::isfinite(d) || std::fabs(d) > 1e15)
            return false;
        m = Money::fromDouble(d);
        break;
    }
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong: {
        bool ok = false;
        const qlonglong won = v.toLongLong(&ok);
        if (!ok || won > std::numeric_limits<qint64>::max() / Money::kScale ||
            won < std::numeric_limits<qint64>::min() / Money::kScale)
            return false;
        m = Money::fromWon(won);
        break;
    }
    default:
        m = Money::parse(v.toString());
    }
    if (!m)
        return false;
    *out = *m;
    return true;
}

bool parseWhole(const QVariant& v, qint64* out)
{
    if (v.isNull() || !v.isValid())
        return false;
    bool ok = false;
    qlonglong n = 0;
    if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float) {
        const double d = v.toDouble();
        if (!std::isfinite(d) || d != std::trunc(d) || std::fabs(d) > 9e15)
            return false;
        n = qlonglong(d);
        ok = true;
    } else {
        n = v.toString().trimmed().toLongLong(&ok, 10);
    }
    if (!ok)
        return false;
    *out = n;
    return true;
}

// Whether the card's carry-over rows from `month` on can all be moved by
// `change`: SQLite would turn a sum beyond the range into a floating-point
// number, so a row that would leave it, or holds no integer, refuses the shift.
bool shiftFits(Database& db, const QString& month, Money change, int card, ErrorInfo* error)
{
    QSqlQuery rs;
    if (!OpenSnapshot(
            db, rs,
            QStringLiteral(
                "SELECT MIN(amount), MAX(amount), SUM(CASE WHEN typeof(amount) <> 'integer' THEN 1 ELSE 0 END)"
                " FROM transfer"
                " WHERE sMonth >= ? AND cardcode = ?"),
            {month, card}, error))
        return false;
    Money low, high;
    const bool read =
        rs.next() && rs.value(2).toLongLong() == 0 && ReadMoney(rs.value(0), &low) && ReadMoney(rs.value(1), &high);
    if (!FinishRead(rs, error))
        return false;
    if (!read)
        return fail(error, NotAnAmount());
    return (Money::add(low, change) && Money::add(high, change)) || fail(error, MoneyOverflow());
}

// Moves the card's carry-over rows from `month` on by `change`, when they all fit.
bool shiftRows(Database& db, const QString& month, Money change, int card, ErrorInfo* error)
{
    return change.isZero() ||
           (shiftFits(db, month, change, card, error) &&
            db.execute(QStringLiteral("UPDATE transfer SET amount = amount + ? WHERE sMonth >= ? AND cardcode = ?"),
                       {change.units(), month, card}, error) >= 0);
}

// The fields an edit may write, by the name the caller gives in any letter case.
const QStringList& editableFields()
{
    static const QStringList fields = {QStringLiteral("sdate"), QStringLiteral("cardcode"), QStringLiteral("sale"),
                                       QStringLiteral("fee"),   QStringLiteral("billcoll"), QStringLiteral("numsheet")};
    return fields;
}

// An entry from the first five columns (date, card, sale, fee, billcoll).
// False for an amount that is no integer or a net out of the range of money.
bool readEntryFields(const QSqlQuery& rs, Entry* e)
{
    e->date = rs.value(0).toString();
    e->card = rs.value(1).toInt();
    return ReadMoney(rs.value(2), &e->sale) && ReadMoney(rs.value(3), &e->fee) &&
           ReadMoney(rs.value(4), &e->billcoll) && netOf(*e).has_value();
}

using StoredEntry = LedgerStore::StoredEntry;

// The stored entry; nullopt with `error` for a failed query or no entry with that key.
std::optional<StoredEntry> readEntry(Database& db, int code, ErrorInfo* error)
{
    QSqlQuery rs;
    if (!OpenSnapshot(
            db, rs, QStringLiteral("SELECT sdate, cardcode, sale, fee, billcoll, numsheet FROM Tallox WHERE code = ?"),
            {code}, error))
        return std::nullopt;
    StoredEntry e;
    e.code = code;
    const bool found = rs.next();
    const bool amounts = !found || readEntryFields(rs, &e);
    if (found)
        e.numsheet = rs.value(5);
    if (!FinishRead(rs, error))
        return std::nullopt;
    if (!found) {
        fail(error, NoEntryWithCode(code));
        return std::nullopt;
    }
    if (!amounts) {
        fail(error, NotAnAmount());
        return std::nullopt;
    }
    return e;
}
} // namespace

bool IsStoredDayText(const QString& text)
{
    static const QRegularExpression re(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    return re.match(text).hasMatch() && DateText::parse(text).isValid();
}

// Every store runs inside one: it starts with nothing made yet, and however
// it ends, the tag it was given is used up.
class LedgerStore::ChangeScope {
public:
    explicit ChangeScope(LedgerStore* store) : m_store(store)
    {
        m_store->m_pending = {};
        m_store->m_createdRows.clear();
    }
    ~ChangeScope()
    {
        if (m_stored)
            m_store->m_last = m_store->m_pending;
        m_store->m_tag = {};
        m_store->m_pending = {};
        m_store->m_createdRows.clear();
    }
    ChangeScope(const ChangeScope&) = delete;
    ChangeScope& operator=(const ChangeScope&) = delete;
    bool done(bool stored)
    {
        m_stored = stored;
        return stored;
    }

private:
    LedgerStore* m_store;
    bool m_stored = false;
};

QVariantMap LedgerStore::StoredEntry::toMap() const
{
    return {{QStringLiteral("code"), code},
            {QStringLiteral("sdate"), date},
            {QStringLiteral("cardcode"), card},
            {QStringLiteral("sale"), sale.toPlainString()},
            {QStringLiteral("fee"), fee.toPlainString()},
            {QStringLiteral("billcoll"), billcoll.toPlainString()},
            {QStringLiteral("numsheet"), numsheet.isNull() ? QVariant() : QVariant(numsheet.toLongLong())}};
}

bool LedgerStore::StoredEntry::fromMap(const QVariantMap& map, StoredEntry* entry)
{
    const auto money = [&](const char* name, Money* out) {
        const std::optional<Money> m = Money::parse(map.value(QString::fromLatin1(name)).toString());
        if (m)
            *out = *m;
        return m.has_value();
    };
    bool codeOk = false, cardOk = false;
    entry->code = map.value(QStringLiteral("code")).toInt(&codeOk);
    entry->card = map.value(QStringLiteral("cardcode")).toInt(&cardOk);
    entry->date = map.value(QStringLiteral("sdate")).toString();
    const QVariant slips = map.value(QStringLiteral("numsheet"));
    entry->numsheet = slips.isNull() ? QVariant() : QVariant(int(slips.toLongLong()));
    return codeOk && cardOk && money("sale", &entry->sale) && money("fee", &entry->fee) &&
           money("billcoll", &entry->billcoll);
}

LedgerStore::LedgerStore(Database& ledger) : m_db(ledger) {}

void LedgerStore::TagNextChange(History::Origin origin, qint64 target)
{
    m_tag.origin = origin;
    m_tag.target = target;
}

void LedgerStore::JoinNextToLastChange()
{
    m_tag.joinLast = true;
}

bool LedgerStore::appendHistory(History::Row row, ErrorInfo* error)
{
    row.carryRows = m_createdRows.join(QLatin1Char(','));
    row.origin = m_tag.origin;
    row.target = m_tag.target;
    if (m_tag.joinLast && m_last.id > 0)
        row.step = m_last.step > 0 ? m_last.step : m_last.id;
    qint64 id = 0;
    if (!History::Append(m_db, row, &id, error))
        return false;
    m_pending = {id, row.step, row.carryRows};
    return true;
}

void LedgerStore::ResetPrevBalanceMemory()
{
    m_memory = {};
}

// Runs a statement that must change exactly the one entry row; a row that is
// gone reports the engine's "no current record".
bool LedgerStore::executeOneRow(const QString& sql, const QVariantList& binds, ErrorInfo* error)
{
    const int n = m_db.execute(sql, binds, error);
    if (n == 0 && error)
        *error = kNoRecord;
    return n == 1;
}

bool LedgerStore::ensurePrevMonthRow(const QString& date, int card, ErrorInfo* error)
{
    if (!IsStoredDayText(date)) {
        *error = kTypeMismatch;
        return false;
    }
    const QString prev = DateText::previousMonth(date);
    // On a server another computer may have taken the row away since (an undo): look every time.
    if (prev == m_memory.month && card == m_memory.card && !m_db.isServer())
        return true;
    // Unlike a row for a completed month only, the row is written whatever
    // the month: every stored row is kept exact by the shifts, and a card
    // whose first entries lie in the current month or later would otherwise
    // have no row once those months are completed, and drop out of every
    // brought-forward balance.
    const QVariant count = m_db.scalar(
        QStringLiteral("SELECT COUNT(*) FROM transfer WHERE sMonth = ? AND cardcode = ?"), {prev, card}, error);
    if (!count.isValid())
        return false;
    if (count.toLongLong() == 0) {
        // The card's net up to the end of that month, straight from the ledger.
        const std::optional<Money> amount = ledgerNetBefore(m_db, card, DateText::firstOfMonth(date), error);
        if (!amount)
            return false;
        const int n = m_db.execute(QStringLiteral("INSERT INTO transfer (sMonth, amount, cardcode) VALUES (?, ?, ?)"),
                                   {prev, amount->units(), card}, error);
        if (n < 0)
            return false;
        if (n == 0) {
            *error = ErrorInfo(ErrorCode::CarryOverFailed, CarryOverFailed());
            return false;
        }
        m_createdRows.append(prev + QLatin1Char('/') + QString::number(card));
    }
    m_memory = {prev, card};
    return true;
}

bool LedgerStore::shiftCarryOver(const QString& date, Money change, int card, ErrorInfo* error)
{
    if (!IsStoredDayText(date)) {
        *error = kTypeMismatch;
        return false;
    }
    // Only a completed month needs its month-before row made here; an entry
    // of the current month or later got it when it was stored or moved.
    if (DateText::monthOf(date) < DateText::currentMonth() && !ensurePrevMonthRow(date, card, error))
        return false;
    // Rows of the current and later months are shifted as well: they exist
    // (the rebuild's zero rows, rows before future-dated entries) and must
    // stay exact for the day their month is completed.
    return shiftRows(m_db, DateText::monthOf(date), change, card, error);
}

std::optional<LedgerStore::EntryView> LedgerStore::ReadEntry(int code, ErrorInfo* error)
{
    QSqlQuery rs;
    if (!OpenSnapshot(m_db, rs,
                      QStringLiteral("SELECT a.sdate, a.cardcode, a.sale, a.fee, a.billcoll, a.numsheet, b.name"
                                     " FROM Tallox AS a LEFT JOIN %1.Plastra AS b ON a.cardcode = b.code"
                                     " WHERE a.code = ?")
                          .arg(CardAlias()),
                      {code}, error))
        return std::nullopt;
    EntryView v;
    const bool found = rs.next();
    const bool amounts = !found || readEntryFields(rs, &v);
    if (found) {
        v.numsheet = rs.value(5);
        v.cardName = rs.value(6).toString();
    }
    if (!FinishRead(rs, error))
        return std::nullopt;
    if (!amounts) {
        fail(error, NotAnAmount());
        return std::nullopt;
    }
    if (!found) {
        fail(error, NoEntryWithCode(code));
        return std::nullopt;
    }
    return v;
}

bool LedgerStore::checkPrevBalance(const QString& date, int card, ErrorInfo* error)
{
    const Memory saved = m_memory;
    ChangeScope scope(this);
    ErrorInfo e;
    Transaction tx(m_db);
    const auto note = [&] {
        History::Row row{History::Kind::CarryOver};
        row.card = card;
        row.entryDate = date;
        return m_createdRows.isEmpty() || appendHistory(row, &e);
    };
    if (tx.isActive() && ensurePrevMonthRow(date, card, &e) && note() && tx.commit(&e))
        return scope.done(true);
    tx.rollback(&e);
    m_memory = saved;
    if (e.code == ErrorCode::CarryOverFailed)
        return fail(error, ErrorInfo::notice(CarryOverFailed(), e.code));
    return fail(error, e.at(ErrorPlace::CarryOverCheck));
}

bool LedgerStore::calcPrevBaln(const QString& date, Money change, int card, ErrorInfo* error)
{
    const Memory saved = m_memory;
    ChangeScope scope(this);
    ErrorInfo e;
    Transaction tx(m_db);
    History::Row row{History::Kind::CarryOver};
    row.card = card;
    row.entryDate = date;
    row.newValue = change.toPlainString();
    if (tx.isActive() && shiftCarryOver(date, change, card, &e) && appendHistory(row, &e) && tx.commit(&e))
        return scope.done(true);
    tx.rollback(&e);
    m_memory = saved;
    return fail(error, e.at(ErrorPlace::CarryOverShift));
}

namespace {
struct MonthNet {
    int card;
    QString month; // empty: the card's entries whose date is no real day
    Money net;
};

// The net of every card's entries per month, in card and month order, in one
// grouped pass. Entries whose date is no real day form one group per card
// without a month (first), whose net is never read: it belongs to no month.
bool readMonthNets(Database& db, QList<MonthNet>* months, ErrorInfo* e)
{
    QSqlQuery rs;
    if (!OpenSnapshot(
            db, rs,
            QStringLiteral("SELECT cardcode, CASE WHEN %1 THEN substr(sdate, 1, 7) END AS m,"
                           " SUM(sale - billcoll - fee) FROM Tallox GROUP BY cardcode, m ORDER BY cardcode, m")
                .arg(RealDaySql()),
            {}, e))
        return false;
    bool amounts = true;
    while (amounts && rs.next()) {
        MonthNet m{rs.value(0).toInt(), rs.value(1).toString(), Money()};
        amounts = m.month.isEmpty() || ReadMoney(rs.value(2), &m.net);
        months->append(m);
    }
    if (!FinishRead(rs, e))
        return false;
    return amounts || fail(e, NotAnAmount());
}

// Per card: a zero row for the month before its first entry, then the running
// balance at the end of every completed month that has entries.
bool writeRebuiltRows(Database& db, const QList<MonthNet>& months, const Progress& progress, ErrorInfo* e)
{
    // One statement prepared once: a rebuild writes thousands of rows.
    QSqlQuery insert = db.newQuery();
    if (!insert.prepare(QStringLiteral("INSERT INTO transfer (sMonth, amount, cardcode) VALUES (?, ?, ?)")))
        return fail(e, Database::errorOf(insert.lastError()));
    const auto insertRow = [&](const QString& month, qint64 amount, int card) {
        insert.bindValue(0, month);
        insert.bindValue(1, amount);
        insert.bindValue(2, card);
        if (!insert.exec())
            return fail(e, Database::errorOf(insert.lastError()));
        return insert.numRowsAffected() == 1;
    };
    const QString current = DateText::currentMonth();
    std::optional<int> previousCard;
    Money balance;
    qint64 done = 0;
    for (const MonthNet& m : months) {
        if (++done % 256 == 0 && !Report(progress, done, months.size()))
            return fail(e, ErrorInfo::notice(QCoreApplication::translate(
                               "LedgerStore", "잔액 재정리를 취소했습니다. 이월금액은 그대로입니다.")));
        if (!isMonthText(m.month))
            continue; // no real day; no period ever reaches such an entry
        if (!previousCard || *previousCard != m.card) {
            previousCard = m.card;
            balance = Money();
            if (!insertRow(DateText::previousMonth(m.month), 0, m.card))
                return false;
        }
        if (m.month < current) {
            if (!Money::addTo(balance, m.net))
                return fail(e, MoneyOverflow());
            if (!insertRow(m.month, balance.units(), m.card))
                return false;
        }
    }
    return true;
}
} // namespace

template <typename Store> bool LedgerStore::retrying(ErrorInfo* error, Store store)
{
    // A store run again is the same change: it keeps its undo or redo tag.
    const Tag tag = m_tag;
    return StoreWithRetry(m_db, error, [&](ErrorInfo* e) {
        m_tag = tag;
        return store(e);
    });
}

bool LedgerStore::CheckPrevBalance(const QString& date, int card, ErrorInfo* error)
{
    return retrying(error, [&](ErrorInfo* e) { return checkPrevBalance(date, card, e); });
}

bool LedgerStore::CalcPrevBaln(const QString& date, Money change, int card, ErrorInfo* error)
{
    return retrying(error, [&](ErrorInfo* e) { return calcPrevBaln(date, change, card, e); });
}

bool LedgerStore::ReBaln(ErrorInfo* error, const Progress& progress)
{
    return retrying(error, [&](ErrorInfo* e) { return reBaln(e, progress); });
}

bool LedgerStore::RecordEditCol(int code, const QString& colName, const QVariant& newValue, ErrorInfo* error)
{
    return retrying(error, [&](ErrorInfo* e) { return recordEditCol(code, colName, newValue, e); });
}

bool LedgerStore::InsertRecord(const QString& date, int card, int* key, ErrorInfo* error)
{
    return retrying(error, [&](ErrorInfo* e) { return insertRecord(date, card, key, e); });
}

bool LedgerStore::DeleteRecord(int key, ErrorInfo* error)
{
    return retrying(error, [&](ErrorInfo* e) { return deleteRecord(key, e); });
}

bool LedgerStore::RestoreRecord(const StoredEntry& entry, int* key, ErrorInfo* error)
{
    return retrying(error, [&](ErrorInfo* e) { return restoreRecord(entry, key, e); });
}

bool LedgerStore::abandon(Transaction& tx, const Memory& saved, ErrorInfo e, const QString& text, ErrorInfo* error)
{
    if (!e.isSet())
        e = Database::errorOf(m_db.handle().lastError());
    tx.rollback(&e);
    m_memory = saved;
    return fail(error, e.asEngine(text));
}

bool LedgerStore::reBaln(ErrorInfo* error, const Progress& progress)
{
    // One transaction: a failure (or the program ending half-way) leaves the table as it was.
    ChangeScope scope(this);
    Transaction tx(m_db);
    ErrorInfo e;
    QList<MonthNet> months;
    const bool ok = tx.isActive() && HoldRebuildLock(m_db, &e) &&
                    m_db.execute(QStringLiteral("DELETE FROM transfer"), {}, &e) >= 0 &&
                    readMonthNets(m_db, &months, &e) && writeRebuiltRows(m_db, months, progress, &e) &&
                    appendHistory(History::Row{History::Kind::Rebuild}, &e) && tx.commit(&e);
    if (!ok) {
        if (!e.isSet())
            e = Database::errorOf(m_db.handle().lastError());
        return fail(error, e.kind == ErrorInfo::Kind::Query || e.kind == ErrorInfo::Kind::Notice
                               ? e
                               : e.at(ErrorPlace::Rebuild));
    }
    ResetPrevBalanceMemory();
    return scope.done(true);
}

namespace {
// Each field's typed value, checked and converted: `next` gets the entry as
// it will be, `stored` the value bound into the UPDATE. False with the code
// of the refusal (type mismatch or overflow).
bool takeDate(const QVariant& v, Entry* next, QVariant* stored, ErrorInfo* e)
{
    const QString text = v.toString();
    if (!IsStoredDayText(text))
        return fail(e, kTypeMismatch);
    next->date = text;
    *stored = text;
    return true;
}

bool takeCard(const QVariant& v, Entry* next, QVariant* stored, ErrorInfo* e)
{
    qint64 card = 0;
    if (!parseWhole(v, &card) || card < 1 || card > std::numeric_limits<int>::max())
        return fail(e, kTypeMismatch);
    next->card = int(card);
    *stored = next->card;
    return true;
}

bool takeSlips(const QVariant& v, Entry*, QVariant* stored, ErrorInfo* e)
{
    if (v.isNull()) {
        *stored = QVariant(QMetaType(QMetaType::Int)); // never typed, as a new entry has it
        return true;
    }
    qint64 n = 0;
    if (!parseWhole(v, &n))
        return fail(e, kTypeMismatch);
    if (n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
        return fail(e, kOverflow);
    *stored = int(n);
    return true;
}

bool takeAmount(const QVariant& v, Money* target, QVariant* stored, ErrorInfo* e)
{
    Money amount;
    if (!parseAmount(v, &amount))
        return fail(e, kTypeMismatch);
    const Money limit = Money::fromWon(LedgerStore::kMaxAmountWon);
    if (amount > limit || amount < -limit)
        return fail(e, kOverflow);
    *target = amount;
    *stored = amount.units();
    return true;
}

bool takeField(const QString& field, const QVariant& v, Entry* next, QVariant* stored, ErrorInfo* e)
{
    if (field == QLatin1String("sdate"))
        return takeDate(v, next, stored, e);
    if (field == QLatin1String("cardcode"))
        return takeCard(v, next, stored, e);
    if (field == QLatin1String("numsheet"))
        return takeSlips(v, next, stored, e);
    if (field == QLatin1String("sale"))
        return takeAmount(v, &next->sale, stored, e);
    if (field == QLatin1String("fee"))
        return takeAmount(v, &next->fee, stored, e);
    return takeAmount(v, &next->billcoll, stored, e);
}
// A field's value as the history keeps it: amounts in won as plain text
// ("1234.5"), the rest as stored; null stays null.
QVariant historyValue(const QString& field, const QVariant& stored)
{
    if (stored.isNull())
        return QVariant();
    if (field == QLatin1String("sale") || field == QLatin1String("fee") || field == QLatin1String("billcoll"))
        return Money::fromUnits(stored.toLongLong()).toPlainString();
    return stored.toString();
}

QVariant storedField(const StoredEntry& e, const QString& field)
{
    if (field == QLatin1String("sdate"))
        return e.date;
    if (field == QLatin1String("cardcode"))
        return e.card;
    if (field == QLatin1String("numsheet"))
        return e.numsheet;
    const Money m = field == QLatin1String("sale") ? e.sale : field == QLatin1String("fee") ? e.fee : e.billcoll;
    return m.units();
}
} // namespace

bool LedgerStore::recordEditCol(int code, const QString& colName, const QVariant& newValue, ErrorInfo* error)
{
    if (code < 1)
        return fail(error, ErrorInfo::notice(QCoreApplication::translate("LedgerStore", "코드 정의 오류입니다."),
                                             ErrorCode::NoRecord));
    const QString failText = QCoreApplication::translate("LedgerStore", "자료를 수정하는 중 오류가 발생했습니다.");
    // The column name only selects one of the fixed fields; it never reaches the SQL.
    const QString field = colName.trimmed().toLower();
    if (!editableFields().contains(field))
        return fail(error, kNoSuchField.asEngine(failText));

    // The entry as read, the carry-over adjustments, the write and its
    // history row are one transaction.
    ChangeScope scope(this);
    const Memory saved = m_memory;
    Transaction tx(m_db);
    ErrorInfo e;
    const std::optional<StoredEntry> stored = readEntry(m_db, code, &e);
    if (!stored)
        return fail(error, e);
    Entry next = *stored;
    QVariant value;
    if (!takeField(field, newValue, &next, &value, &e))
        return fail(error, e.asEngine(failText));
    History::Row row{History::Kind::FieldChanged, code, next.date, next.card, field};
    row.oldValue = historyValue(field, storedField(*stored, field));
    row.newValue = historyValue(field, value);
    // Storing what the entry already holds changes nothing worth a history row.
    const bool same = row.oldValue == row.newValue && row.oldValue.isNull() == row.newValue.isNull();
    bool ok = tx.isActive() && moveCarryOver(*stored, next, &e) &&
              executeOneRow(QStringLiteral("UPDATE Tallox SET %1 = ? WHERE code = ?").arg(field), {value, code}, &e) &&
              (same || appendHistory(row, &e)) && tx.commit(&e);
    if (!ok)
        return abandon(tx, saved, e, failText, error);
    return scope.done(true);
}

// Shifts the carry-over rows for an entry that changes from `stored` to `next`.
bool LedgerStore::moveCarryOver(const Entry& stored, const Entry& next, ErrorInfo* e)
{
    const std::optional<Money> oldNet = netOf(stored);
    const std::optional<Money> newNet = netOf(next);
    const std::optional<Money> leaving = oldNet ? Money::sub(Money(), *oldNet) : std::nullopt;
    const std::optional<Money> change = newNet && oldNet ? Money::sub(*newNet, *oldNet) : std::nullopt;
    if (!leaving || !change)
        return fail(e, MoneyOverflow());
    const bool oldDated = IsStoredDayText(stored.date);
    const bool moved = DateText::monthOf(next.date) != DateText::monthOf(stored.date) || next.card != stored.card;
    if (moved) {
        // Both month-before rows are made while the ledger still holds the
        // entry where it was, so that a row created for the new place does
        // not count the entry at its old place; then the entry's net leaves
        // the old card/month onwards and joins the new one.
        return (!oldDated || ensurePrevMonthRow(stored.date, stored.card, e)) &&
               ensurePrevMonthRow(next.date, next.card, e) &&
               (!oldDated || shiftCarryOver(stored.date, *leaving, stored.card, e)) &&
               shiftCarryOver(next.date, *newNet, next.card, e);
    }
    if (!change->isZero() && oldDated)
        return shiftCarryOver(next.date, *change, next.card, e);
    return true;
}

bool LedgerStore::insertRecord(const QString& date, int card, int* key, ErrorInfo* error)
{
    const QString failText = QCoreApplication::translate("LedgerStore", "자료를 저장하는 중 오류가 발생했습니다.");
    if (!IsStoredDayText(date) || card < 1)
        return fail(error, kTypeMismatch.asEngine(failText));
    const Memory saved = m_memory;
    ChangeScope scope(this);
    Transaction tx(m_db);
    ErrorInfo e;
    const auto failed = [&](const QString& text, ErrorInfo err) {
        tx.rollback(&err);
        m_memory = saved;
        return fail(error, err.asEngine(text));
    };
    if (!tx.isActive())
        return failed(failText, Database::errorOf(m_db.handle().lastError()));

    int newKey = 0;
    {
        QSqlQuery q = m_db.newQuery();
        q.prepare(ReturningKey(
            m_db, QStringLiteral("INSERT INTO Tallox (sdate, cardcode, sale, fee, billcoll) VALUES (?, ?, 0, 0, 0)"),
            QStringLiteral("code")));
        q.addBindValue(date);
        q.addBindValue(card);
        if (!q.exec())
            return failed(failText, Database::errorOf(q.lastError()));
        if (q.numRowsAffected() != 1)
            return failed(failText, kNoRecord);
        // The key of this very row, not the largest key of the table.
        const QVariant id = InsertedKey(m_db, q);
        q.finish();
        if (!id.isValid() || id.toLongLong() < 1)
            return failed(QCoreApplication::translate("LedgerStore", "저장된 자료의 코드를 찾을 수 없습니다."),
                          kNoRecord);
        newKey = id.toInt();
    }
    StoredEntry added;
    added.code = newKey;
    added.date = date;
    added.card = card;
    History::Row row{History::Kind::EntryAdded, newKey, date, card};
    row.newValue = History::RowJson(added.toMap());
    if (!ensurePrevMonthRow(date, card, &e) || !appendHistory(row, &e) || !tx.commit(&e))
        return failed(failText, e);
    if (key)
        *key = newKey;
    return scope.done(true);
}

bool LedgerStore::deleteRecord(int key, ErrorInfo* error)
{
    if (key < 1)
        return fail(error, ErrorInfo::notice(QCoreApplication::translate("LedgerStore", "코드 정의 오류입니다."),
                                             ErrorCode::NoRecord));
    ChangeScope scope(this);
    const Memory saved = m_memory;
    Transaction tx(m_db);
    ErrorInfo e;
    const std::optional<StoredEntry> stored = readEntry(m_db, key, &e);
    if (!stored)
        return fail(error, e);
    // The history keeps the whole row, so that the entry can come back.
    History::Row row{History::Kind::EntryDeleted, key, stored->date, stored->card};
    row.oldValue = History::RowJson(stored->toMap());
    bool ok = tx.isActive() &&
              (!IsStoredDayText(stored->date) || shiftCarryOver(stored->date, -stored->net(), stored->card, &e)) &&
              executeOneRow(QStringLiteral("DELETE FROM Tallox WHERE code = ?"), {key}, &e) && appendHistory(row, &e) &&
              tx.commit(&e);
    if (!ok)
        return abandon(tx, saved, e,
                       QCoreApplication::translate("LedgerStore", "자료를 삭제하는 중 오류가 발생했습니다."), error);
    return scope.done(true);
}

bool LedgerStore::insertWhole(const StoredEntry& entry, int* key, ErrorInfo* error)
{
    // The entry's own key when no other entry has taken it.
    const QVariant taken =
        m_db.scalar(QStringLiteral("SELECT count(*) FROM Tallox WHERE code = ?"), {entry.code}, error);
    if (!taken.isValid())
        return false;
    const QVariant code =
        entry.code > 0 && taken.toInt() == 0 ? QVariant(entry.code) : QVariant(QMetaType(QMetaType::Int));
    QSqlQuery q = m_db.newQuery();
    q.prepare(ReturningKey(m_db,
                           QStringLiteral("INSERT INTO Tallox (code, sdate, cardcode, sale, fee, billcoll, numsheet)"
                                          " VALUES (?, ?, ?, ?, ?, ?, ?)"),
                           QStringLiteral("code")));
    for (const QVariant& v : QVariantList{code, entry.date, entry.card, entry.sale.units(), entry.fee.units(),
                                          entry.billcoll.units(), entry.numsheet})
        q.addBindValue(v);
    if (!q.exec())
        return fail(error, Database::errorOf(q.lastError()));
    *key = InsertedKey(m_db, q).toInt();
    return *key > 0 || fail(error, kNoRecord);
}

bool LedgerStore::restoreRecord(const StoredEntry& entry, int* key, ErrorInfo* error)
{
    const QString failText = QCoreApplication::translate("LedgerStore", "자료를 저장하는 중 오류가 발생했습니다.");
    const std::optional<Money> net = netOf(entry);
    if (entry.card < 1 || !net)
        return fail(error, kTypeMismatch.asEngine(failText));
    ChangeScope scope(this);
    const Memory saved = m_memory;
    Transaction tx(m_db);
    ErrorInfo e;
    int newKey = 0;
    // As an entry moved in: its month-before row first, then its net joins the rows from its month on.
    const bool dated = IsStoredDayText(entry.date);
    bool ok = tx.isActive() &&
              (!dated ||
               (ensurePrevMonthRow(entry.date, entry.card, &e) && shiftCarryOver(entry.date, *net, entry.card, &e))) &&
              insertWhole(entry, &newKey, &e);
    if (ok) {
        StoredEntry added = entry;
        added.code = newKey;
        History::Row row{History::Kind::EntryAdded, newKey, entry.date, entry.card};
        row.newValue = History::RowJson(added.toMap());
        ok = appendHistory(row, &e) && tx.commit(&e);
    }
    if (!ok)
        return abandon(tx, saved, e, failText, error);
    if (key)
        *key = newKey;
    return scope.done(true);
}

Money LedgerStore::AutoFee(double ratePercent, Money sale)
{
    // In exact decimals: a rate of 2.5 and a sale of 900 are 22.5 won, which
    // binary floating point may see as 22.4999... and round the wrong way.
    if (!std::isfinite(ratePercent) || std::fabs(ratePercent) > 1e6)
        return Money();
    const qint64 rate = std::llround(ratePercent * 10000.0); // ten-thousandths of a percent
    const __int128 product = __int128(rate) * sale.units();  // won x 10^10
    const __int128 unit = __int128(10'000'000'000LL);
    __int128 won = product / unit;
    const __int128 rest = product % unit;
    if ((rest < 0 ? -rest : rest) * 2 >= unit)
        won += product < 0 ? -1 : 1;
    return Money::fromWon(qint64(won));
}

Money LedgerStore::AutoFee(double ratePercent, const QString& saleText)
{
    return AutoFee(ratePercent, Money::fromLeading(saleText));
}

bool LedgerStore::CountRows(Counts* counts, ErrorInfo* error)
{
    QSqlQuery rs;
    if (!OpenSnapshot(m_db, rs,
                      QStringLiteral("SELECT (SELECT count(*) FROM Tallox), (SELECT count(*) FROM transfer),"
                                     " (SELECT count(DISTINCT cardcode) FROM transfer)"),
                      {}, error))
        return false;
    if (rs.next())
        *counts = {rs.value(0).toLongLong(), rs.value(1).toLongLong(), rs.value(2).toLongLong()};
    return FinishRead(rs, error);
}

namespace {
struct MonthEnd {
    QString month;
    Money balance;
};
using MonthEnds = QHash<int, QList<MonthEnd>>;

// Every card's balance at the end of each month with entries, summed from
// the rebuild's per-month nets; `badDates` tells whether any entry has a date
// that is no real day.
bool readMonthEnds(Database& db, MonthEnds* ends, bool* badDates, ErrorInfo* e)
{
    QList<MonthNet> months;
    if (!readMonthNets(db, &months, e))
        return false;
    *badDates = false;
    for (const MonthNet& m : std::as_const(months)) {
        *badDates = *badDates || m.month.isEmpty();
        if (m.month.isEmpty())
            continue;
        QList<MonthEnd>& card = (*ends)[m.card];
        Money balance = card.isEmpty() ? Money() : card.constLast().balance;
        if (!Money::addTo(balance, m.net))
            return fail(e, MoneyOverflow());
        card.append({m.month, balance});
    }
    return true;
}

// What a carry-over row of `month` should hold: the balance at the end of the
// card's latest month with entries up to it, 0 before its first.
Money expectedAt(const QList<MonthEnd>& ends, const QString& month)
{
    const auto after = std::upper_bound(ends.begin(), ends.end(), month,
                                        [](const QString& m, const MonthEnd& end) { return m < end.month; });
    return after == ends.begin() ? Money() : std::prev(after)->balance;
}

// Compares the stored rows; `firstRow` gets each card's earliest row month.
bool compareStoredRows(Database& db, const MonthEnds& ends, CarryOverCheck* result, QHash<int, QString>* firstRow)
{
    QSqlQuery rs;
    if (!OpenSnapshot(db, rs, QStringLiteral("SELECT sMonth, cardcode, amount FROM transfer ORDER BY cardcode, sMonth"),
                      {}, &result->error))
        return false;
    bool amounts = true;
    while (amounts && rs.next()) {
        const QString month = rs.value(0).toString();
        const int card = rs.value(1).toInt();
        Money stored;
        amounts = ReadMoney(rs.value(2), &stored);
        const Money expected = expectedAt(ends.value(card), month);
        if (stored != expected || rs.value(2).isNull())
            result->rows.append({month, card, stored, expected});
        if (!firstRow->contains(card))
            firstRow->insert(card, month);
    }
    if (!FinishRead(rs, &result->error))
        return false;
    return amounts || fail(&result->error, NotAnAmount());
}

bool readBadDates(Database& db, QList<CarryOverBadDate>* bad, ErrorInfo* e)
{
    QSqlQuery rs;
    if (!OpenSnapshot(db, rs,
                      QStringLiteral("SELECT code, sdate FROM Tallox WHERE NOT %1 ORDER BY code").arg(RealDaySql()), {},
                      e))
        return false;
    while (rs.next())
        bad->append({rs.value(0).toInt(), rs.value(1).toString()});
    return FinishRead(rs, e);
}
} // namespace

CarryOverCheck LedgerStore::CheckCarryOver()
{
    CarryOverCheck result;
    // The ledger and the carry-over table as of one moment, whatever other computers store meanwhile.
    const ReadSnapshot snapshot(m_db);
    if (!snapshot.ok(&result.error))
        return result;
    MonthEnds ends;
    bool badDates = false;
    QHash<int, QString> firstRow;
    if (!readMonthEnds(m_db, &ends, &badDates, &result.error) || !compareStoredRows(m_db, ends, &result, &firstRow) ||
        (badDates && !readBadDates(m_db, &result.badDates, &result.error)))
        return result;
    // A card is uncovered when no row lies before the month of its first entry.
    QList<int> cards = ends.keys();
    std::sort(cards.begin(), cards.end());
    for (int card : std::as_const(cards)) {
        const QString first = ends.value(card).constFirst().month;
        if (!firstRow.contains(card) || firstRow.value(card) >= first)
            result.uncovered.append({card, first});
    }
    result.ok = true;
    return result;
}

bool LedgerStore::insertMany(const QList<StoredEntry>& entries, ErrorInfo* error)
{
    // One statement prepared once: an import brings thousands of entries.
    QSqlQuery q = m_db.newQuery();
    if (!q.prepare(QStringLiteral("INSERT INTO Tallox (sdate, cardcode, sale, fee, billcoll, numsheet)"
                                  " VALUES (?, ?, ?, ?, ?, ?)")))
        return fail(error, Database::errorOf(q.lastError()));
    for (const StoredEntry& entry : entries) {
        q.bindValue(0, entry.date);
        q.bindValue(1, entry.card);
        q.bindValue(2, entry.sale.units());
        q.bindValue(3, entry.fee.units());
        q.bindValue(4, entry.billcoll.units());
        q.bindValue(5, entry.numsheet.isNull() ? QVariant(QMetaType(QMetaType::Int)) : entry.numsheet);
        if (!q.exec())
            return fail(error, Database::errorOf(q.lastError()));
    }
    return true;
}

// The month-before rows that the cards' new months lack, each holding the
// card's balance up to that month's end, from one grouped pass over the
// ledger that already holds the imported entries (one query per row would
// read the card's entries again for every month).
bool LedgerStore::addMissingPrevRows(const QList<std::pair<int, QString>>& cardMonths, ErrorInfo* e)
{
    QSet<std::pair<int, QString>> existing;
    QSqlQuery rs;
    if (!OpenSnapshot(m_db, rs, QStringLiteral("SELECT cardcode, sMonth FROM transfer"), {}, e))
        return false;
    while (rs.next())
        existing.insert({rs.value(0).toInt(), rs.value(1).toString()});
    if (!FinishRead(rs, e))
        return false;
    MonthEnds ends;
    bool badDates = false;
    if (!readMonthEnds(m_db, &ends, &badDates, e))
        return false;
    for (const auto& [card, month] : cardMonths) {
        const QString prev = DateText::previousMonth(month);
        if (existing.contains({card, prev}))
            continue;
        const Money amount = expectedAt(ends.value(card), prev);
        if (m_db.execute(QStringLiteral("INSERT INTO transfer (sMonth, amount, cardcode) VALUES (?, ?, ?)"),
                         {prev, amount.units(), card}, e) != 1)
            return false;
        existing.insert({card, prev});
        m_createdRows.append(prev + QLatin1Char('/') + QString::number(card));
    }
    ResetPrevBalanceMemory();
    return true;
}

bool LedgerStore::ImportEntries(const QList<StoredEntry>& entries, const QString& note, ErrorInfo* error,
                                const std::function<bool()>& beforeCommit)
{
    return retrying(error, [&](ErrorInfo* e) { return importEntries(entries, note, e, beforeCommit); });
}

bool LedgerStore::importEntries(const QList<StoredEntry>& entries, const QString& note, ErrorInfo* error,
                                const std::function<bool()>& beforeCommit)
{
    const QString failText = QCoreApplication::translate("LedgerStore", "자료를 저장하는 중 오류가 발생했습니다.");
    // The net each card's entries add per month, in card and month order.
    QMap<std::pair<int, QString>, Money> joins;
    for (const StoredEntry& entry : entries) {
        const std::optional<Money> net = netOf(entry);
        if (!IsStoredDayText(entry.date) || entry.card < 1 || !net)
            return fail(error, kTypeMismatch.asEngine(failText));
        if (!Money::addTo(joins[{entry.card, DateText::monthOf(entry.date)}], *net))
            return fail(error, MoneyOverflow().asEngine(failText));
    }
    ChangeScope scope(this);
    const Memory saved = m_memory;
    Transaction tx(m_db);
    ErrorInfo e;
    bool ok = tx.isActive();
    // The rows already stored take the new entries' nets first; a month-before
    // row made afterwards is read from the ledger that holds them all.
    for (auto it = joins.cbegin(); ok && it != joins.cend(); ++it)
        ok = shiftRows(m_db, it.key().second, it.value(), it.key().first, &e);
    ok = ok && insertMany(entries, &e) && addMissingPrevRows(joins.keys(), &e);
    // The history shows the first imported day and what was imported.
    History::Row row{History::Kind::Import};
    for (const StoredEntry& entry : entries)
        row.entryDate = row.entryDate.isEmpty() ? entry.date : std::min(row.entryDate, entry.date);
    row.note = note;
    row.newValue = note;
    ok = ok && appendHistory(row, &e);
    if (ok && beforeCommit && !beforeCommit())
        ok = fail(&e, ErrorInfo::notice(QCoreApplication::translate("LedgerStore", "가져오기를 멈췄습니다.")));
    if (!ok || !tx.commit(&e))
        return abandon(tx, saved, e, failText, error);
    return scope.done(true);
}
