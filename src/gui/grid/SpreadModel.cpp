#include "gui/grid/SpreadModel.h"

#include <QMetaMethod>
#include <QRegularExpression>
#include <algorithm>
#include <limits>

namespace {

constexpr qint64 kEmpty = std::numeric_limits<qint64>::min();
constexpr qint64 kAside = std::numeric_limits<qint64>::min() + 1;

// Reads a text that is exactly the plain form of a number (as
// Money::toPlainString writes it: "-12", "1234.5", never "007", "1.50" or
// "+3"), so that keeping only the number gives back the very same text.
bool parsePlain(const QString& text, qint64* units)
{
    const int n = int(text.size());
    if (n == 0 || n > 20)
        return false;
    const QChar* p = text.constData();
    int i = 0;
    bool negative = false;
    if (p[0] == QLatin1Char('-')) {
        negative = true;
        i = 1;
    }
    const int wholeStart = i;
    qint64 whole = 0;
    while (i < n && p[i] >= QLatin1Char('0') && p[i] <= QLatin1Char('9')) {
        whole = whole * 10 + (p[i].unicode() - '0');
        ++i;
    }
    const int wholeDigits = i - wholeStart;
    if (wholeDigits == 0 || wholeDigits > 14)
        return false;
    if (wholeDigits > 1 && p[wholeStart] == QLatin1Char('0'))
        return false;
    qint64 frac = 0;
    if (i < n) {
        if (p[i] != QLatin1Char('.'))
            return false;
        ++i;
        const int fracStart = i;
        while (i < n && p[i] >= QLatin1Char('0') && p[i] <= QLatin1Char('9')) {
            frac = frac * 10 + (p[i].unicode() - '0');
            ++i;
        }
        const int fracDigits = i - fracStart;
        if (i != n || fracDigits == 0 || fracDigits > 4 || p[n - 1] == QLatin1Char('0'))
            return false;
        for (int k = fracDigits; k < 4; ++k)
            frac *= 10;
    }
    qint64 u = whole * Money::kScale + frac;
    if (negative) {
        if (u == 0)
            return false; // "-0" stays a text
        u = -u;
    }
    *units = u;
    return true;
}

QString plainText(qint64 units)
{
    return Money::fromUnits(units).toPlainString();
}

} // namespace

struct SpreadModel::Column {
    std::vector<qint64> nums;   // number mode: one slot per row, empty until the first value
    QHash<int, QString> aside;  // number mode: the texts that are not plain numbers (row index)
    std::vector<QString> texts; // text mode
    bool textMode = false;

    QString get(int i) const
    {
        if (textMode)
            return size_t(i) < texts.size() ? texts[size_t(i)] : QString();
        if (size_t(i) >= nums.size())
            return QString();
        const qint64 v = nums[size_t(i)];
        if (v == kEmpty)
            return QString();
        if (v == kAside)
            return aside.value(i);
        return plainText(v);
    }

    bool has(int i) const
    {
        if (textMode)
            return size_t(i) < texts.size() && !texts[size_t(i)].isEmpty();
        return size_t(i) < nums.size() && nums[size_t(i)] != kEmpty;
    }

    std::optional<Money> number(int i) const
    {
        if (!textMode && size_t(i) < nums.size()) {
            const qint64 v = nums[size_t(i)];
            if (v == kEmpty)
                return std::nullopt;
            if (v != kAside)
                return Money::fromUnits(v);
        }
        return Money::parse(get(i));
    }

    void set(int i, const QString& text, int rows)
    {
        if (textMode) {
            if (texts.size() < size_t(rows))
                texts.resize(size_t(rows));
            texts[size_t(i)] = text;
            return;
        }
        if (nums.size() < size_t(rows)) {
            if (text.isEmpty())
                return;
            nums.resize(size_t(rows), kEmpty);
        }
        qint64 units = 0;
        qint64& slot = nums[size_t(i)];
        if (slot == kAside)
            aside.remove(i);
        if (text.isEmpty()) {
            slot = kEmpty;
        } else if (parsePlain(text, &units)) {
            slot = units;
        } else {
            slot = kAside;
            aside.insert(i, text);
            if (aside.size() > 256 && aside.size() * 8 > rows)
                toTextMode();
        }
    }

