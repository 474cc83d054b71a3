#include "data/ledger/LedgerRows.h"

#include "data/base/Clock.h"
#include "data/books/DbAccess.h"
#include "data/books/LedgerSql.h"
#include "data/books/SharedQueries.h"
#include "data/summary/SumBillData.h"

#include <QCoreApplication>
#include <QHash>
#include <QSqlQuery>
#include <algorithm>
#include <limits>

QString BroughtForwardLabel()
{
    return QCoreApplication::translate("LedgerSheet", "[전기이월]");
}

QString LedgerEntryRow::dateText() const
{
    return DateText::day(date());
}

int DayNumber(const QString& date)
{
    // "YYYY-MM-DD" read digit by digit: a long sheet reads a date per row.
    if (date.size() != 10 || date[4] != u'-' || date[7] != u'-')
        return 0;
    int parts[3] = {0, 0, 0};
    const int from[3] = {0, 5, 8}, to[3] = {4, 7, 10};
    for (int p = 0; p < 3; ++p) {
        for (int k = from[p]; k < to[p]; ++k) {
            const char16_t c = date[k].unicode();
            if (c < u'0' || c > u'9')
                return 0;
            parts[p] = parts[p] * 10 + (c - u'0');
        }
    }
    const QDate d(parts[0], parts[1], parts[2]);
    return d.isValid() ? int(d.toJulianDay()) : 0;
}

std::optional<Money> LedgerEntryRow::net() const
{
    std::optional<Money> n = Money::sub(sale, fee);
    return n ? Money::sub(*n, billcoll) : n;
}

bool LedgerRows::shows(const QString& date, int cardCode) const
{
    return date >= firstDay && date <= lastDay && (card <= 0 || card == cardCode) && DateText::isValidDay(date);
}

QString LedgerRows::cardName(int cardCode) const
{
    const auto it = cardNames.constFind(cardCode);
    return it == cardNames.cend() ? MissingCardName(cardCode) : *it;
}

bool ForEachLedgerEntry(Database& ledger, const QString& firstDay, const QString& lastDay, int cardCode,
                        const std::function<bool(const LedgerEntryRow&, const QString& cardName)>& visit,
                        ErrorInfo* error)
{
    QVariantList binds{firstDay, lastDay};
    QString sql =
        QStringLiteral("SELECT a.code, a.sdate, a.cardcode, b.code IS NULL, b.name, a.numsheet, a.sale, a.fee,"
                       " a.billcoll FROM Tallox AS a LEFT JOIN %1.Plastra AS b ON a.cardcode = b.code"
                       " WHERE a.sdate BETWEEN ? AND ?")
            .arg(CardAlias());
    if (cardCode > 0) {
        sql += QStringLiteral(" AND a.cardcode = ?");
        binds << cardCode;
    }
    sql +=
        QStringLiteral(" AND ") + RealDaySql(QStringLiteral("a.sdate")) + QStringLiteral(" ORDER BY a.sdate, a.code");
    QSqlQuery rs;
    if (!OpenSnapshot(ledger, rs, sql, binds, error))
        return false;
    // Dates repeat down the sheet: a date is read once for its run of rows.
    // Names are the card's, one per card.
    QString lastDate;
    int dayNumber = 0;
    QHash<int, QString> names;
    ErrorInfo amountError;
    bool stopped = false;
    LedgerEntryRow row;
    while (rs.next()) {
        row.key = rs.value(0).toInt();
        const QString date = rs.value(1).toString();
        if (date != lastDate) {
            lastDate = date;
            dayNumber = DayNumber(date);
        }
        row.day = dayNumber;
        row.card = rs.value(2).toInt();
        auto name = names.constFind(row.card);
        if (name == names.cend())
            name = names.insert(row.card, rs.value(3).toBool() ? MissingCardName(row.card) : rs.value(4).toString());
        row.hasSlips = false;
        row.slips = 0;
        if (const QVariant slips = rs.value(5); !slips.isNull()) {
            row.hasSlips = true;
            row.slips = slips.toLongLong();
        }
        if (!ReadMoney(rs.value(6), &row.sale) || !ReadMoney(rs.value(7), &row.fee) ||
            !ReadMoney(rs.value(8), &row.billcoll)) {
            amountError = NotAnAmount();
            break;
        }
        if (!visit(row, *name)) {
            stopped = true;
            break;
        }
    }
    ErrorInfo readError;
    const bool read = FinishRead(rs, &readError);
    if (!read)
        return fail(error, readError.at(ErrorPlace::LedgerRows));
    if (amountError.isSet())
        return fail(error, amountError);
    return !stopped;
}

bool LoadLedgerEntries(Database& ledger, const QString& firstDay, const QString& lastDay, int cardCode,
                       QList<LedgerEntryRow>* entries, QHash<int, QString>* cardNames, ErrorInfo* error)
{
    entries->clear();
    cardNames->clear();
    const bool read = ForEachLedgerEntry(
        ledger, firstDay, lastDay, cardCode,
        [entries, cardNames](const LedgerEntryRow& row, const QString& name) {
            entries->append(row);
            if (!cardNames->contains(row.card))
                cardNames->insert(row.card, name);
            return true;
        },
        error);
    if (!read) {
        entries->clear();
        cardNames->clear();
    }
    return read;
}

