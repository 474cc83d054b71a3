#include "gui/ledger/LedgerModel.h"

#include "data/base/Clock.h"
#include "data/base/DateParse.h"
#include "data/ledger/LedgerStore.h"
#include "data/summary/SumBillData.h"

#include <QColor>
#include <QCoreApplication>
#include <QHash>
#include <QLocale>
#include <algorithm>

namespace {
// Titles as the sheet has them (the same Korean source texts).
const char* const kTitles[LedgerModel::ColumnCount] = {
    QT_TRANSLATE_NOOP("LedgerSheet", "일자"),   QT_TRANSLATE_NOOP("LedgerSheet", "카드명"),
    QT_TRANSLATE_NOOP("LedgerSheet", "건수"),   QT_TRANSLATE_NOOP("LedgerSheet", "매출액"),
    QT_TRANSLATE_NOOP("LedgerSheet", "수수료"), QT_TRANSLATE_NOOP("LedgerSheet", "카드사결제액"),
    QT_TRANSLATE_NOOP("LedgerSheet", "잔액"),
};

const Money* AmountOf(const LedgerEntryRow& e, int column)
{
    switch (column) {
    case LedgerModel::Sale:
        return &e.sale;
    case LedgerModel::Fee:
        return &e.fee;
    case LedgerModel::BillColl:
        return &e.billcoll;
    default:
        return nullptr;
    }
}

QVariant MoneyData(const std::optional<Money>& m, int role, bool emptyZero)
{
    if (!m || (emptyZero && m->isZero() && role != LedgerModel::MoneyRole))
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return m->toDisplayString(0);
    case Qt::EditRole:
        return m->toPlainString();
    case LedgerModel::MoneyRole:
        return m->units();
    default:
        return QVariant();
    }
}
// Adds an entry's figures to the totals or takes them off; none once a sum leaves the range of money.
void MoveTotals(std::optional<LedgerTotals>& totals, const LedgerEntryRow& r, bool add)
{
    if (!totals)
        return;
    const auto step = add ? &Money::add : &Money::sub;
    const std::optional<Money> sale = step(totals->sale, r.sale), fee = step(totals->fee, r.fee),
                               billcoll = step(totals->billcoll, r.billcoll);
    if (!sale || !fee || !billcoll) {
        totals.reset();
        return;
    }
    *totals = {totals->slips + (add ? 1 : -1) * r.slips, *sale, *fee, *billcoll};
}
} // namespace

LedgerModel::LedgerModel(LedgerStore& store, Database& ledger, QObject* parent)
    : QAbstractTableModel(parent), m_store(&store), m_db(ledger)
{
}

QString LedgerModel::DefaultEntryDate(const QString& firstDay, const QString& lastDay)
{
    const QString today = DateText::todayText();
    if (!firstDay.isEmpty() && today < firstDay)
        return firstDay;
    if (!lastDay.isEmpty() && today > lastDay)
        return lastDay;
    return today;
}

QString LedgerModel::FieldOf(int column)
{
    static const char* const fields[ColumnCount] = {"sdate", "cardcode", "numsheet", "sale", "fee", "billcoll", ""};
    return column >= 0 && column < ColumnCount ? QString::fromLatin1(fields[column]) : QString();
}

bool LedgerModel::load(const QString& firstDay, const QString& lastDay, int card, ErrorInfo* error)
{
    beginResetModel();
    m_error = ErrorInfo();
    const bool ok = LoadLedgerRows(m_db, firstDay, lastDay, card, &m_rows, &m_error);
    m_failed = !ok;
    m_entryDate = DefaultEntryDate(firstDay, lastDay);
    m_order.clear();
    m_rowOfIndex.clear();
    m_sortColumn = Date;
    m_sortOrder = Qt::AscendingOrder;
    m_balances.reset(m_rows.broughtForward, &m_rows.entries);
    m_totals = SumEntries(m_rows.entries);
    endResetModel();
    Q_EMIT totalsChanged();
    return ok || fail(error, m_error);
}

int LedgerModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : entryRow() + 1;
}

int LedgerModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

int LedgerModel::indexOfRow(int row) const
{
    if (!isEntry(row))
        return -1;
    return m_order.isEmpty() ? row - 1 : m_order[row - 1];
}

int LedgerModel::rowOfIndex(int i) const
{
    return m_order.isEmpty() ? i + 1 : m_rowOfIndex[i] + 1;
}