    void toTextMode()
    {
        std::vector<QString> t(nums.size());
        for (size_t i = 0; i < nums.size(); ++i)
            t[i] = get(int(i));
        texts = std::move(t);
        nums = {};
        aside.clear();
        textMode = true;
    }

    void resize(int rows)
    {
        if (textMode) {
            if (texts.size() > size_t(rows) || !texts.empty())
                texts.resize(size_t(rows));
        } else if (!nums.empty()) {
            nums.resize(size_t(rows), kEmpty);
            aside.removeIf([rows](const auto& it) { return it.key() >= rows; });
        }
    }

    // Rows [i, i + count) open up (count > 0) or go (count < 0, rows [i, i - count)).
    void shift(int i, int count, int rows)
    {
        if (textMode) {
            if (texts.empty())
                return;
            texts.resize(size_t(rows));
            if (count > 0) {
                std::move_backward(texts.begin() + i, texts.end() - count, texts.end());
                std::fill(texts.begin() + i, texts.begin() + i + count, QString());
            } else {
                std::move(texts.begin() + i - count, texts.end(), texts.begin() + i);
                std::fill(texts.end() + count, texts.end(), QString());
            }
            return;
        }
        if (nums.empty())
            return;
        nums.resize(size_t(rows), kEmpty);
        if (count > 0) {
            std::move_backward(nums.begin() + i, nums.end() - count, nums.end());
            std::fill(nums.begin() + i, nums.begin() + i + count, kEmpty);
        } else {
            std::move(nums.begin() + i - count, nums.end(), nums.begin() + i);
            std::fill(nums.end() + count, nums.end(), kEmpty);
        }
        if (!aside.isEmpty()) {
            QHash<int, QString> moved;
            for (auto it = aside.cbegin(); it != aside.cend(); ++it) {
                int r = it.key();
                if (r >= i) {
                    if (count < 0 && r < i - count)
                        continue;
                    r += count;
                }
                if (r >= 0 && r < rows)
                    moved.insert(r, it.value());
            }
            aside = moved;
        }
    }

    int lastFilled() const
    {
        if (textMode) {
            for (size_t i = texts.size(); i > 0; --i)
                if (!texts[i - 1].isEmpty())
                    return int(i);
            return 0;
        }
        for (size_t i = nums.size(); i > 0; --i)
            if (nums[i - 1] != kEmpty)
                return int(i);
        return 0;
    }
};

SpreadModel::SpreadModel(QObject* parent) : QAbstractTableModel(parent) {}

SpreadModel::~SpreadModel() = default;

int SpreadModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int SpreadModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_cols;
}

QVariant SpreadModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows || index.column() >= m_cols)
        return {};
    const int col = index.column() + 1, row = index.row() + 1;
    switch (role) {
    case Qt::DisplayRole:
        return displayText(col, row);
    case Qt::EditRole:
        return value(col, row);
    case Qt::BackgroundRole:
        return effectiveBack(col, row);
    case Qt::ForegroundRole:
        return effectiveFore(col, row);
    case Qt::FontRole:
        return cellFont(col, row);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(alignment(col, row));
    default:
        return {};
    }
}

bool SpreadModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || index.row() >= m_rows || index.column() >= m_cols)
        return false;
    setValue(index.column() + 1, index.row() + 1, value.toString());
    return true;
}

