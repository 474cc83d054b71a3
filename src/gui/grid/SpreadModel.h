#pragma once

#include "data/base/Money.h"
#include "gui/grid/SpreadGrid.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QMap>
#include <functional>
#include <optional>
#include <vector>

// A property kept in layers: one value for all cells, per column, per row and
// per cell. Every write carries a stamp; for a cell the newest of the (up to)
// four candidates wins, which is what writing every cell of the selection
// would have given, without touching a million cells.
template <class T> class Layered {
public:
    struct Slot {
        T value{};
        quint64 stamp = 0;
    };

    void set(int col, int row, const T& value, quint64 stamp)
    {
        const Slot slot{value, stamp};
        if (col == -1 && row == -1) {
            // Older entries of the finer layers can never win again.
            m_all = slot;
            m_col.clear();
            m_row.clear();
            m_cell.clear();
        } else if (row == -1) {
            m_col.insert(col, slot);
            dropCells([col](int c, int) { return c == col; });
        } else if (col == -1) {
            m_row.insert(row, slot);
            dropCells([row](int, int r) { return r == row; });
        } else {
            m_cell.insert(key(col, row), slot);
        }
    }

    const T* get(int col, int row) const
    {
        const Slot* best = m_all ? &*m_all : nullptr;
        auto consider = [&best](const Slot* s) {
            if (s && (!best || s->stamp > best->stamp))
                best = s;
        };
        if (!m_col.isEmpty()) {
            auto it = m_col.constFind(col);
            consider(it == m_col.cend() ? nullptr : &*it);
        }
        if (!m_row.isEmpty()) {
            auto it = m_row.constFind(row);
            consider(it == m_row.cend() ? nullptr : &*it);
        }
        if (!m_cell.isEmpty()) {
            auto it = m_cell.constFind(key(col, row));
            consider(it == m_cell.cend() ? nullptr : &*it);
        }
        return best ? &best->value : nullptr;
    }

    T value(int col, int row, const T& fallback) const
    {
        const T* v = get(col, row);
        return v ? *v : fallback;
    }

    // Rows from `from` on move by `delta`; with a negative delta the rows
    // [from + delta, from) are gone. Header rows (<= 0) never move.
    void shiftRows(int from, int delta)
    {
        auto move = [&](int r) -> std::optional<int> {
            if (r < from)
                return (delta < 0 && r >= from + delta && r >= 1) ? std::nullopt : std::optional<int>(r);
            return r + delta;
        };
        QHash<int, Slot> rows;
        for (auto it = m_row.cbegin(); it != m_row.cend(); ++it) {
            if (it.key() <= 0) {
                rows.insert(it.key(), it.value());
            } else if (auto r = move(it.key())) {
                rows.insert(*r, it.value());
            }
        }
        m_row = rows;
        QHash<quint64, Slot> cells;
        for (auto it = m_cell.cbegin(); it != m_cell.cend(); ++it) {
            const int c = colOf(it.key()), r = rowOf(it.key());
            if (r <= 0) {
                cells.insert(it.key(), it.value());
            } else if (auto nr = move(r)) {
                cells.insert(key(c, *nr), it.value());
            }
        }
        m_cell = cells;
    }

    // Rows above `maxRow` are forgotten (the grid shrank).
    void truncateRows(int maxRow)
    {
        m_row.removeIf([maxRow](const auto& it) { return it.key() > maxRow; });
        m_cell.removeIf([maxRow](const auto& it) { return rowOf(it.key()) > maxRow; });
    }

    // Reorders rows first..last: row first + i takes the entries of row order[i].
    void permuteRows(int first, const std::vector<int>& order)
    {
        const int last = first + int(order.size()) - 1;
        std::vector<int> newPos(order.size());
        for (size_t i = 0; i < order.size(); ++i)
            newPos[size_t(order[i] - first)] = first + int(i);
        auto map = [&](int r) { return (r >= first && r <= last) ? newPos[size_t(r - first)] : r; };
        QHash<int, Slot> rows;
        for (auto it = m_row.cbegin(); it != m_row.cend(); ++it)
            rows.insert(map(it.key()), it.value());
        m_row = rows;
        QHash<quint64, Slot> cells;
        for (auto it = m_cell.cbegin(); it != m_cell.cend(); ++it)
            cells.insert(key(colOf(it.key()), map(rowOf(it.key()))), it.value());
        m_cell = cells;
    }

    void clear()
    {
        m_all.reset();
        m_col.clear();
        m_row.clear();
        m_cell.clear();
    }

    static quint64 key(int col, int row) { return (quint64(quint32(row)) << 32) | quint32(col); }
    static int colOf(quint64 k) { return int(quint32(k & 0xffffffffu)); }
    static int rowOf(quint64 k) { return int(quint32(k >> 32)); }

private:
    template <class Pred> void dropCells(Pred pred)
    {
        if (!m_cell.isEmpty())
            m_cell.removeIf([&pred](const auto& it) { return pred(colOf(it.key()), rowOf(it.key())); });
    }

    std::optional<Slot> m_all;
    QHash<int, Slot> m_col;
    QHash<int, Slot> m_row;
    QHash<quint64, Slot> m_cell;
};