int LedgerModel::rowOfKey(int key) const
{
    // A scan rather than a map of a million keys: asked for once per command, not per row painted.
    const QList<LedgerEntryRow>& entries = m_rows.entries;
    const auto it =
        std::find_if(entries.cbegin(), entries.cend(), [key](const LedgerEntryRow& e) { return e.key == key; });
    return it == entries.cend() ? -1 : rowOfIndex(int(it - entries.cbegin()));
}

const LedgerEntryRow* LedgerModel::entryAt(int row) const
{
    const int i = indexOfRow(row);
    return i < 0 ? nullptr : &m_rows.entries[i];
}

std::optional<Money> LedgerModel::balance(int row) const
{
    if (row == 0)
        return m_rows.broughtForward;
    const int i = indexOfRow(row);
    return i < 0 ? std::nullopt : m_balances.at(i);
}

QVariant LedgerModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return QVariant();
    const int row = index.row();
    const int col = index.column();
    if (role == Qt::TextAlignmentRole)
        return col == Date       ? QVariant(Qt::AlignCenter)
               : col == CardName ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                 : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if ((role == KeyRole || role == CardCodeRole) && !isEntry(row))
        return 0;
    if (row == 0) {
        if (role == Qt::ForegroundRole)
            return QColor::fromRgba(kBroughtForwardFore);
        if (col == Date && (role == Qt::DisplayRole || role == Qt::EditRole))
            return BroughtForwardLabel();
        // No balance is better than a wrong one.
        return col == Balance && !m_failed ? MoneyData(m_rows.broughtForward, role, false) : QVariant();
    }
    const LedgerEntryRow* e = entryAt(row);
    if (!e) // the entry row
        return col == Date && (role == Qt::DisplayRole || role == Qt::EditRole) ? QVariant(m_entryDate) : QVariant();
    if (role == KeyRole)
        return e->key;
    if (role == CardCodeRole)
        return e->card;
    if (const Money* m = AmountOf(*e, col))
        return MoneyData(*m, role, true);
    if (col == Balance)
        return MoneyData(balance(row), role, false);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    switch (col) {
    case Date:
        return e->dateText();
    case CardName:
        return m_rows.cardName(e->card);
    case Slips:
        return e->hasSlips ? QVariant(role == Qt::DisplayRole ? QLocale::system().toString(e->slips)
                                                              : QString::number(e->slips))
                           : QVariant();
    default:
        return QVariant();
    }
}

QVariant LedgerModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Vertical)
        return section + 1;
    return section >= 0 && section < ColumnCount ? QCoreApplication::translate("LedgerSheet", kTitles[section])
                                                 : QVariant();
}

Qt::ItemFlags LedgerModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags base = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    const int row = index.row();
    const int col = index.column();
    // The entry row takes typing in its figures too, so that the window can say a card comes first.
    const bool editable = (isEntry(row) || row == entryRow()) && col != Balance;
    return editable ? base | Qt::ItemIsEditable : base;
}

bool LedgerModel::refused(const ErrorInfo& e)
{
    m_error = e;
    return false;
}

bool LedgerModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    m_error = ErrorInfo();
    m_lastKey = 0;
    m_lastRow = -1;
    if (!index.isValid() || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const int row = index.row();
    const int col = index.column();
    if (col == CardName && role != CardCodeRole)
        return false; // a card is named by its code: the window finds it from what was typed
    if (col != CardName && role != Qt::EditRole)
        return false;
    if (row == entryRow()) {
        if (col == CardName)
            return storeNewEntry(value.toInt());
        if (col != Date)
            return refused(ErrorInfo::info(QCoreApplication::translate("frmMain", "카드명을 먼저 입력하세요.")));
        QString date = value.toString();
        ErrorInfo e;
        if (!ParseDateInput(date, &e))
            return refused(e);
        m_entryDate = date;
        Q_EMIT dataChanged(index, index);
        return true;
    }
    return storeEntryField(row, col, value);
}

bool LedgerModel::storeEntryField(int row, int column, const QVariant& value)
{
    const int i = indexOfRow(row);
    const int key = m_rows.entries[i].key;
    QVariant stored = value;
    if (column == Date) {
        QString date = value.toString();
        ErrorInfo e;
        if (!ParseDateInput(date, &e))
            return refused(e);
        stored = date;
    } else if (column != CardName && value.toString().trimmed().isEmpty()) {
        stored = QStringLiteral("0"); // an emptied amount or slip count is 0, as in any spreadsheet
    }
    ErrorInfo e;
    if (!m_store->RecordEditCol(key, FieldOf(column), stored, &e))
        return refused(e);
    return follow(i, key);
}