QVariant SpreadModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= m_cols)
            return {};
        const int col = section + 1;
        if (role == Qt::DisplayRole) {
            QStringList lines;
            for (int h = 0; h < m_headerRows; ++h) {
                const QString t = headerText(col, h);
                lines << (t.isEmpty() && m_headerRows == 1 ? QString() : t);
            }
            const QString joined = lines.join(QLatin1Char('\n'));
            return joined.trimmed().isEmpty() && !m_headers.contains(col) ? QString::number(col) : joined;
        }
        if (role == Qt::FontRole)
            return cellFont(col, 0);
        if (role == Qt::ForegroundRole) {
            if (const QColor* c = fore.get(col, 0))
                return *c;
        }
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        return {};
    }
    if (section < 0 || section >= m_rows)
        return {};
    if (role == Qt::DisplayRole) {
        auto it = m_rowHeaders.constFind(section + 1);
        return it != m_rowHeaders.cend() ? *it : QString::number(section + 1);
    }
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

Qt::ItemFlags SpreadModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (isEditable(index.column() + 1, index.row() + 1))
        f |= Qt::ItemIsEditable;
    return f;
}

// --- structure

void SpreadModel::setMaxRows(int rows)
{
    rows = std::max(0, rows);
    if (rows == m_rows)
        return;
    if (rows == 0) {
        beginResetModel();
        m_rows = 0;
        for (Column& c : m_columns)
            c = Column();
        m_rowHeaders.clear();
        m_formulas.clear();
        forEachLayer([](auto& layer) { layer.truncateRows(0); });
        endResetModel();
        return;
    }
    if (rows > m_rows) {
        beginInsertRows(QModelIndex(), m_rows, rows - 1);
        m_rows = rows;
        for (Column& c : m_columns)
            c.resize(rows);
        endInsertRows();
        return;
    }
    beginRemoveRows(QModelIndex(), rows, m_rows - 1);
    m_rows = rows;
    for (Column& c : m_columns)
        c.resize(rows);
    m_rowHeaders.removeIf([rows](const auto& it) { return it.key() > rows; });
    const bool hadFormulas = !m_formulas.isEmpty();
    m_formulas.removeIf([rows](const auto& it) { return Layered<int>::rowOf(it.key()) > rows; });
    forEachLayer([rows](auto& layer) { layer.truncateRows(rows); });
    endRemoveRows();
    if (hadFormulas)
        recomputeAllFormulas();
}

void SpreadModel::setMaxCols(int cols)
{
    cols = std::max(0, cols);
    if (cols == m_cols)
        return;
    if (cols > m_cols) {
        beginInsertColumns(QModelIndex(), m_cols, cols - 1);
        m_cols = cols;
        m_columns.resize(size_t(cols));
        endInsertColumns();
    } else {
        beginRemoveColumns(QModelIndex(), cols, m_cols - 1);
        m_cols = cols;
        m_columns.resize(size_t(cols));
        m_formulas.removeIf([cols](const auto& it) { return Layered<int>::colOf(it.key()) > cols; });
        endRemoveColumns();
        recomputeAllFormulas();
    }
}

namespace {
// Moves a formula reference for rows opening at `row` (count > 0) or going
// from `row` (count < 0).
int shiftRef(int r, int row, int count)
{
    if (r < row)
        return r;
    if (count < 0 && r < row - count)
        return row; // inside the deleted block: clamp to its start
    return r + count;
}
} // namespace

void SpreadModel::insertGridRows(int row, int count)
{
    if (count <= 0 || row < 1 || row > m_rows)
        return;
    // The rows at the end fall off: the row count stays.
    for (Column& c : m_columns)
        c.shift(row - 1, count, m_rows);
    forEachLayer([&](auto& layer) { layer.shiftRows(row, count); });
    QHash<int, QString> rh;
    for (auto it = m_rowHeaders.cbegin(); it != m_rowHeaders.cend(); ++it)
        rh.insert(it.key() >= row ? it.key() + count : it.key(), it.value());
    m_rowHeaders = rh;
    QMap<quint64, Formula> fs;
    for (auto it = m_formulas.cbegin(); it != m_formulas.cend(); ++it) {
        const int c = Layered<int>::colOf(it.key());
        int r = Layered<int>::rowOf(it.key());
        if (r >= row)
            r += count;
        if (r > m_rows)
            continue;
        Formula f = it.value();
        f.r1 = shiftRef(f.r1, row, count);
        // A range that ends on the row above the insertion stays; one that
        // spans it grows.
        f.r2 = shiftRef(f.r2, row, count);
        fs.insert(Layered<int>::key(c, r), f);
    }
    m_formulas = fs;
    m_rowHeaders.removeIf([this](const auto& it) { return it.key() > m_rows; });
    recomputeAllFormulas();
    touchAll();
}