bool LoadLedgerRows(Database& ledger, const QString& firstDay, const QString& lastDay, int cardCode, LedgerRows* rows,
                    ErrorInfo* error)
{
    *rows = LedgerRows{firstDay, lastDay, cardCode, Money(), {}, {}};
    // The balance brought forward and the entries after it as of one moment.
    const ReadSnapshot snapshot(ledger);
    ErrorInfo e;
    const Money broughtForward = snapshot.ok(&e) ? GetPrevBalance(ledger, firstDay, cardCode, &e) : Money();
    if (e.isSet())
        return fail(error, e);
    rows->broughtForward = broughtForward;
    return LoadLedgerEntries(ledger, firstDay, lastDay, cardCode, &rows->entries, &rows->cardNames, error);
}

QList<std::optional<Money>> RunningBalances(const Money& start, const QList<LedgerEntryRow>& entries)
{
    QList<std::optional<Money>> balances;
    balances.reserve(entries.size());
    std::optional<Money> balance = start;
    for (const LedgerEntryRow& row : entries) {
        // Step by step, as the sheet has always added: a sale, less its fee and pay-out.
        balance = balance ? Money::add(*balance, row.sale) : balance;
        balance = balance ? Money::sub(*balance, row.fee) : balance;
        balance = balance ? Money::sub(*balance, row.billcoll) : balance;
        balances.append(balance);
    }
    return balances;
}

std::optional<LedgerTotals> SumEntries(const QList<LedgerEntryRow>& entries)
{
    LedgerTotals t;
    for (const LedgerEntryRow& row : entries) {
        if (!Money::addTo(t.sale, row.sale) || !Money::addTo(t.fee, row.fee) || !Money::addTo(t.billcoll, row.billcoll))
            return std::nullopt;
        t.slips += row.slips;
    }
    return t;
}

void LedgerBalances::reset(const Money& start, const QList<LedgerEntryRow>* entries)
{
    m_entries = entries;
    m_blocks.assign((entries->size() + kBlock - 1) / kBlock, Block());
    setStart(start);
}

void LedgerBalances::setStart(const Money& start)
{
    m_start = start;
    m_known = 0;
    m_walked = -1;
}

void LedgerBalances::changed(int from, int to)
{
    const int n = int(m_entries->size());
    const int blocks = (n + kBlock - 1) / kBlock;
    m_blocks.resize(blocks);
    const int first = std::max(0, from) / kBlock;
    const int last = to < 0 ? blocks - 1 : std::min(to / kBlock, blocks - 1);
    for (int b = first; b <= last; ++b)
        m_blocks[b].dirty = true;
    m_known = std::min(m_known, first + 1);
    m_walked = -1;
}

void LedgerBalances::summarize(int b) const
{
    Block& block = m_blocks[b];
    if (!block.dirty)
        return;
    __int128 sum = 0, low = 0, high = 0;
    const int end = std::min(int(m_entries->size()), (b + 1) * kBlock);
    // Three steps per entry, as the sheet has always added.
    for (int i = b * kBlock; i < end; ++i) {
        const LedgerEntryRow& e = (*m_entries)[i];
        for (const __int128 step :
             {__int128(e.sale.units()), -__int128(e.fee.units()), -__int128(e.billcoll.units())}) {
            sum += step;
            low = std::min(low, sum);
            high = std::max(high, sum);
        }
    }
    block = {sum, low, high, false};
}

std::optional<Money> LedgerBalances::at(int index) const
{
    if (!m_entries || index < 0 || index >= m_entries->size())
        return std::nullopt;
    const int b = index / kBlock;
    walk(b);
    return m_walk[index - b * kBlock];
}

void LedgerBalances::walk(int b) const
{
    if (m_walked == b)
        return;
    // The opening balances up to this block, a block at a time.
    m_starts.resize(m_blocks.size());
    if (m_known == 0 && !m_blocks.empty()) {
        m_starts[0] = m_start;
        m_known = 1;
    }
    for (; m_known <= b; ++m_known) {
        const std::optional<Money>& open = m_starts[m_known - 1];
        summarize(m_known - 1);
        const Block& prev = m_blocks[m_known - 1];
        const __int128 s = open ? __int128(open->units()) : 0;
        const bool fits = open && s + prev.low >= std::numeric_limits<qint64>::min() &&
                          s + prev.high <= std::numeric_limits<qint64>::max();
        m_starts[m_known] = fits ? std::optional<Money>(Money::fromUnits(qint64(s + prev.net))) : std::nullopt;
    }
    const int begin = b * kBlock;
    const int end = std::min(int(m_entries->size()), begin + kBlock);
    m_walk.assign(end - begin, std::nullopt);
    std::optional<Money> balance = m_starts[b];
    for (int i = begin; i < end && balance; ++i) {
        const LedgerEntryRow& e = (*m_entries)[i];
        balance = Money::add(*balance, e.sale);
        balance = balance ? Money::sub(*balance, e.fee) : balance;
        balance = balance ? Money::sub(*balance, e.billcoll) : balance;
        m_walk[i - begin] = balance;
    }
    m_walked = b;
}

std::vector<std::optional<Money>> LedgerBalances::all() const
{
    std::vector<std::optional<Money>> out;
    if (!m_entries)
        return out;
    const QList<std::optional<Money>> run = RunningBalances(m_start, *m_entries);
    out.assign(run.cbegin(), run.cend());
    return out;
}