bool LedgerModel::storeNewEntry(int card)
{
    int key = 0;
    ErrorInfo e;
    if (!m_store->InsertRecord(m_entryDate, card, &key, &e))
        return refused(e);
    return follow(-1, key);
}

bool LedgerModel::follow(int i, int key)
{
    m_lastKey = key;
    m_lastRow = -1;
    ErrorInfo e;
    const std::optional<LedgerStore::EntryView> view = m_store->ReadEntry(key, &e);
    if (!view) {
        // Stored, but not readable back: the sheet as the books hold it.
        reload(nullptr);
        return refused(e);
    }
    LedgerEntryRow next;
    next.key = key;
    next.day = DayNumber(view->date);
    next.card = view->card;
    m_rows.cardNames.insert(view->card, view->cardName.isEmpty() ? MissingCardName(view->card) : view->cardName);
    next.hasSlips = !view->numsheet.isNull();
    next.slips = view->numsheet.toLongLong();
    next.sale = view->sale;
    next.fee = view->fee;
    next.billcoll = view->billcoll;

    QList<LedgerEntryRow>& entries = m_rows.entries;
    const QString& date = view->date;
    const bool shows = m_rows.shows(date, next.card);
    // The totals move by what left the sheet and what came on it (a sum out
    // of range is worked out again from every row).
    std::optional<LedgerTotals> totals = m_totals;
    const auto move = [&totals](const LedgerEntryRow& r, bool add) { MoveTotals(totals, r, add); };
    if (i >= 0)
        move(entries[i], false);
    if (shows)
        move(next, true);
    // An entry of a shown card moved before the period now counts in the balance brought forward.
    if (!shows && i >= 0 && date < m_rows.firstDay && DateText::isValidDay(date) &&
        (m_rows.card <= 0 || m_rows.card == next.card)) {
        const std::optional<Money> net = next.net();
        const std::optional<Money> bf = net ? Money::add(m_rows.broughtForward, *net) : std::nullopt;
        if (!bf) {
            reload(nullptr);
            return true;
        }
        m_rows.broughtForward = *bf;
        m_balances.setStart(*bf);
        Q_EMIT dataChanged(this->index(0, Balance), this->index(0, Balance));
    }
    const auto before = [&entries](int lo, int hi, const LedgerEntryRow& r) {
        return std::lower_bound(entries.begin() + lo, entries.begin() + hi, r,
                                [](const LedgerEntryRow& a, const LedgerEntryRow& b) {
                                    return a.day < b.day || (a.day == b.day && a.key < b.key);
                                }) -
               entries.begin();
    };
    int from = 0;
    int to = -1;
    if (i < 0 && !shows) {
        return true; // a new entry that this sheet does not show
    } else if (i < 0) {
        const int j = int(before(0, int(entries.size()), next));
        const int row = m_order.isEmpty() ? j + 1 : entryRow(); // a sorted sheet shows it last
        beginInsertRows(QModelIndex(), row, row);
        entries.insert(j, next);
        for (int& o : m_order)
            o += o >= j ? 1 : 0;
        if (!m_order.isEmpty())
            m_order.append(j);
        rebuildOrder();
        endInsertRows();
        m_lastRow = row;
        from = j;
    } else if (!shows) {
        dropIndex(i);
        from = i;
    } else {
        // Its place in date order, among the others.
        entries.removeAt(i);
        int j = int(before(0, int(entries.size()), next));
        entries.insert(i, next); // back for the move below
        if (j != i && m_order.isEmpty()) {
            beginMoveRows(QModelIndex(), i + 1, i + 1, QModelIndex(), (j > i ? j + 1 : j) + 1);
            entries.move(i, j);
            endMoveRows();
        } else if (j != i) {
            entries.move(i, j);
            for (int& o : m_order)
                o = o == i ? j : (i < j && o > i && o <= j) ? o - 1 : (j < i && o >= j && o < i) ? o + 1 : o;
        }
        // Only the entries between its old and new place changed index.
        rebuildOrder();
        from = std::min(i, j);
        to = std::max(i, j);
        const int row = rowOfIndex(j);
        m_lastRow = row;
        Q_EMIT dataChanged(this->index(row, 0), this->index(row, ColumnCount - 1));
    }
    if (!shows && i >= 0 && date < m_rows.firstDay)
        from = 0;
    m_totals = totals ? totals : SumEntries(entries);
    recompute(from, to);
    return true;
}