void SpreadModel::deleteGridRows(int row, int count)
{
    if (count <= 0 || row < 1 || row > m_rows)
        return;
    count = std::min(count, m_rows - row + 1);
    for (Column& c : m_columns)
        c.shift(row - 1, -count, m_rows);
    // Row layers: rows below move up; the freed rows at the end start plain.
    const int from = row + count;
    forEachLayer([&](auto& layer) { layer.shiftRows(from, -count); });
    QHash<int, QString> rh;
    for (auto it = m_rowHeaders.cbegin(); it != m_rowHeaders.cend(); ++it) {
        if (it.key() >= row && it.key() < from)
            continue;
        rh.insert(it.key() >= from ? it.key() - count : it.key(), it.value());
    }
    m_rowHeaders = rh;
    QMap<quint64, Formula> fs;
    for (auto it = m_formulas.cbegin(); it != m_formulas.cend(); ++it) {
        const int c = Layered<int>::colOf(it.key());
        int r = Layered<int>::rowOf(it.key());
        if (r >= row && r < from)
            continue;
        if (r >= from)
            r -= count;
        Formula f = it.value();
        const int r1 = shiftRef(f.r1, row, -count);
        int r2 = f.r2 < row ? f.r2 : (f.r2 < from ? row - 1 : f.r2 - count);
        if (r2 < r1) // the whole range was deleted: keep one row
            r2 = r1;
        f.r1 = r1;
        f.r2 = r2;
        fs.insert(Layered<int>::key(c, r), f);
    }
    m_formulas = fs;
    recomputeAllFormulas();
    touchAll();
}

int SpreadModel::dataRowCnt() const
{
    int last = 0;
    for (const Column& c : m_columns)
        last = std::max(last, c.lastFilled());
    return std::min(last, m_rows);
}

void SpreadModel::setColHeaderRows(int rows)
{
    rows = std::max(1, rows);
    if (rows == m_headerRows)
        return;
    m_headerRows = rows;
    if (m_cols > 0)
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, m_cols - 1);
}

// --- values

SpreadModel::Column& SpreadModel::column(int col)
{
    return m_columns[size_t(col - 1)];
}

const SpreadModel::Column* SpreadModel::columnIfAny(int col) const
{
    if (col < 1 || col > m_cols)
        return nullptr;
    return &m_columns[size_t(col - 1)];
}

void SpreadModel::setValue(int col, int row, const QString& text)
{
    if (col < 1 || col > m_cols || row < 1 || row > m_rows)
        return;
    store(col, row, text, 0);
}

void SpreadModel::setNumber(int col, int row, Money value)
{
    if (col < 1 || col > m_cols || row < 1 || row > m_rows)
        return;
    Column& c = column(col);
    // Formulas keep their sums through store(); a plain number column takes
    // the value as it is, without a round trip through text.
    bool summed = false;
    for (auto it = m_formulas.cbegin(); it != m_formulas.cend() && !summed; ++it)
        summed = col >= it->c1 && col <= it->c2 && row >= it->r1 && row <= it->r2;
    if (c.textMode || summed) {
        store(col, row, value.toPlainString(), 0);
        return;
    }
    if (c.nums.size() < size_t(m_rows))
        c.nums.resize(size_t(m_rows), kEmpty);
    qint64& slot = c.nums[size_t(row - 1)];
    if (slot == value.units())
        return;
    if (slot == kAside)
        c.aside.remove(row - 1);
    slot = value.units();
    cellChanged(col, row);
}

