#include "gui/ledger/LedgerView.h"

#include "data/base/Money.h"
#include "gui/grid/SpreadDesign.h"
#include "gui/ledger/LedgerModel.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QSettings>
#include <QStyledItemDelegate>
#include <cmath>

namespace {
// The grid's widths of the columns, in its unit; the row numbers' column first.
constexpr double kWidths[LedgerModel::ColumnCount] = {10.5, 17.5, 5.25, 11, 10, 11, 11.37};
constexpr double kRowHeaderWidth = 3.5;
constexpr double kMaxColWidth = 200;
constexpr double kMinFontPoints = 6;
constexpr double kMaxFontPoints = 40;
constexpr double kMaxRowPoints = 100;

bool IsFigure(int column)
{
    return column >= LedgerModel::Slips && column <= LedgerModel::Balance;
}

// A layout file's value as the grid read it: the first nine characters, a number or nothing.
std::optional<double> LayoutValue(QSettings& ini, const QString& section, const QString& key, bool leading)
{
    for (const QString& group : ini.childGroups()) {
        if (group.compare(section, Qt::CaseInsensitive) != 0)
            continue;
        ini.beginGroup(group);
        QString text;
        for (const QString& k : ini.childKeys())
            if (k.compare(key, Qt::CaseInsensitive) == 0)
                text = ini.value(k).toString().left(9).trimmed();
        ini.endGroup();
        bool ok = false;
        const double v = text.toDouble(&ok);
        if (!ok && leading) // "12pt" and the like count by their leading number
            return leadingNumber(text) > 0 ? std::optional<double>(leadingNumber(text)) : std::nullopt;
        if (!ok)
            return std::nullopt;
        return std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
    }
    return std::nullopt;
}
} // namespace

// Every cell is typed into a line editor; figures take only what a number may hold.
class LedgerCellDelegate : public QStyledItemDelegate {
public:
    explicit LedgerCellDelegate(LedgerView* view) : QStyledItemDelegate(view), m_view(view) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override
    {
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        editor->setAlignment(Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt()));
        if (IsFigure(index.column()))
            editor->setValidator(
                new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?[0-9,]*(\\.[0-9]*)?")), editor));
        m_view->m_editor = editor;
        m_view->m_editIndex = index;
        m_view->m_editStart = index.data(Qt::EditRole).toString();
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        static_cast<QLineEdit*>(editor)->setText(index.data(Qt::EditRole).toString());
    }

    // The window stores what was typed (LedgerView::edited), not the delegate.
    void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}

private:
    LedgerView* m_view;
};

LedgerView::LedgerView(QWidget* parent) : QTableView(parent)
{
    setObjectName(QStringLiteral("spList"));
    setItemDelegate(new LedgerCellDelegate(this));
    setEditTriggers(DoubleClicked | EditKeyPressed | AnyKeyPressed);
    setSelectionMode(ContiguousSelection);
    setSelectionBehavior(SelectItems);
    setAlternatingRowColors(true);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setVerticalScrollMode(ScrollPerPixel);
    setHorizontalScrollMode(ScrollPerPixel);
    QPalette p = palette();
    p.setColor(QPalette::Base, SpreadOddBackColor());
    p.setColor(QPalette::AlternateBase, SpreadEvenBackColor());
    p.setColor(QPalette::Highlight, SpreadSelBackColor());
    p.setColor(QPalette::HighlightedText, QColor(0, 0, 0));
    setPalette(p);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    for (double w : kWidths)
        m_widths << w;
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int size) {
        if (m_settingWidths || column < 0 || column >= m_widths.size())
            return;
        // Dragged by the user: kept in the grid's unit, to two decimals.
        const double cw = QFontMetricsF(font()).horizontalAdvance(QLatin1Char('0'));
        m_widths[column] = std::ceil(std::max(0.0, (size - 4) / cw) * 100.0) / 100.0;
        Q_EMIT columnWidthChanged(column);
    });
}

void LedgerView::setLedgerModel(LedgerModel* model)
{
    m_model = model;
    setModel(model);
    connect(model, &QAbstractItemModel::modelReset, this, &LedgerView::fitRowNumbers);
    connect(model, &QAbstractItemModel::rowsInserted, this, &LedgerView::fitRowNumbers);
    // A click on a title sorts by it; the model keeps the first and last rows and the balances.
    horizontalHeader()->setSortIndicator(LedgerModel::Date, Qt::AscendingOrder);
    setSortingEnabled(true);
    horizontalHeader()->setSortIndicatorShown(false);
    applyWidths();
    setRowPoints(m_rowPoints);
}

