#pragma once

#include "data/base/Error.h"
#include "data/ledger/LedgerRows.h"

#include <QAbstractTableModel>

class LedgerStore;

// The ledger sheet as a table model over typed rows: row 0 is the balance
// brought forward, then the entries, and last the entry row where a new entry
// is typed. Key and card code are roles, not cells; running balances and
// totals come from the rows (exact, checked: a balance out of the range of
// money is not shown). An edit goes through setData to the typed store calls
// of LedgerStore, and the sheet follows what was stored: an entry moved out
// of the period or off the card filter leaves it, and the balances, the
// brought-forward row and the totals are right after every store.
class LedgerModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column : int { Date, CardName, Slips, Sale, Fee, BillColl, Balance, ColumnCount };
    enum Role : int {
        KeyRole = Qt::UserRole + 1, // the entry's key; 0 for the brought-forward and entry rows
        CardCodeRole,               // the entry's card code; setData with it on 카드명 changes the card
        MoneyRole,                  // an amount or balance in ten-thousandths of a won (qint64); none when not shown
    };

    LedgerModel(LedgerStore& store, Database& ledger, QObject* parent = nullptr);

    // Reads the period for the card filter (0: all cards) again. The entry
    // row's date goes back to DefaultEntryDate. False with `error` when the
    // rows could not be read: the model then holds no entry.
    bool load(const QString& firstDay, const QString& lastDay, int card, ErrorInfo* error = nullptr);
    bool reload(ErrorInfo* error = nullptr) { return load(m_rows.firstDay, m_rows.lastDay, m_rows.card, error); }

    // Today when it lies in the period, else the period's nearer end.
    static QString DefaultEntryDate(const QString& firstDay, const QString& lastDay);

    const LedgerRows& rows() const { return m_rows; }
    int entryRow() const { return int(m_rows.entries.size()) + 1; }
    bool isEntry(int row) const { return row >= 1 && row < entryRow(); }
    // The row that shows this entry; -1 when none.
    int rowOfKey(int key) const;
    const LedgerEntryRow* entryAt(int row) const;
    QString entryDate() const { return m_entryDate; }
    // The running balance of a row in date order, whatever the shown order.
    std::optional<Money> balance(int row) const;
    std::optional<LedgerTotals> totals() const { return m_totals; }
    // The entry the last setData stored (0 when none), and the row that now
    // shows it (-1 when the sheet no longer does).
    int lastStoredKey() const { return m_lastKey; }
    int lastStoredRow() const { return m_lastRow; }
    // After the books were restored: the store of the new books.
    void setStore(LedgerStore& store) { m_store = &store; }
    // Why the last setData or load failed (unset when it did not).
    ErrorInfo lastError() const { return m_error; }
    // The stored field a column writes ("sdate", "cardcode", ...); empty for 잔액.
    static QString FieldOf(int column);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // EditRole on an entry's date, slips or amount (text as typed; empty is
    // 0), CardCodeRole on its 카드명; on the entry row EditRole on 일자 sets
    // the new entry's date and CardCodeRole on 카드명 stores the new entry
    // (its figures wait for the card).
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    // Deletes the entry of this row from the books and takes it off the sheet.
    bool removeEntry(int row);
    // Entries only: the brought-forward row stays first and the entry row
    // last. Numbers sort as numbers; 잔액 sorts by each row's balance in date
    // order; 일자 ascending is the date order again.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

Q_SIGNALS:
    // The sums of the columns changed (or can no longer be shown).
    void totalsChanged();

private:
    int indexOfRow(int row) const; // the date-order index of an entry row
    int rowOfIndex(int i) const;
    // The inverse of the sorted order (none in date order).
    void rebuildOrder();
    // Entries from..to (to -1: to the last) changed: their balances and the totals are told.
    void recompute(int from, int to = -1);
    bool storeEntryField(int row, int column, const QVariant& value);
    // Takes the entry at date-order index i off the sheet (the totals are the caller's).
    void dropIndex(int i);
    bool storeNewEntry(int card);
    // After a store: the entry as the books now hold it takes its place.
    bool follow(int i, int key);
    bool refused(const ErrorInfo& e);

    LedgerStore* m_store;
    Database& m_db;
    LedgerRows m_rows;
    QString m_entryDate;
    LedgerBalances m_balances; // by date-order index, worked out for the rows asked for
    std::optional<LedgerTotals> m_totals;
    QList<int> m_order;      // shown row - 1 -> date-order index; empty: date order
    QList<int> m_rowOfIndex; // the inverse while sorted
    int m_sortColumn = Date;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    ErrorInfo m_error;
    int m_lastKey = 0;
    int m_lastRow = -1;
    bool m_failed = false; // the last load could not read the rows
};