void LedgerModel::dropIndex(int i)
{
    const int row = rowOfIndex(i);
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.entries.removeAt(i);
    if (!m_order.isEmpty()) {
        m_order.removeAt(row - 1);
        for (int& o : m_order)
            o -= o > i ? 1 : 0;
    }
    rebuildOrder();
    endRemoveRows();
}

bool LedgerModel::removeEntry(int row)
{
    m_error = ErrorInfo();
    const int i = indexOfRow(row);
    if (i < 0)
        return false;
    const LedgerEntryRow gone = m_rows.entries[i];
    ErrorInfo e;
    if (!m_store->DeleteRecord(gone.key, &e))
        return refused(e);
    std::optional<LedgerTotals> totals = m_totals;
    MoveTotals(totals, gone, false);
    dropIndex(i);
    m_totals = totals ? totals : SumEntries(m_rows.entries);
    recompute(i);
    return true;
}

void LedgerModel::rebuildOrder()
{
    if (m_order.isEmpty())
        return;
    m_rowOfIndex.resize(m_order.size());
    for (int r = 0; r < m_order.size(); ++r)
        m_rowOfIndex[m_order[r]] = r;
}

void LedgerModel::recompute(int from, int to)
{
    // Only the blocks of the changed entries are summed again; a balance is
    // worked out when a row on screen asks for it.
    m_balances.changed(from, to);
    Q_EMIT totalsChanged();
    if (m_rows.entries.isEmpty())
        return;
    const int first = m_order.isEmpty() ? from + 1 : 1;
    if (first <= int(m_rows.entries.size()))
        Q_EMIT dataChanged(index(first, Balance), index(int(m_rows.entries.size()), Balance));
}

void LedgerModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= ColumnCount)
        return;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList persistent = persistentIndexList();
    QList<int> indices; // what each persistent index stood on: an entry, or -1 / -2 for the first and last rows
    for (const QModelIndex& p : persistent)
        indices << (p.row() == 0 ? -1 : isEntry(p.row()) ? indexOfRow(p.row()) : -2);

    const QList<LedgerEntryRow>& entries = m_rows.entries;
    const int n = int(entries.size());
    m_sortColumn = column;
    m_sortOrder = order;
    m_order.clear();
    if (column != Date || order != Qt::AscendingOrder) {
        m_order.resize(n);
        for (int k = 0; k < n; ++k)
            m_order[k] = k;
        // Names and balances are compared as a rank and a number, not looked up per comparison.
        QHash<int, int> nameRank;
        std::vector<std::optional<Money>> balances;
        if (column == CardName) {
            QStringList names = m_rows.cardNames.values();
            names.sort();
            for (auto it = m_rows.cardNames.cbegin(); it != m_rows.cardNames.cend(); ++it)
                nameRank.insert(it.key(),
                                int(std::lower_bound(names.cbegin(), names.cend(), it.value()) - names.cbegin()));
        } else if (column == Balance) {
            balances = m_balances.all();
        }
        // Less-than by the column's typed value; equal values keep date order.
        const auto less = [&](int a, int b) -> bool {
            const LedgerEntryRow& x = entries[a];
            const LedgerEntryRow& y = entries[b];
            switch (column) {
            case Date:
                return false; // date order is the order of the indices
            case CardName:
                return nameRank.value(x.card) < nameRank.value(y.card);
            case Slips:
                return x.slips < y.slips;
            case Balance: {
                const std::optional<Money>& p = balances[a];
                const std::optional<Money>& q = balances[b];
                return p && (!q || *p < *q); // a balance not shown sorts last
            }
            default:
                return *AmountOf(x, column) < *AmountOf(y, column);
            }
        };
        if (column == Date)
            std::reverse(m_order.begin(), m_order.end());
        else if (order == Qt::AscendingOrder)
            std::stable_sort(m_order.begin(), m_order.end(), less);
        else
            std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) { return less(b, a); });
    }
    rebuildOrder();

    QModelIndexList moved;
    moved.reserve(persistent.size());
    for (qsizetype k = 0; k < persistent.size(); ++k) {
        const int row = indices[k] == -1 ? 0 : indices[k] == -2 ? entryRow() : rowOfIndex(indices[k]);
        moved << index(row, persistent[k].column());
    }
    changePersistentIndexList(persistent, moved);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