int LedgerView::LayoutNumber(int column)
{
    // The grid had the key in 1 and the card code in 3.
    static const int numbers[LedgerModel::ColumnCount] = {2, 4, 5, 6, 7, 8, 9};
    return column >= 0 && column < LedgerModel::ColumnCount ? numbers[column] : -1;
}

double LedgerView::colWidth(int column) const
{
    return column >= 0 && column < m_widths.size() ? m_widths[column] : 0;
}

int LedgerView::widthPixels(double width) const
{
    if (width <= 0)
        return 0;
    const double cw = QFontMetricsF(font()).horizontalAdvance(QLatin1Char('0'));
    return int(std::lround(width * cw + 4));
}

void LedgerView::setColWidth(int column, double width)
{
    if (column < 0 || column >= m_widths.size())
        return;
    m_widths[column] = qBound(0.0, width, kMaxColWidth);
    applyWidths();
}

void LedgerView::applyWidths()
{
    m_settingWidths = true;
    for (int c = 0; c < m_widths.size() && c < horizontalHeader()->count(); ++c)
        horizontalHeader()->resizeSection(c, widthPixels(m_widths[c]));
    fitRowNumbers();
    m_settingWidths = false;
}

void LedgerView::fitRowNumbers()
{
    // The row numbers' column is as wide as the grid made it, or as the last number needs.
    const int rows = model() ? model()->rowCount() : 0;
    const int needed = QFontMetrics(verticalHeader()->font()).horizontalAdvance(QString::number(rows)) + 8;
    const int width = std::max(widthPixels(kRowHeaderWidth), needed);
    if (verticalHeader()->width() != width)
        verticalHeader()->setFixedWidth(width);
}

void LedgerView::loadLayout(const QString& path)
{
    if (!QFileInfo::exists(path))
        return;
    QSettings ini(path, QSettings::IniFormat);
    const QString widths = objectName() + QStringLiteral("_ColsWidth");
    for (int c = 0; c < LedgerModel::ColumnCount; ++c)
        if (const auto v = LayoutValue(ini, widths, QString::number(LayoutNumber(c)), false); v && *v >= 0)
            m_widths[c] = qMin(*v, kMaxColWidth);
    const QString general = objectName() + QStringLiteral("_General");
    if (const auto font = LayoutValue(ini, general, QStringLiteral("FontSize"), true); font && *font > 0)
        setFontPoints(qBound(kMinFontPoints, *font, kMaxFontPoints));
    if (const auto rows = LayoutValue(ini, general, QStringLiteral("RowHeight"), true); rows && *rows > 0)
        setRowPoints(qMin(*rows, kMaxRowPoints));
    applyWidths();
}

double LedgerView::fontPoints() const
{
    return font().pointSizeF();
}

void LedgerView::setFontPoints(double points)
{
    QFont f = font();
    f.setPointSizeF(points);
    setFont(f);
    // The titles keep their size, as in the grid.
    QFont title = horizontalHeader()->font();
    title.setPointSizeF(10);
    horizontalHeader()->setFont(title);
    applyWidths();
    setRowPoints(m_rowPoints);
}

void LedgerView::setRowPoints(double points)
{
    m_rowPoints = points;
    const double dpi = logicalDpiY() > 0 ? logicalDpiY() : 96;
    const int px = points > 0 ? std::max(1, int(std::lround(points * dpi / 72.0))) : 0;
    // A row holds at least one line of the cells' font and a little air.
    verticalHeader()->setDefaultSectionSize(std::max(px, QFontMetrics(font()).lineSpacing() + 2));
    verticalHeader()->setMinimumSectionSize(1);
}

void LedgerView::setActiveCell(int row, int column)
{
    if (!m_model)
        return;
    const QModelIndex index = m_model->index(qBound(0, row, m_model->rowCount() - 1), column);
    setCurrentIndex(index);
    scrollTo(index);
}

bool LedgerView::isEditing() const
{
    return state() == EditingState && m_editor;
}

QLineEdit* LedgerView::cellEditor() const
{
    return m_editor;
}

bool LedgerView::beginEdit()
{
    return edit(currentIndex(), AllEditTriggers, nullptr);
}

void LedgerView::endEdit(bool commit)
{
    if (!m_editor)
        return;
    QLineEdit* editor = m_editor;
    if (commit)
        commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

bool LedgerView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    const bool wasEditing = isEditing();
    const bool opened = QTableView::edit(index, trigger, event);
    if (opened && m_editor && !wasEditing)
        Q_EMIT editStarted(index.row(), index.column());
    return opened;
}