void SpreadModel::store(int col, int row, const QString& text, int depth)
{
    Column& c = column(col);
    const std::optional<Money> before = m_formulas.isEmpty() ? std::nullopt : c.number(row - 1);
    if (c.get(row - 1) == text)
        return;
    c.set(row - 1, text, m_rows);
    cellChanged(col, row);
    if (m_formulas.isEmpty() || depth > 32)
        return;
    const std::optional<Money> after = c.number(row - 1);
    const Money delta = after.value_or(Money()) - before.value_or(Money());
    if (delta.isZero())
        return;
    for (auto it = m_formulas.begin(); it != m_formulas.end(); ++it) {
        Formula& f = it.value();
        if (col < f.c1 || col > f.c2 || row < f.r1 || row > f.r2)
            continue;
        const int fc = Layered<int>::colOf(it.key()), fr = Layered<int>::rowOf(it.key());
        if (fc == col && fr == row)
            continue;
        f.value += delta;
        // The formula cell may lie in another formula's range (depth guards cycles).
        store(fc, fr, f.value.toPlainString(), depth + 1);
    }
}

void SpreadModel::cellChanged(int col, int row)
{
    if (m_notify) {
        const QModelIndex i = index(row - 1, col - 1);
        Q_EMIT dataChanged(i, i, {Qt::DisplayRole, Qt::EditRole});
    }
    if (m_valueListener)
        m_valueListener(col, row);
    // Even a signal nobody listens to costs a call into the meta-object system.
    static const QMetaMethod valueSignal = QMetaMethod::fromSignal(&SpreadModel::cellValueChanged);
    if (isSignalConnected(valueSignal))
        Q_EMIT cellValueChanged(col, row);
}

QString SpreadModel::value(int col, int row) const
{
    const Column* c = columnIfAny(col);
    if (!c || row < 1 || row > m_rows)
        return QString();
    return c->get(row - 1);
}

bool SpreadModel::hasValue(int col, int row) const
{
    const Column* c = columnIfAny(col);
    return c && row >= 1 && row <= m_rows && c->has(row - 1);
}

std::optional<Money> SpreadModel::numericValue(int col, int row) const
{
    const Column* c = columnIfAny(col);
    if (!c || row < 1 || row > m_rows)
        return std::nullopt;
    return c->number(row - 1);
}

bool SpreadModel::isNumericType(int col, int row) const
{
    const TypeInfo* t = type.get(col, row);
    if (!t)
        return false;
    switch (t->type) {
    case CellType::Float:
    case CellType::Integer:
    case CellType::Currency:
    case CellType::Number:
        return true;
    default:
        return false;
    }
}

QString SpreadModel::displayText(int col, int row) const
{
    const Column* c = columnIfAny(col);
    if (!c || row < 1 || row > m_rows || !c->has(row - 1))
        return QString();
    const TypeInfo* t = type.get(col, row);
    if (t && isNumericType(col, row)) {
        if (const std::optional<Money> m = c->number(row - 1)) {
            const int decimals = t->type == CellType::Integer ? 0 : t->format.decimals;
            return m->toDisplayString(decimals, t->format.separators);
        }
    }
    return c->get(row - 1);
}

void SpreadModel::setHeaderText(int col, int headerRow, const QString& text)
{
    if (col < 1 || headerRow < 0)
        return;
    QStringList& l = m_headers[col];
    while (l.size() <= headerRow)
        l << QString();
    l[headerRow] = text;
    if (col <= m_cols)
        Q_EMIT headerDataChanged(Qt::Horizontal, col - 1, col - 1);
}

QString SpreadModel::headerText(int col, int headerRow) const
{
    auto it = m_headers.constFind(col);
    if (it == m_headers.cend() || headerRow < 0 || headerRow >= it->size())
        return QString();
    return it->at(headerRow);
}

void SpreadModel::setRowHeaderText(int row, const QString& text)
{
    if (row < 1)
        return;
    m_rowHeaders.insert(row, text);
    if (row <= m_rows)
        Q_EMIT headerDataChanged(Qt::Vertical, row - 1, row - 1);
}

QString SpreadModel::rowHeaderText(int row) const
{
    return m_rowHeaders.value(row);
}