// The values and looks behind SpreadGrid. Grid rows and columns are 1-based;
// model rows and columns are 0-based (grid row r is model row r - 1).
//
// Values are kept per column: while a column's texts are mostly plain numbers
// it holds one qint64 (ten-thousandths) per row, with markers for "empty" and
// "text kept aside", and the rare other texts in a side map; once texts
// dominate it switches to one QString per row.
class SpreadModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using CellType = SpreadGrid::CellType;
    using NumberFormat = SpreadGrid::NumberFormat;

    struct TypeInfo {
        CellType type = CellType::Edit;
        NumberFormat format;
    };

    explicit SpreadModel(QObject* parent = nullptr);
    ~SpreadModel() override;

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // --- structure (grid numbering)
    int maxRows() const { return m_rows; }
    void setMaxRows(int rows);
    int maxCols() const { return m_cols; }
    void setMaxCols(int cols);
    void insertGridRows(int row, int count);
    void deleteGridRows(int row, int count);
    int dataRowCnt() const;
    int colHeaderRows() const { return m_headerRows; }
    void setColHeaderRows(int rows);

    // --- values (grid numbering, cells only: col >= 1, row >= 1)
    void setValue(int col, int row, const QString& text);
    // The same for a number, without formatting it to text and parsing it back.
    void setNumber(int col, int row, Money value);
    QString value(int col, int row) const;
    bool hasValue(int col, int row) const;
    std::optional<Money> numericValue(int col, int row) const;
    QString displayText(int col, int row) const;
    void setHeaderText(int col, int headerRow, const QString& text);
    QString headerText(int col, int headerRow) const;
    void setRowHeaderText(int row, const QString& text);
    QString rowHeaderText(int row) const;

    // --- formulas: "SUM(RaCb:RcCd)"; false when the text is not that form
    bool setFormula(int col, int row, const QString& formula);
    QString formula(int col, int row) const;
    void clearFormulasInColumn(int col);

    // --- layered looks
    quint64 nextStamp() { return ++m_stamp; }
    Layered<bool> lock;
    Layered<QColor> back;
    Layered<QColor> fore;
    Layered<bool> bold;
    Layered<double> fontSize;
    Layered<TypeInfo> type;
    Layered<int> maxLength;
    Layered<int> hAlign;
    Layered<int> vAlign;

    // Every look-and-lock layer, for the operations that move rows.
    template <class F> void forEachLayer(F f)
    {
        f(lock);
        f(back);
        f(fore);
        f(bold);
        f(fontSize);
        f(type);
        f(maxLength);
        f(hAlign);
        f(vAlign);
    }

    QColor oddBack = Qt::white, oddFore = Qt::black, evenBack = Qt::white, evenFore = Qt::black;
    QFont baseFont;
    bool readOnlyView = false; // operation mode without cell editing

    bool isNumericType(int col, int row) const;
    Qt::Alignment alignment(int col, int row) const;
    QColor effectiveBack(int col, int row) const;
    QColor effectiveFore(int col, int row) const;
    QFont cellFont(int col, int row) const;
    bool isEditable(int col, int row) const;

    // Sorts rows first..last by column `col` (numbers numerically, empty cells last).
    void sortRows(int col, Qt::SortOrder order, int firstRow, int lastRow);

    // Painting notifications off while the grid does not redraw.
    void setNotify(bool on);
    // Tells the views that every cell may have changed (after layer changes).
    void touchAll();

    // Called, before cellValueChanged, for every changed value. The grid
    // listens here: a sheet fill writes millions of cells, and a signal with
    // a receiver costs a good share of each write.
    void setValueListener(std::function<void(int col, int row)> listener) { m_valueListener = std::move(listener); }

Q_SIGNALS:
    // A cell's value changed (grid numbering), formula results included.
    void cellValueChanged(int col, int row);

private:
    struct Column;
    struct Formula {
        int r1, c1, r2, c2;
        Money value;
    };

    Column& column(int col);
    const Column* columnIfAny(int col) const;
    void store(int col, int row, const QString& text, int depth);
    void recomputeFormula(quint64 key, Formula& f, int depth);
    void recomputeAllFormulas();
    void cellChanged(int col, int row);
    // The rows first..last in their sorted order (grid numbering).
    std::vector<int> sortedRowOrder(int col, Qt::SortOrder order, int firstRow, int lastRow) const;
    // Moves values and looks so that row firstRow + i holds what row orderRows[i] held.
    void permuteRows(int firstRow, const std::vector<int>& orderRows);
    QModelIndexList movedIndexes(const QModelIndexList& before, int firstRow, const std::vector<int>& orderRows) const;
    static QString formulaText(const Formula& f);

    std::function<void(int, int)> m_valueListener;
    int m_rows = 0;
    int m_cols = 0;
    int m_headerRows = 1;
    quint64 m_stamp = 0;
    bool m_notify = true;
    std::vector<Column> m_columns;     // index col - 1
    QHash<int, QStringList> m_headers; // per column, one text per header row
    QHash<int, QString> m_rowHeaders;
    // key (col, row). A map: every stored number walks the formulas, and a
    // hash walks all its buckets (128 at least) for the few formulas a sheet has.
    QMap<quint64, Formula> m_formulas;
};