void LedgerView::commitData(QWidget* editor)
{
    // Kept until the editor is gone: checking and storing may ask the user.
    if (editor == m_editor) {
        m_pending = true;
        m_pendingText = m_editor->text();
    }
}

void LedgerView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint)
{
    const bool pending = m_pending && editor == m_editor;
    const QModelIndex index = m_editIndex;
    const QString text = m_pendingText;
    const bool changed = text != m_editStart;
    m_pending = false;
    if (editor == m_editor)
        m_editor = nullptr;
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    if (pending && index.isValid())
        Q_EMIT edited(index.row(), index.column(), text, changed);
}

QModelIndex LedgerView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex to = QTableView::moveCursor(action, modifiers);
    // The keyboard starts a new entry at its card company.
    if (m_model && to.isValid() && to.row() == m_model->entryRow() && currentIndex().row() != to.row() &&
        to.column() != LedgerModel::CardName)
        return m_model->index(to.row(), LedgerModel::CardName);
    return to;
}

void LedgerView::mousePressEvent(QMouseEvent* e)
{
    // The grid menu comes with the right button's press, as in the grid.
    if (e->button() == Qt::RightButton) {
        e->accept();
        Q_EMIT contextMenuAsked();
        return;
    }
    const QModelIndex at = indexAt(e->position().toPoint());
    // A click reaches the new entry's date or card company; elsewhere in that row, its card company.
    if (m_model && e->button() == Qt::LeftButton && at.row() == m_model->entryRow() &&
        currentIndex().row() != at.row() && at.column() != LedgerModel::Date && at.column() != LedgerModel::CardName) {
        setActiveCell(at.row(), LedgerModel::CardName);
        return;
    }
    QTableView::mousePressEvent(e);
}

void LedgerView::keyPressEvent(QKeyEvent* e)
{
    if (e->matches(QKeySequence::Copy)) {
        copySelection();
        return;
    }
    // Backspace empties the cell in its editor, as a spreadsheet does.
    if (e->key() == Qt::Key_Backspace && state() != EditingState && e->modifiers() == Qt::NoModifier) {
        if (beginEdit() && m_editor) {
            m_editor->clear();
            return;
        }
    }
    QTableView::keyPressEvent(e);
}

void LedgerView::contextMenuEvent(QContextMenuEvent* e)
{
    e->accept(); // the press has shown the menu already
}

void LedgerView::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    if (dy != 0)
        fitShownFigures();
}

void LedgerView::copySelection() const
{
    const QModelIndexList cells = selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList();
    const QModelIndexList chosen =
        cells.isEmpty() && currentIndex().isValid() ? QModelIndexList{currentIndex()} : cells;
    if (chosen.isEmpty())
        return;
    int top = chosen[0].row(), bottom = top, left = chosen[0].column(), right = left;
    for (const QModelIndex& i : chosen) {
        top = std::min(top, i.row());
        bottom = std::max(bottom, i.row());
        left = std::min(left, i.column());
        right = std::max(right, i.column());
    }
    // Tab-separated lines of what the cells show, as a spreadsheet copies.
    QStringList lines;
    for (int r = top; r <= bottom; ++r) {
        QStringList fields;
        for (int c = left; c <= right; ++c)
            fields << model()->index(r, c).data(Qt::DisplayRole).toString();
        lines << fields.join(QLatin1Char('\t'));
    }
    QApplication::clipboard()->setText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

void LedgerView::fitShownFigures(const QStringList& totals)
{
    if (!m_model || m_model->rowCount() == 0)
        return;
    // Only the rows on screen are measured, never the whole column.
    const int first = std::max(0, rowAt(0));
    int last = rowAt(viewport()->height() - 1);
    if (last < 0)
        last = m_model->rowCount() - 1;
    const QFontMetrics fm(font());
    for (int c = LedgerModel::Slips; c <= LedgerModel::Balance; ++c) {
        int widest = c < totals.size() ? fm.horizontalAdvance(totals[c]) : 0;
        for (int r = first; r <= last; ++r)
            widest = std::max(widest, fm.horizontalAdvance(m_model->index(r, c).data().toString()));
        // The cell's margins on both sides.
        const int needed = widest + 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) + 2;
        if (needed > columnWidth(c)) {
            const double cw = QFontMetricsF(font()).horizontalAdvance(QLatin1Char('0'));
            m_widths[c] = std::ceil(std::max(0.0, (needed - 4) / cw) * 100.0) / 100.0;
            m_settingWidths = true;
            horizontalHeader()->resizeSection(c, widthPixels(m_widths[c]));
            m_settingWidths = false;
        }
    }
}