// --- formulas

bool SpreadModel::setFormula(int col, int row, const QString& formulaText_)
{
    if (col < 1 || col > m_cols || row < 1 || row > m_rows)
        return false;
    const quint64 k = Layered<int>::key(col, row);
    if (formulaText_.trimmed().isEmpty()) {
        m_formulas.remove(k);
        return true;
    }
    static const QRegularExpression re(
        QStringLiteral("^\\s*=?\\s*SUM\\(\\s*R(\\d+)C(\\d+)\\s*:\\s*R(\\d+)C(\\d+)\\s*\\)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(formulaText_);
    if (!m.hasMatch())
        return false;
    Formula f{m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(), m.captured(4).toInt(), Money()};
    if (f.r1 > f.r2)
        std::swap(f.r1, f.r2);
    if (f.c1 > f.c2)
        std::swap(f.c1, f.c2);
    auto it = m_formulas.insert(k, f);
    recomputeFormula(k, it.value(), 0);
    return true;
}

QString SpreadModel::formula(int col, int row) const
{
    auto it = m_formulas.constFind(Layered<int>::key(col, row));
    return it == m_formulas.cend() ? QString() : formulaText(*it);
}

QString SpreadModel::formulaText(const Formula& f)
{
    return QStringLiteral("SUM(R%1C%2:R%3C%4)").arg(f.r1).arg(f.c1).arg(f.r2).arg(f.c2);
}

void SpreadModel::clearFormulasInColumn(int col)
{
    m_formulas.removeIf([col](const auto& it) { return Layered<int>::colOf(it.key()) == col; });
}

void SpreadModel::recomputeFormula(quint64 key, Formula& f, int depth)
{
    Money sum;
    const int c2 = std::min(f.c2, m_cols), r2 = std::min(f.r2, m_rows);
    for (int c = std::max(1, f.c1); c <= c2; ++c) {
        const Column& col = m_columns[size_t(c - 1)];
        for (int r = std::max(1, f.r1); r <= r2; ++r) {
            if (Layered<int>::key(c, r) == key)
                continue;
            if (const std::optional<Money> v = col.number(r - 1))
                sum += *v;
        }
    }
    f.value = sum;
    store(Layered<int>::colOf(key), Layered<int>::rowOf(key), sum.toPlainString(), depth + 1);
}

void SpreadModel::recomputeAllFormulas()
{
    // Copy the keys: a store may touch other formulas' cached values.
    const QList<quint64> keys = m_formulas.keys();
    for (quint64 k : keys) {
        auto it = m_formulas.find(k);
        if (it != m_formulas.end())
            recomputeFormula(k, it.value(), 0);
    }
}

// --- looks

Qt::Alignment SpreadModel::alignment(int col, int row) const
{
    Qt::Alignment h = isNumericType(col, row) ? Qt::AlignRight : Qt::AlignLeft;
    if (const int* a = hAlign.get(col, row))
        h = Qt::Alignment(*a);
    Qt::Alignment v = Qt::AlignVCenter;
    if (const int* a = vAlign.get(col, row))
        v = Qt::Alignment(*a);
    return h | v;
}

QColor SpreadModel::effectiveBack(int col, int row) const
{
    if (const QColor* c = back.get(col, row))
        return *c;
    return (row % 2 == 1) ? oddBack : evenBack;
}

QColor SpreadModel::effectiveFore(int col, int row) const
{
    if (const QColor* c = fore.get(col, row))
        return *c;
    return (row % 2 == 1) ? oddFore : evenFore;
}

QFont SpreadModel::cellFont(int col, int row) const
{
    QFont f = baseFont;
    if (const double* s = fontSize.get(col, row); s && *s > 0)
        f.setPointSizeF(*s);
    if (const bool* b = bold.get(col, row))
        f.setBold(*b);
    return f;
}

bool SpreadModel::isEditable(int col, int row) const
{
    if (readOnlyView)
        return false;
    if (lock.value(col, row, false))
        return false;
    if (const TypeInfo* t = type.get(col, row); t && t->type == CellType::StaticText)
        return false;
    return !m_formulas.contains(Layered<int>::key(col, row));
}

// --- sorting

void SpreadModel::sortRows(int col, Qt::SortOrder order, int firstRow, int lastRow)
{
    firstRow = std::max(1, firstRow);
    lastRow = std::min(lastRow, m_rows);
    if (col < 1 || col > m_cols || lastRow - firstRow < 1)
        return;
    const std::vector<int> orderRows = sortedRowOrder(col, order, firstRow, lastRow);

    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    permuteRows(firstRow, orderRows);
    changePersistentIndexList(before, movedIndexes(before, firstRow, orderRows));
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    // Sums do not change by reordering, but a formula cell moved with its row
    // would now show a stale text: recompute them all.
    recomputeAllFormulas();
}

std::vector<int> SpreadModel::sortedRowOrder(int col, Qt::SortOrder order, int firstRow, int lastRow) const
{
    struct Key {
        int row;
        bool empty;
        bool isNumber;
        Money number;
        QString text;
    };
    const Column& c = m_columns[size_t(col - 1)];
    std::vector<Key> keys;
    keys.reserve(static_cast<size_t>(lastRow - firstRow + 1));
    for (int r = firstRow; r <= lastRow; ++r) {
        Key k{r, !c.has(r - 1), false, Money(), QString()};
        if (!k.empty) {
            if (std::optional<Money> m = c.number(r - 1)) {
                k.isNumber = true;
                k.number = *m;
            } else {
                k.text = c.get(r - 1);
            }
        }
        keys.push_back(std::move(k));
    }
    const bool asc = order == Qt::AscendingOrder;
    std::stable_sort(keys.begin(), keys.end(), [asc](const Key& a, const Key& b) {
        if (a.empty != b.empty)
            return b.empty; // empty cells last either way
        if (a.empty)
            return false;
        if (a.isNumber != b.isNumber)
            return asc ? a.isNumber : b.isNumber; // numbers before texts ascending
        int cmp = a.isNumber ? (a.number < b.number ? -1 : (b.number < a.number ? 1 : 0)) : a.text.compare(b.text);
        return asc ? cmp < 0 : cmp > 0;
    });
    std::vector<int> orderRows;
    orderRows.reserve(keys.size());
    for (const Key& k : keys)
        orderRows.push_back(k.row);
    return orderRows;
}

void SpreadModel::permuteRows(int firstRow, const std::vector<int>& orderRows)
{
    const size_t n = orderRows.size();
    for (Column& c : m_columns) {
        std::vector<QString> moved(n);
        for (size_t i = 0; i < n; ++i)
            moved[i] = c.get(orderRows[i] - 1);
        for (size_t i = 0; i < n; ++i)
            c.set(firstRow - 1 + int(i), moved[i], m_rows);
    }
    forEachLayer([&](auto& layer) { layer.permuteRows(firstRow, orderRows); });
}

QModelIndexList SpreadModel::movedIndexes(const QModelIndexList& before, int firstRow,
                                          const std::vector<int>& orderRows) const
{
    const int lastRow = firstRow + int(orderRows.size()) - 1;
    std::vector<int> newPos(orderRows.size());
    for (size_t i = 0; i < orderRows.size(); ++i)
        newPos[size_t(orderRows[i] - firstRow)] = firstRow + int(i);
    QModelIndexList after;
    for (const QModelIndex& i : before) {
        const int r = i.row() + 1;
        const int nr = (r >= firstRow && r <= lastRow) ? newPos[size_t(r - firstRow)] : r;
        after << index(nr - 1, i.column());
    }
    return after;
}

void SpreadModel::setNotify(bool on)
{
    m_notify = on;
}

void SpreadModel::touchAll()
{
    if (!m_notify || m_rows == 0 || m_cols == 0)
        return;
    Q_EMIT dataChanged(index(0, 0), index(m_rows - 1, m_cols - 1));
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, m_cols - 1);
}