// ---------------------------------------------------------------- totals

namespace {
// One row: the totals label under 일자 and the sums under their columns.
class LedgerTotalsModel : public QAbstractTableModel {
public:
    explicit LedgerTotalsModel(LedgerModel* sheet, QObject* parent) : QAbstractTableModel(parent), m_sheet(sheet)
    {
        const auto all = [this] { Q_EMIT dataChanged(index(0, 0), index(0, LedgerModel::ColumnCount - 1)); };
        connect(sheet, &LedgerModel::totalsChanged, this, all);
        connect(sheet, &QAbstractItemModel::modelReset, this, all);
    }
    int rowCount(const QModelIndex& parent = QModelIndex()) const override { return parent.isValid() ? 0 : 1; }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : LedgerModel::ColumnCount;
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        const int c = index.column();
        if (role == Qt::TextAlignmentRole)
            return c == LedgerModel::Date ? QVariant(Qt::AlignCenter) : QVariant(Qt::AlignRight | Qt::AlignVCenter);
        if (role == Qt::BackgroundRole)
            return SpreadTotalBackColor();
        if (role != Qt::DisplayRole && role != Qt::EditRole)
            return QVariant();
        if (c == LedgerModel::Date)
            return SpreadTotalLabel();
        const std::optional<LedgerTotals> t = m_sheet->totals();
        if (!t || c < LedgerModel::Slips || c > LedgerModel::BillColl)
            return QVariant();
        if (c == LedgerModel::Slips)
            return role == Qt::DisplayRole ? QLocale::system().toString(t->slips) : QString::number(t->slips);
        const Money& m = c == LedgerModel::Sale ? t->sale : c == LedgerModel::Fee ? t->fee : t->billcoll;
        return role == Qt::DisplayRole ? m.toDisplayString(0) : m.toPlainString();
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        return orientation == Qt::Vertical && role == Qt::DisplayRole
                   ? QVariant(QStringLiteral(" "))
                   : QAbstractTableModel::headerData(section, orientation, role);
    }

private:
    LedgerModel* m_sheet;
};
} // namespace

LedgerTotalsView::LedgerTotalsView(LedgerView* sheet, QWidget* parent) : QTableView(parent), m_sheet(sheet)
{
    setObjectName(QStringLiteral("spTotal"));
    setModel(new LedgerTotalsModel(sheet->ledgerModel(), this));
    setEditTriggers(NoEditTriggers);
    setSelectionMode(NoSelection);
    setFocusPolicy(Qt::NoFocus);
    setTextElideMode(Qt::ElideNone);
    horizontalHeader()->hide();
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollMode(ScrollPerPixel);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QPalette p = palette();
    p.setColor(QPalette::Base, SpreadTotalBackColor());
    setPalette(p);
    connect(sheet->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int size) { setColumnWidth(column, size); });
    // The strip scrolls sideways with the sheet so that its sums stay under their columns.
    QScrollBar* from = sheet->horizontalScrollBar();
    QScrollBar* to = horizontalScrollBar();
    const auto scroll = [from, to] {
        if (to->maximum() < from->maximum())
            to->setMaximum(from->maximum());
        to->setValue(from->value());
    };
    connect(from, &QScrollBar::valueChanged, to, scroll);
    connect(from, &QScrollBar::rangeChanged, to, scroll);
    connect(to, &QScrollBar::rangeChanged, to, scroll);
    follow();
}

QString LedgerTotalsView::text(int column) const
{
    return model()->index(0, column).data(Qt::EditRole).toString();
}

QString LedgerTotalsView::displayText(int column) const
{
    return model()->index(0, column).data(Qt::DisplayRole).toString();
}

void LedgerTotalsView::follow()
{
    // Only what changed is set: this runs after every stored edit.
    if (font() != m_sheet->font())
        setFont(m_sheet->font());
    for (int c = 0; c < model()->columnCount(); ++c)
        if (columnWidth(c) != m_sheet->columnWidth(c))
            setColumnWidth(c, m_sheet->columnWidth(c));
    if (verticalHeader()->width() != m_sheet->verticalHeader()->width())
        verticalHeader()->setFixedWidth(m_sheet->verticalHeader()->width());
    if (verticalHeader()->defaultSectionSize() != m_sheet->verticalHeader()->defaultSectionSize())
        verticalHeader()->setDefaultSectionSize(m_sheet->verticalHeader()->defaultSectionSize());
    const int height = verticalHeader()->defaultSectionSize() + 2 * frameWidth();
    if (this->height() != height || minimumHeight() != height)
        setFixedHeight(height);
}
