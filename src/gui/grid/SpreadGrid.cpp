#include "gui/grid/SpreadGrid.h"

#include "gui/grid/SpreadModel.h"
#include "gui/grid/Twips.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QValidator>
#include <cmath>
#include <limits>
#include <map>

namespace {
constexpr double kDefaultColWidth = 8.0;    // character units
constexpr double kDefaultRowHeight = 12.75; // points
constexpr double kDefaultHeaderHeight = 14.75;
constexpr double kDefaultRowHeaderWidth = 4.0;

// Row -1000 is the first column-header row, the same as row 0.
int headerIndex(int row)
{
    if (row == 0)
        return 0;
    return row >= -1000 && row < -1 ? row + 1000 : -1;
}

bool isHeaderRow(int row)
{
    return headerIndex(row) >= 0;
}

int normRow(int row)
{
    return row == -1000 ? 0 : row;
}

// The characters a number can be typed with; an input method's commit keeps only these.
QString numberChars(const QString& text)
{
    QString kept;
    for (const QChar c : text)
        if ((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-') || c == QLatin1Char(',') ||
            c == QLatin1Char('.'))
            kept += c;
    return kept;
}

// The editor of a number cell lets through only what can become a number;
// the range is judged when the edit ends.
class NumberValidator : public QValidator {
public:
    NumberValidator(SpreadGrid::CellType type, const SpreadGrid::NumberFormat& format, QObject* parent)
        : QValidator(parent), m_type(type), m_format(format)
    {
    }

    State validate(QString& input, int&) const override
    {
        switch (SpreadGrid::checkNumberText(input, m_type, m_format)) {
        case SpreadGrid::NumberText::Accepted:
            return Acceptable;
        case SpreadGrid::NumberText::Partial:
            return Intermediate;
        case SpreadGrid::NumberText::Refused:
            break;
        }
        return Invalid;
    }

private:
    SpreadGrid::CellType m_type;
    SpreadGrid::NumberFormat m_format;
};

bool isNumberEditor(QObject* object)
{
    auto* e = qobject_cast<QLineEdit*>(object);
    return e && dynamic_cast<const NumberValidator*>(e->validator());
}

// Hangul (or any) composition never reaches a number editor: the preedit is
// dropped and a commit keeps only number characters.
bool filterNumberInput(QObject* editor, QInputMethodEvent* event)
{
    const QString kept = numberChars(event->commitString());
    if (kept == event->commitString() && event->preeditString().isEmpty())
        return false;
    QInputMethodEvent clean;
    clean.setCommitString(kept);
    QCoreApplication::sendEvent(editor, &clean);
    return true;
}
} // namespace

// Creates the line editors and routes their keys through the grid first.
class SpreadDelegate : public QStyledItemDelegate {
public:
    SpreadDelegate(SpreadGrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override
    {
        auto* e = new QLineEdit(parent);
        e->setObjectName(QStringLiteral("spreadCellEditor"));
        e->setFrame(false);
        const int maxLen = m_grid->spreadModel()->maxLength.value(index.column() + 1, index.row() + 1, 0);
        if (maxLen > 0)
            e->setMaxLength(maxLen);
        e->setAlignment(m_grid->spreadModel()->alignment(index.column() + 1, index.row() + 1));
        e->setFont(m_grid->spreadModel()->cellFont(index.column() + 1, index.row() + 1));
        if (m_grid->spreadModel()->isNumericType(index.column() + 1, index.row() + 1))
            m_grid->numberEditorSetUp(e, index.column() + 1, index.row() + 1);
        return e;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        if (auto* e = qobject_cast<QLineEdit*>(editor))
            e->setText(index.data(Qt::EditRole).toString());
    }

    // The grid stores the text itself when the edit ends.
    void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}

protected:
    // A figure is never shortened with "…": its column widens instead (auto fit).
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (m_grid->spreadModel()->isNumericType(index.column() + 1, index.row() + 1))
            option->textElideMode = Qt::ElideNone;
    }

    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::InputMethod && isNumberEditor(object))
            return filterNumberInput(object, static_cast<QInputMethodEvent*>(event));
        if (event->type() == QEvent::KeyPress) {
            if (m_grid->editorKeyPress(static_cast<QKeyEvent*>(event)))
                return true;
            return false; // the line edit takes it
        }
        if (event->type() == QEvent::FocusOut) {
            m_grid->editorFocusLost();
            return false;
        }
        if (event->type() == QEvent::ShortcutOverride)
            return QStyledItemDelegate::eventFilter(object, event);
        return false;
    }

private:
    SpreadGrid* m_grid;
};

struct SpreadGrid::Private {
    SpreadModel* model = nullptr;
    SpreadDelegate* delegate = nullptr;
    OperationMode opMode = OperationMode::Normal;
    bool editPermanent = false;
    bool editReplace = false;
    bool tabLeaves = false;
    bool userSort = false;
    bool redraw = true;
    int unitType = kUnitChars;
    QColor selBack = QColor(0, 0, 128);

    double defaultColWidth = kDefaultColWidth;
    double rowHeaderWidth = kDefaultRowHeaderWidth;
    QHash<int, double> colWidths;
    double defaultRowHeight = kDefaultRowHeight;
    double headerRowHeight = kDefaultHeaderHeight;
    QHash<int, double> rowHeights;
    QHash<int, QString> colIds;

    int activeCol = 1;
    int activeRow = 1;

    QPointer<QLineEdit> editor;
    int editCol = 0;
    int editRow = 0;
    QString editOld;
    bool closingEditor = false;
    bool forwardingKey = false;
    bool destroying = false;

    bool settingSize = false;
    bool autoFit = true;
    // Per column (index col): the rows whose figures were written while redraw was off (first 0: none).
    std::vector<std::pair<int, int>> fitPending;
    bool fitShownOnly = false;
    // Per column: rows written under fitShownOnly, fitted as they come on screen (first 0: none).
    std::vector<std::pair<int, int>> fitLater;
    int resizedFirst = 0;
    int resizedLast = 0;

    int sortCol = 0;
    Qt::SortOrder sortOrder = Qt::AscendingOrder;
};

SpreadGrid::SpreadGrid(QWidget* parent) : QTableView(parent), d(std::make_unique<Private>())
{
    d->model = new SpreadModel(this);
    d->model->baseFont = font();
    setModel(d->model);
    d->delegate = new SpreadDelegate(this);
    setItemDelegate(d->delegate);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection); // block selection is never offered
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSortingEnabled(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setUpHeaders();

    d->model->setValueListener([this](int col, int row) {
        noteFit(col, row, row);
        if (!signalsBlocked())
            Q_EMIT valueChanged(col, row);
    });
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int logical, int, int newSize) { headerSectionResized(logical, newSize); });
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &SpreadGrid::headerSectionClicked);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { fitShownRows(); });
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, [this] { fitShownRows(); });
}

void SpreadGrid::setUpHeaders()
{
    QHeaderView* hh = horizontalHeader();
    hh->setMinimumSectionSize(0);
    hh->setSectionsClickable(true);
    hh->setHighlightSections(false);
    hh->setSectionResizeMode(QHeaderView::Interactive);
    hh->viewport()->installEventFilter(this);
    QHeaderView* vh = verticalHeader();
    vh->setMinimumSectionSize(1);
    vh->setSectionResizeMode(QHeaderView::Fixed);
    vh->setHighlightSections(false);
    vh->setDefaultAlignment(Qt::AlignCenter);

    d->settingSize = true;
    hh->setDefaultSectionSize(colWidthPixels(d->defaultColWidth));
    vh->setDefaultSectionSize(rowHeightPixels(d->defaultRowHeight, true));
    hh->setFixedHeight(rowHeightPixels(d->headerRowHeight));
    vh->setFixedWidth(colWidthPixels(d->rowHeaderWidth, true));
    d->settingSize = false;
}

void SpreadGrid::headerSectionResized(int logical, int newSize)
{
    if (d->settingSize)
        return;
    // The user drags a width: keep it in the grid's unit.
    const int col = logical + 1;
    double w;
    if (d->unitType == kUnitTwips) {
        w = PixelsToTwipsX(newSize);
    } else {
        const double cw = QFontMetricsF(unitFont(false)).horizontalAdvance(QLatin1Char('0'));
        w = newSize <= 0 ? 0.0 : std::max(0.0, (newSize - 4) / cw);
        w = std::round(w * 100.0) / 100.0;
    }
    d->colWidths.insert(col, w);
    d->resizedFirst = d->resizedFirst == 0 ? col : std::min(d->resizedFirst, col);
    d->resizedLast = std::max(d->resizedLast, col);
    Q_EMIT sizesChanged();
}

void SpreadGrid::headerSectionClicked(int logical)
{
    if (!d->userSort)
        return;
    const int col = logical + 1;
    endEdit(true);
    d->sortOrder = (d->sortCol == col && d->sortOrder == Qt::AscendingOrder) ? Qt::DescendingOrder : Qt::AscendingOrder;
    d->sortCol = col;
    bool handled = false;
    Q_EMIT sortRequested(col, d->sortOrder, &handled);
    if (!handled)
        sortRows(col, d->sortOrder, 1, maxRows());
    horizontalHeader()->setSortIndicatorShown(true);
    horizontalHeader()->setSortIndicator(logical, d->sortOrder);
}

SpreadGrid::~SpreadGrid()
{
    // The model outlives this body (it is a child): it must not call back.
    d->model->setValueListener({});
    // An edit still open when the grid goes away is dropped quietly: no
    // handler may run on a window that is being destroyed.
    d->destroying = true;
    if (d->editor) {
        d->editor->removeEventFilter(d->delegate);
        delete d->editor.data();
    }
}

SpreadModel* SpreadGrid::spreadModel() const
{
    return d->model;
}

// --- structure

int SpreadGrid::maxRows() const
{
    return d->model->maxRows();
}

void SpreadGrid::setMaxRows(int rows)
{
    if (isEditing() && d->editRow > rows)
        endEdit(false);
    d->model->setMaxRows(rows);
    if (rows == 0)
        d->fitLater.clear(); // a sheet filled anew is fitted whole
    d->rowHeights.removeIf([rows](const auto& it) { return it.key() > rows; });
    fitRowHeader();
}

int SpreadGrid::maxCols() const
{
    return d->model->maxCols();
}

void SpreadGrid::setMaxCols(int cols)
{
    if (isEditing() && d->editCol > cols)
        endEdit(false);
    const int old = d->model->maxCols();
    d->model->setMaxCols(cols);
    for (int c = old + 1; c <= cols; ++c)
        if (d->colWidths.contains(c))
            applyColWidth(c);
}

void SpreadGrid::insertRows(int row, int count)
{
    endEdit(true);
    rowsMovedWhileFitPending();
    d->model->insertGridRows(row, count);
}

void SpreadGrid::deleteRows(int row, int count)
{
    endEdit(true);
    rowsMovedWhileFitPending();
    d->model->deleteGridRows(row, count);
}

int SpreadGrid::dataRowCnt() const
{
    return d->model->dataRowCnt();
}

int SpreadGrid::colHeaderRows() const
{
    return d->model->colHeaderRows();
}

void SpreadGrid::setColHeaderRows(int rows)
{
    d->model->setColHeaderRows(rows);
    d->settingSize = true;
    horizontalHeader()->setFixedHeight(rowHeightPixels(d->headerRowHeight) * d->model->colHeaderRows());
    d->settingSize = false;
    Q_EMIT sizesChanged();
}

bool SpreadGrid::rowHeadersShow() const
{
    return !verticalHeader()->isHidden();
}

void SpreadGrid::setRowHeadersShow(bool show)
{
    verticalHeader()->setVisible(show);
    fitRowHeader();
    Q_EMIT sizesChanged();
}

// --- values

void SpreadGrid::setText(int col, int row, const QString& value)
{
    if (col == -1 || row == -1) {
        const int c1 = col == -1 ? 1 : col, c2 = col == -1 ? maxCols() : col;
        const int r1 = row == -1 ? 1 : row, r2 = row == -1 ? maxRows() : row;
        for (int c = c1; c <= c2; ++c)
            for (int r = r1; r <= r2; ++r)
                setText(c, r, value);
        return;
    }
    if (isHeaderRow(row)) {
        setHeaderText(col, value, headerIndex(row));
        return;
    }
    if (col == 0) {
        d->model->setRowHeaderText(row, value);
        return;
    }
    if (isEditing() && col == d->editCol && row == d->editRow && d->editor)
        d->editor->setText(value);
    d->model->setValue(col, row, value);
}

void SpreadGrid::setNumber(int col, int row, Money value)
{
    if (col < 1 || row < 1 || (isEditing() && col == d->editCol && row == d->editRow)) {
        setText(col, row, value.toPlainString());
        return;
    }
    d->model->setNumber(col, row, value);
}

bool SpreadGrid::getText(int col, int row, QString* value) const
{
    const QString t = text(col, row);
    if (value)
        *value = t;
    if (isHeaderRow(row) || col == 0)
        return !t.isEmpty();
    return d->model->hasValue(col, row);
}

QString SpreadGrid::text(int col, int row) const
{
    if (isHeaderRow(row))
        return headerText(col, headerIndex(row));
    if (col == 0)
        return d->model->rowHeaderText(row);
    return d->model->value(col, row);
}

std::optional<Money> SpreadGrid::number(int col, int row) const
{
    if (isHeaderRow(row) || col == 0)
        return Money::parse(text(col, row));
    return d->model->numericValue(col, row);
}

QString SpreadGrid::displayText(int col, int row) const
{
    if (isHeaderRow(row) || col == 0)
        return text(col, row);
    return d->model->displayText(col, row);
}

void SpreadGrid::setFormula(int col, int row, const QString& formula)
{
    if (col == -1 || row == -1) {
        if (formula.trimmed().isEmpty()) {
            const int c1 = col == -1 ? 1 : col, c2 = col == -1 ? maxCols() : col;
            if (row == -1) {
                for (int c = c1; c <= c2; ++c)
                    d->model->clearFormulasInColumn(c);
                return;
            }
            for (int c = c1; c <= c2; ++c)
                d->model->setFormula(c, row, QString());
            return;
        }
        const int c1 = col == -1 ? 1 : col, c2 = col == -1 ? maxCols() : col;
        const int r1 = row == -1 ? 1 : row, r2 = row == -1 ? maxRows() : row;
        for (int c = c1; c <= c2; ++c)
            for (int r = r1; r <= r2; ++r)
                d->model->setFormula(c, r, formula);
        return;
    }
    d->model->setFormula(col, row, formula);
}

QString SpreadGrid::formula(int col, int row) const
{
    return d->model->formula(col, row);
}

void SpreadGrid::setHeaderText(int col, const QString& text, int headerRow)
{
    if (col == -1) {
        for (int c = 1; c <= maxCols(); ++c)
            d->model->setHeaderText(c, headerRow, text);
        return;
    }
    d->model->setHeaderText(col, headerRow, text);
}

QString SpreadGrid::headerText(int col, int headerRow) const
{
    return d->model->headerText(col, headerRow);
}

void SpreadGrid::setColId(int col, const QString& id)
{
    d->colIds.insert(col, id);
}

QString SpreadGrid::colId(int col) const
{
    return d->colIds.value(col);
}

int SpreadGrid::colById(const QString& id) const
{
    for (auto it = d->colIds.cbegin(); it != d->colIds.cend(); ++it)
        if (it.value().compare(id, Qt::CaseInsensitive) == 0 && !id.isEmpty())
            return it.key();
    return 0;
}

// --- cell types and formats

void SpreadGrid::touch(int col, int row)
{
    if (!d->redraw)
        return;
    SpreadModel* m = d->model;
    if (m->maxRows() == 0 || m->maxCols() == 0) {
        viewport()->update();
        return;
    }
    if (row == 0 || isHeaderRow(row)) {
        Q_EMIT m->headerDataChanged(Qt::Horizontal, 0, m->maxCols() - 1);
        return;
    }
    const int r1 = row == -1 ? 0 : std::min(row, m->maxRows()) - 1;
    const int r2 = row == -1 ? m->maxRows() - 1 : std::min(row, m->maxRows()) - 1;
    const int c1 = col <= 0 ? 0 : std::min(col, m->maxCols()) - 1;
    const int c2 = col <= 0 ? m->maxCols() - 1 : std::min(col, m->maxCols()) - 1;
    if (r1 < 0 || c1 < 0)
        return;
    Q_EMIT m->dataChanged(m->index(r1, c1), m->index(r2, c2));
    if (row == -1)
        Q_EMIT m->headerDataChanged(Qt::Horizontal, c1, c2);
}

void SpreadGrid::setCellType(int col, int row, CellType type, const NumberFormat& format)
{
    row = normRow(row);
    d->model->type.set(col, row, SpreadModel::TypeInfo{type, format}, d->model->nextStamp());
    touch(col, row);
    if (row != 0)
        noteFit(col, row == -1 ? 1 : row, row == -1 ? maxRows() : row);
}

SpreadGrid::CellType SpreadGrid::cellType(int col, int row) const
{
    return d->model->type.value(col, normRow(row), SpreadModel::TypeInfo{}).type;
}

SpreadGrid::NumberFormat SpreadGrid::numberFormat(int col, int row) const
{
    return d->model->type.value(col, normRow(row), SpreadModel::TypeInfo{}).format;
}

void SpreadGrid::setTypeMaxLength(int col, int row, int maxLength)
{
    d->model->maxLength.set(col, normRow(row), maxLength, d->model->nextStamp());
}

void SpreadGrid::setTypeHAlign(int col, int row, Qt::Alignment align)
{
    row = normRow(row);
    d->model->hAlign.set(col, row, int(align & Qt::AlignHorizontal_Mask), d->model->nextStamp());
    touch(col, row);
}

void SpreadGrid::setTypeVAlign(int col, int row, Qt::Alignment align)
{
    row = normRow(row);
    d->model->vAlign.set(col, row, int(align & Qt::AlignVertical_Mask), d->model->nextStamp());
    touch(col, row);
}

Qt::Alignment SpreadGrid::alignment(int col, int row) const
{
    return d->model->alignment(col, normRow(row));
}

// --- locks and looks

void SpreadGrid::setLock(int col, int row, bool locked)
{
    row = normRow(row);
    d->model->lock.set(col, row, locked, d->model->nextStamp());
    if (locked && isEditing() && (col == -1 || col == d->editCol) && (row == -1 || row == d->editRow))
        endEdit(true);
}

bool SpreadGrid::isLocked(int col, int row) const
{
    return d->model->lock.value(col, normRow(row), false);
}

void SpreadGrid::setBackColor(int col, int row, const QColor& color)
{
    row = normRow(row);
    d->model->back.set(col, row, color, d->model->nextStamp());
    touch(col, row);
}

void SpreadGrid::setForeColor(int col, int row, const QColor& color)
{
    row = normRow(row);
    d->model->fore.set(col, row, color, d->model->nextStamp());
    touch(col, row);
}

QColor SpreadGrid::backColor(int col, int row) const
{
    return d->model->effectiveBack(col, normRow(row));
}

QColor SpreadGrid::foreColor(int col, int row) const
{
    return d->model->effectiveFore(col, normRow(row));
}

void SpreadGrid::setFontBold(int col, int row, bool bold)
{
    row = normRow(row);
    d->model->bold.set(col, row, bold, d->model->nextStamp());
    touch(col, row);
    if (row != 0)
        noteFit(col, row == -1 ? 1 : row, row == -1 ? maxRows() : row);
}

bool SpreadGrid::fontBold(int col, int row) const
{
    return d->model->bold.value(col, normRow(row), d->model->baseFont.bold());
}

void SpreadGrid::setFontSize(int col, int row, double points)
{
    row = normRow(row);
    d->model->fontSize.set(col, row, points, d->model->nextStamp());
    touch(col, row);
    // A font for all cells is also the grid's unit: every size follows it.
    if (col == -1 && row == -1)
        applyAllSizes();
    if (row != 0)
        noteFit(col, row == -1 ? 1 : row, row == -1 ? maxRows() : row);
}

double SpreadGrid::cellsFontSize() const
{
    const double* s = d->model->fontSize.get(-1, -1);
    return s && *s > 0 ? *s : 0.0;
}

double SpreadGrid::fontSize(int col, int row) const
{
    return d->model->fontSize.value(col, normRow(row), d->model->baseFont.pointSizeF());
}

void SpreadGrid::setOddEvenRowColor(const QColor& oddBack, const QColor& oddFore, const QColor& evenBack,
                                    const QColor& evenFore)
{
    d->model->oddBack = oddBack;
    d->model->oddFore = oddFore;
    d->model->evenBack = evenBack;
    d->model->evenFore = evenFore;
    touch(-1, -1);
}

void SpreadGrid::setSelBackColor(const QColor& color)
{
    d->selBack = color;
    QPalette p = palette();
    p.setColor(QPalette::Active, QPalette::Highlight, color);
    p.setColor(QPalette::Inactive, QPalette::Highlight, color);
    p.setColor(QPalette::Active, QPalette::HighlightedText, Qt::black);
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::black);
    setPalette(p);
}

QColor SpreadGrid::selBackColor() const
{
    return d->selBack;
}

void SpreadGrid::setGrayAreaBackColor(const QColor& color)
{
    QPalette p = viewport()->palette();
    p.setColor(QPalette::Base, color);
    p.setColor(QPalette::Window, color);
    viewport()->setPalette(p);
}

// --- sizes

QFont SpreadGrid::unitFont(bool rowHeader) const
{
    // Row numbers keep the grid's own font; the cells take the size set for all of them.
    QFont f = d->model->baseFont;
    if (const double size = cellsFontSize(); size > 0 && !rowHeader)
        f.setPointSizeF(size);
    return f;
}

int SpreadGrid::colWidthPixels(double width, bool rowHeader) const
{
    if (width <= 0)
        return 0;
    if (d->unitType == kUnitTwips)
        return TwipsToPixelsX(width);
    const double cw = QFontMetricsF(unitFont(rowHeader)).horizontalAdvance(QLatin1Char('0'));
    return int(std::lround(width * cw + 4));
}

// The smallest width (grid unit, two decimals or whole twips) that is at least `pixels` wide.
double SpreadGrid::widthForPixels(int pixels, bool rowHeader) const
{
    if (pixels <= 0)
        return 0;
    const bool twips = d->unitType == kUnitTwips;
    double w;
    if (twips) {
        w = std::ceil(PixelsToTwipsX(pixels));
    } else {
        const double cw = QFontMetricsF(unitFont(rowHeader)).horizontalAdvance(QLatin1Char('0'));
        w = std::ceil(std::max(0.0, (pixels - 4) / cw) * 100.0) / 100.0;
    }
    while (colWidthPixels(w, rowHeader) < pixels)
        w += twips ? 1.0 : 0.01;
    return w;
}

int SpreadGrid::rowHeightPixels(double height, bool dataRow) const
{
    if (height <= 0)
        return 0;
    if (d->unitType == kUnitTwips)
        return TwipsToPixelsY(height);
    const double dpi = logicalDpiY() > 0 ? logicalDpiY() : 96;
    const int px = std::max(1, int(std::lround(height * dpi / 72.0)));
    if (!dataRow)
        return px;
    // A row holds at least one line of the cells' font and a little air.
    return std::max(px, QFontMetrics(unitFont(false)).lineSpacing() + 2);
}

void SpreadGrid::applyColWidth(int col)
{
    d->settingSize = true;
    if (col == 0) {
        verticalHeader()->setFixedWidth(colWidthPixels(d->rowHeaderWidth, true));
        updateGeometries(); // the cells move over at once, not at the next layout pass
    } else if (col <= maxCols()) {
        horizontalHeader()->resizeSection(col - 1, colWidthPixels(colWidth(col)));
    }
    d->settingSize = false;
    Q_EMIT sizesChanged();
}

// Every width and height again in pixels, after the unit (the cells' font) changed.
void SpreadGrid::applyAllSizes()
{
    d->settingSize = true;
    horizontalHeader()->setDefaultSectionSize(colWidthPixels(d->defaultColWidth));
    // Hidden columns keep the size they come back with.
    for (int c = 1; c <= maxCols(); ++c)
        if (!isColumnHidden(c - 1))
            horizontalHeader()->resizeSection(c - 1, colWidthPixels(colWidth(c)));
    verticalHeader()->setFixedWidth(colWidthPixels(d->rowHeaderWidth, true));
    verticalHeader()->setDefaultSectionSize(rowHeightPixels(d->defaultRowHeight, true));
    for (auto it = d->rowHeights.cbegin(); it != d->rowHeights.cend(); ++it)
        if (it.key() <= maxRows())
            verticalHeader()->resizeSection(it.key() - 1, rowHeightPixels(it.value(), true));
    updateGeometries();
    d->settingSize = false;
    Q_EMIT sizesChanged();
}

void SpreadGrid::setColWidth(int col, double width)
{
    if (col == 0) {
        d->rowHeaderWidth = width;
        applyColWidth(0);
        return;
    }
    if (col == -1) {
        d->defaultColWidth = width;
        d->colWidths.clear();
        d->settingSize = true;
        horizontalHeader()->setDefaultSectionSize(colWidthPixels(width));
        d->settingSize = false;
        for (int c = 1; c <= maxCols(); ++c)
            applyColWidth(c);
        return;
    }
    d->colWidths.insert(col, width);
    applyColWidth(col);
}

double SpreadGrid::colWidth(int col) const
{
    if (col == 0)
        return d->rowHeaderWidth;
    return d->colWidths.value(col, d->defaultColWidth);
}

void SpreadGrid::setRowHeight(int row, double points)
{
    row = normRow(row);
    d->settingSize = true;
    if (row == 0) {
        d->headerRowHeight = points;
        horizontalHeader()->setFixedHeight(rowHeightPixels(points) * d->model->colHeaderRows());
    } else if (row == -1) {
        d->defaultRowHeight = points;
        const int px = rowHeightPixels(points, true);
        verticalHeader()->setDefaultSectionSize(px);
        for (auto it = d->rowHeights.cbegin(); it != d->rowHeights.cend(); ++it)
            if (it.key() <= maxRows())
                verticalHeader()->resizeSection(it.key() - 1, px);
        d->rowHeights.clear();
    } else if (row >= 1) {
        d->rowHeights.insert(row, points);
        if (row <= maxRows())
            verticalHeader()->resizeSection(row - 1, rowHeightPixels(points, true));
    }
    d->settingSize = false;
    Q_EMIT sizesChanged();
}

double SpreadGrid::rowHeight(int row) const
{
    row = normRow(row);
    if (row == 0)
        return d->headerRowHeight;
    if (row == -1)
        return d->defaultRowHeight;
    return d->rowHeights.value(row, d->defaultRowHeight);
}

void SpreadGrid::setColHidden(int col, bool hidden)
{
    if (col == 0) {
        setRowHeadersShow(!hidden);
        return;
    }
    if (col == -1) {
        for (int c = 1; c <= maxCols(); ++c)
            setColHidden(c, hidden);
        return;
    }
    setColumnHidden(col - 1, hidden);
    if (!hidden)
        noteFit(col, 1, maxRows()); // figures written while it was hidden
    Q_EMIT sizesChanged();
}

bool SpreadGrid::colHidden(int col) const
{
    if (col == 0)
        return !rowHeadersShow();
    return isColumnHidden(col - 1);
}

void SpreadGrid::setUnitType(int unitType)
{
    d->unitType = unitType;
    if (unitType == kUnitTwips) {
        // Sizes set so far were in the other unit: start from twips defaults.
        d->defaultColWidth = 1200;
        d->defaultRowHeight = 300;
        d->headerRowHeight = 300;
        d->rowHeaderWidth = 600;
    } else {
        d->defaultColWidth = kDefaultColWidth;
        d->defaultRowHeight = kDefaultRowHeight;
        d->headerRowHeight = kDefaultHeaderHeight;
        d->rowHeaderWidth = kDefaultRowHeaderWidth;
    }
    d->colWidths.clear();
    d->rowHeights.clear();
    d->settingSize = true;
    horizontalHeader()->setFixedHeight(rowHeightPixels(d->headerRowHeight) * d->model->colHeaderRows());
    d->settingSize = false;
    applyAllSizes();
}

int SpreadGrid::unitType() const
{
    return d->unitType;
}

// --- fitting

namespace {
// Widths of figures, summed from cached character advances per cell font: a
// sheet of many thousand figures is measured without shaping each one. The
// widest is measured once more as a whole.
class FigureWidths {
public:
    explicit FigureWidths(const SpreadModel* model) : m_model(model) {}

    void add(int col, int row)
    {
        const double* size = m_model->fontSize.get(col, row);
        const bool* bold = m_model->bold.get(col, row);
        const std::pair<double, int> key{size ? *size : 0.0, bold ? int(*bold) : -1};
        auto it = m_faces.find(key);
        if (it == m_faces.end())
            it = m_faces.emplace(key, Face{QFontMetricsF(m_model->cellFont(col, row)), {}}).first;
        const QString text = m_model->displayText(col, row);
        qreal w = 0;
        for (const QChar c : text) {
            auto a = it->second.advances.constFind(c.unicode());
            if (a == it->second.advances.cend())
                a = it->second.advances.insert(c.unicode(), it->second.fm.horizontalAdvance(c));
            w += *a;
        }
        if (w > m_widest) {
            m_widest = w;
            m_text = text;
            m_face = &it->second;
        }
    }

    // The widest text's width in pixels, rounded up; 0 when nothing was added.
    int pixels() const
    {
        if (!m_face)
            return 0;
        return int(std::ceil(std::max(m_widest, m_face->fm.horizontalAdvance(m_text))));
    }

private:
    struct Face {
        QFontMetricsF fm;
        QHash<char16_t, qreal> advances;
    };
    const SpreadModel* m_model;
    std::map<std::pair<double, int>, Face> m_faces;
    qreal m_widest = 0;
    QString m_text;
    const Face* m_face = nullptr;
};
} // namespace

void SpreadGrid::setAutoFit(bool on)
{
    d->autoFit = on;
    if (on)
        noteFit(-1, 1, maxRows());
}

bool SpreadGrid::autoFit() const
{
    return d->autoFit;
}

// The pixels column `col` needs for the widest figure of rows firstRow..lastRow (0: none).
int SpreadGrid::numberPixelsNeeded(int col, int firstRow, int lastRow) const
{
    FigureWidths widths(d->model);
    firstRow = std::max(1, firstRow);
    lastRow = std::min(lastRow, maxRows());
    for (int row = firstRow; row <= lastRow; ++row)
        if (d->model->hasValue(col, row) && d->model->isNumericType(col, row))
            widths.add(col, row);
    const int text = widths.pixels();
    if (text == 0)
        return 0;
    // The cell draws its text inside a margin on either side and a grid line.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    return text + 2 * margin + (showGrid() ? 1 : 0) + 1;
}

double SpreadGrid::numberWidthNeeded(int col) const
{
    if (col < 1 || col > maxCols())
        return 0;
    return widthForPixels(numberPixelsNeeded(col, 1, maxRows()));
}

double SpreadGrid::textWidthNeeded(int col) const
{
    if (col < 1 || col > maxCols())
        return 0;
    FigureWidths widths(d->model);
    for (int row = 1; row <= maxRows(); ++row)
        if (d->model->hasValue(col, row))
            widths.add(col, row);
    int pixels = widths.pixels();
    if (pixels > 0) {
        const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
        pixels += 2 * margin + (showGrid() ? 1 : 0) + 1;
    }
    const QHeaderView* header = horizontalHeader();
    const int headerMargin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const int title = QFontMetrics(header->font()).horizontalAdvance(headerText(col)) + 2 * headerMargin + 2;
    return widthForPixels(std::max(pixels, title));
}

void SpreadGrid::widenTo(int col, int pixels)
{
    if (pixels > colWidthPixels(colWidth(col)))
        setColWidth(col, widthForPixels(pixels));
}

void SpreadGrid::fitNumbers(int col, int firstRow, int lastRow)
{
    if (col < 1 || col > maxCols() || isColumnHidden(col - 1))
        return;
    widenTo(col, numberPixelsNeeded(col, firstRow, lastRow));
}

void SpreadGrid::fitRowHeader()
{
    if (!d->autoFit || verticalHeader()->isHidden())
        return;
    const QString widest = QString::number(std::max(1, maxRows()));
    const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, verticalHeader());
    const int px = QFontMetrics(verticalHeader()->font()).horizontalAdvance(widest) + 2 * margin + 2;
    if (px > colWidthPixels(d->rowHeaderWidth, true))
        setColWidth(0, widthForPixels(px, true));
}

// Figures were written or restyled in rows firstRow..lastRow of `col` (-1: every
// column): fit them now, or once redraw is on again.
void SpreadGrid::noteFit(int col, int firstRow, int lastRow)
{
    if (!d->autoFit || col == 0 || col > maxCols())
        return;
    const int c1 = col == -1 ? 1 : col, c2 = col == -1 ? maxCols() : col;
    if (!d->redraw) {
        if (d->fitPending.size() <= size_t(c2))
            d->fitPending.resize(size_t(c2) + 1, {0, 0});
        for (int c = c1; c <= c2; ++c) {
            auto& [first, last] = d->fitPending[size_t(c)];
            first = first == 0 ? firstRow : std::min(first, firstRow);
            last = std::max(last, lastRow);
        }
        return;
    }
    for (int c = c1; c <= c2; ++c)
        fitNumbers(c, firstRow, lastRow);
}

void SpreadGrid::runPendingFits()
{
    // Only the rows written are measured: an edit that rewrites a few
    // balances does not measure the whole column again.
    std::vector<std::pair<int, int>> pending;
    pending.swap(d->fitPending);
    for (size_t c = 1; c < pending.size(); ++c) {
        if (pending[c].first == 0)
            continue;
        if (!d->fitShownOnly) {
            fitNumbers(int(c), pending[c].first, pending[c].second);
            continue;
        }
        if (d->fitLater.size() <= c)
            d->fitLater.resize(c + 1, {0, 0});
        auto& [first, last] = d->fitLater[c];
        first = first == 0 ? pending[c].first : std::min(first, pending[c].first);
        last = std::max(last, pending[c].second);
    }
    fitShownRows();
}

void SpreadGrid::setFitShownRowsOnly(bool on)
{
    d->fitShownOnly = on;
}

void SpreadGrid::fitShownRows()
{
    if (d->fitLater.empty() || !d->redraw)
        return;
    const int top = rowAt(0) + 1;
    if (top < 1)
        return;
    const int bottomAt = rowAt(viewport()->height() - 1);
    const int bottom = bottomAt < 0 ? maxRows() : bottomAt + 1;
    for (size_t c = 1; c < d->fitLater.size(); ++c) {
        const auto [first, last] = d->fitLater[c];
        if (first > 0 && std::max(first, top) <= std::min(last, bottom))
            fitNumbers(int(c), std::max(first, top), std::min(last, bottom));
    }
}

void SpreadGrid::rowsMovedWhileFitPending()
{
    // Rows that moved take their figures elsewhere: the whole column is measured.
    for (auto* ranges : {&d->fitPending, &d->fitLater})
        for (auto& range : *ranges)
            if (range.first > 0)
                range = {1, std::numeric_limits<int>::max()};
}

// --- the active cell

int SpreadGrid::activeCol() const
{
    return d->activeCol;
}

int SpreadGrid::activeRow() const
{
    return d->activeRow;
}

void SpreadGrid::setActiveCell(int col, int row)
{
    if (isEditing() && (col != d->editCol || row != d->editRow))
        endEdit(true);
    if (col < 1 || row < 1 || col > maxCols() || row > maxRows()) {
        d->activeCol = std::max(0, col);
        d->activeRow = std::max(0, row);
        if (col < 1 || row < 1)
            selectionModel()->clearCurrentIndex();
        return;
    }
    const QModelIndex idx = d->model->index(row - 1, col - 1);
    QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
    if (selectionBehavior() == QAbstractItemView::SelectRows)
        flags |= QItemSelectionModel::Rows;
    selectionModel()->setCurrentIndex(idx, flags);
    d->activeCol = col;
    d->activeRow = row;
    if (d->redraw)
        scrollTo(idx);
}

void SpreadGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (current.isValid()) {
        d->activeCol = current.column() + 1;
        d->activeRow = current.row() + 1;
    }
    // The input method learns whether the new cell takes numbers only.
    if (hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImHints);
}

// --- painting

void SpreadGrid::setReDraw(bool on)
{
    if (on == d->redraw)
        return;
    d->redraw = on;
    d->model->setNotify(on);
    viewport()->setUpdatesEnabled(on);
    if (on) {
        runPendingFits();
        d->model->touchAll();
        viewport()->update();
    }
}

bool SpreadGrid::reDraw() const
{
    return d->redraw;
}

void SpreadGrid::refresh()
{
    if (!d->redraw)
        return;
    d->model->touchAll();
    viewport()->update();
}

// --- behaviour switches

void SpreadGrid::setOperationMode(OperationMode mode)
{
    d->opMode = mode;
    if (mode != OperationMode::Normal)
        endEdit(true);
    const bool rows = mode == OperationMode::RowMode || mode == OperationMode::SingleSelect;
    setSelectionBehavior(rows ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    d->model->readOnlyView = mode != OperationMode::Normal;
    if (currentIndex().isValid()) {
        QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
        if (rows)
            flags |= QItemSelectionModel::Rows;
        selectionModel()->select(currentIndex(), flags);
    }
}

SpreadGrid::OperationMode SpreadGrid::operationMode() const
{
    return d->opMode;
}

void SpreadGrid::setEditModePermanent(bool on)
{
    d->editPermanent = on;
}

void SpreadGrid::setEditModeReplace(bool on)
{
    d->editReplace = on;
}

void SpreadGrid::setTabLeavesGrid(bool on)
{
    d->tabLeaves = on;
}

void SpreadGrid::setUserColActionSort(bool on)
{
    d->userSort = on;
}

bool SpreadGrid::userColActionSort() const
{
    return d->userSort;
}

int SpreadGrid::twipsToPixelsX(double twips) const
{
    return TwipsToPixelsX(twips);
}

void SpreadGrid::sortRows(int col, Qt::SortOrder order, int firstRow, int lastRow)
{
    endEdit(true);
    rowsMovedWhileFitPending();
    d->model->sortRows(col, order, firstRow, lastRow);
}

// --- editing

bool SpreadGrid::isEditing() const
{
    return !d->editor.isNull();
}

QLineEdit* SpreadGrid::cellEditor() const
{
    return d->editor.data();
}

bool SpreadGrid::beginEdit(const QString* replaceWith)
{
    if (isEditing())
        return true;
    const QModelIndex idx = currentIndex();
    if (!idx.isValid() || d->opMode != OperationMode::Normal)
        return false;
    const int col = idx.column() + 1, row = idx.row() + 1;
    if (!d->model->isEditable(col, row))
        return false;
    d->editCol = col;
    d->editRow = row;
    d->editOld = d->model->value(col, row);
    if (!QTableView::edit(idx, QAbstractItemView::AllEditTriggers, nullptr))
        return false;
    d->editor = qobject_cast<QLineEdit*>(indexWidget(idx));
    if (!d->editor)
        return false;
    d->editor->setFocus();
    Q_EMIT editMode(col, row, EditStarted, false);
    if (!d->editor)
        return false; // a handler ended it
    if (replaceWith) {
        d->editor->setText(*replaceWith);
        d->editor->end(false);
    } else if (d->editReplace) {
        d->editor->selectAll();
    } else {
        d->editor->end(false);
    }
    return true;
}

void SpreadGrid::endEdit(bool commit)
{
    if (!d->editor)
        return;
    QLineEdit* ed = d->editor.data();
    d->editor = nullptr;
    QString typed = ed->text();
    const int col = d->editCol, row = d->editRow;
    d->closingEditor = true;
    QTableView::closeEditor(ed, QAbstractItemDelegate::NoHint);
    d->closingEditor = false;
    bool changed = commit && typed != d->editOld && col <= maxCols() && row <= maxRows();
    bool outOfRange = false;
    // A number cell takes a number within its range (kept in plain form) or
    // nothing; anything else leaves the old value. Text cells keep what was
    // typed for the window to judge.
    if (changed && d->model->isNumericType(col, row))
        changed = takeTypedNumber(col, row, &typed, &outOfRange) && typed != d->editOld;
    if (changed) {
        d->model->setValue(col, row, typed);
        Q_EMIT userTextChanged(col, row);
    }
    if (outOfRange)
        Q_EMIT numberOutOfRange(col, row);
    Q_EMIT editMode(col, row, EditEnded, changed);
}

bool SpreadGrid::takeTypedNumber(int col, int row, QString* typed, bool* outOfRange) const
{
    if (typed->trimmed().isEmpty()) {
        typed->clear();
        return true;
    }
    const NumberText state = checkNumberText(*typed, cellType(col, row), numberFormat(col, row));
    const std::optional<Money> m = Money::parse(*typed);
    if (state != NumberText::Accepted || !m) {
        *outOfRange = m.has_value() && state == NumberText::Partial;
        return false;
    }
    *typed = m->toPlainString();
    return true;
}

SpreadGrid::NumberText SpreadGrid::checkNumberText(const QString& text, CellType type, const NumberFormat& format)
{
    if (text.isEmpty())
        return NumberText::Accepted; // an emptied cell
    const int decimals = type == CellType::Integer ? 0 : std::max(0, format.decimals);
    int i = 0, whole = 0, fraction = 0;
    bool point = false;
    if (text.at(0) == QLatin1Char('-')) {
        if (format.min >= 0)
            return NumberText::Refused;
        i = 1;
    }
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            ++(point ? fraction : whole);
        else if (c == QLatin1Char('.') && !point && decimals > 0)
            point = true;
        else if (c != QLatin1Char(',') || point)
            return NumberText::Refused;
    }
    if (fraction > decimals)
        return NumberText::Refused;
    if (whole + fraction == 0)
        return NumberText::Partial; // "-", "." on the way to a number
    const std::optional<Money> m = Money::parse(text);
    if (!m)
        return NumberText::Refused; // more digits than any number holds
    const double v = m->toDouble();
    return v < format.min || v > format.max ? NumberText::Partial : NumberText::Accepted;
}

void SpreadGrid::numberEditorSetUp(QLineEdit* editor, int col, int row) const
{
    const CellType type = cellType(col, row);
    const NumberFormat format = numberFormat(col, row);
    editor->setValidator(new NumberValidator(type, format, editor));
    // Digits only: an input method offers no Hangul composition here.
    const bool digitsOnly = format.min >= 0 && (type == CellType::Integer || format.decimals <= 0);
    editor->setInputMethodHints(Qt::ImhNoPredictiveText |
                                (digitsOnly ? Qt::ImhDigitsOnly : Qt::ImhFormattedNumbersOnly));
}

// Whether `typed`, the first key of an edit of the active cell, can never start a number there.
bool SpreadGrid::numberKeyRefused(const QString& typed) const
{
    if (!d->model->isNumericType(d->activeCol, d->activeRow))
        return false;
    return checkNumberText(typed, cellType(d->activeCol, d->activeRow), numberFormat(d->activeCol, d->activeRow)) ==
           NumberText::Refused;
}

void SpreadGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    if (d->closingEditor || editor != d->editor.data()) {
        QTableView::closeEditor(editor, hint);
        return;
    }
    endEdit(hint != QAbstractItemDelegate::RevertModelCache);
}

void SpreadGrid::editorFocusLost()
{
    if (d->destroying)
        return;
    // A popup or dialog opened from a handler does not end the edit; a click
    // elsewhere in the window does.
    if (QApplication::activePopupWidget() || QApplication::activeModalWidget())
        return;
    QWidget* f = QApplication::focusWidget();
    if (f && (f == this || isAncestorOf(f)))
        return;
    endEdit(true);
}

namespace {
int asciiOf(const QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return SpreadGrid::kAsciiEnter;
    case Qt::Key_Escape:
        return SpreadGrid::kAsciiEscape;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return SpreadGrid::kAsciiTab;
    case Qt::Key_Backspace:
        return SpreadGrid::kAsciiBackspace;
    default:
        break;
    }
    if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return 0;
    const QString t = e->text();
    if (t.isEmpty() || !t.at(0).isPrint())
        return 0;
    return t.at(0).unicode();
}
} // namespace

std::optional<QAbstractItemView::CursorAction> SpreadGrid::cursorActionFor(int key)
{
    switch (key) {
    case Qt::Key_Up:
        return MoveUp;
    case Qt::Key_Down:
        return MoveDown;
    case Qt::Key_Left:
        return MoveLeft;
    case Qt::Key_Right:
        return MoveRight;
    case Qt::Key_PageUp:
        return MovePageUp;
    case Qt::Key_PageDown:
        return MovePageDown;
    case Qt::Key_Home:
        return MoveHome;
    case Qt::Key_End:
        return MoveEnd;
    default:
        return std::nullopt;
    }
}

bool SpreadGrid::isBackwardTab(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier);
}

bool SpreadGrid::editorKeyPress(QKeyEvent* event)
{
    const int ascii = asciiOf(event);
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Q_EMIT keyPress(kAsciiEnter);
        endEdit(true);
        moveNextCol(false);
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        Q_EMIT keyPress(kAsciiTab);
        endEdit(true);
        tabToNextCol(isBackwardTab(event));
        return true;
    case Qt::Key_Escape:
        Q_EMIT keyPress(kAsciiEscape);
        endEdit(false);
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        // Left, Right, Home and End stay with the line edit.
        const QModelIndex target = moveCursor(*cursorActionFor(event->key()), event->modifiers());
        endEdit(true);
        if (target.isValid())
            userMoveTo(target.column() + 1, target.row() + 1);
        return true;
    }
    default:
        break;
    }
    if (ascii != 0)
        Q_EMIT keyPress(ascii);
    return false;
}

bool SpreadGrid::userMoveTo(int col, int row)
{
    if (col < 1 || row < 1 || col > maxCols() || row > maxRows())
        return false;
    const int oldCol = d->activeCol, oldRow = d->activeRow;
    if (col == oldCol && row == oldRow && currentIndex().isValid())
        return true;
    endEdit(true);
    bool cancel = false;
    Q_EMIT leaveCell(oldCol, oldRow, col, row, &cancel);
    if (cancel)
        return false; // the cursor stays (or where the handler put it)
    setActiveCell(col, row);
    if (d->editPermanent && d->opMode == OperationMode::Normal && isVisible())
        beginEdit();
    return true;
}

bool SpreadGrid::moveNextCol(bool backwards)
{
    if (d->opMode != OperationMode::Normal)
        return false;
    int col = d->activeCol, row = d->activeRow;
    if (row < 1 || row > maxRows())
        return false;
    const int step = backwards ? -1 : 1;
    for (;;) {
        col += step;
        if (col > maxCols()) {
            if (row >= maxRows())
                return false;
            ++row;
            col = 1;
        } else if (col < 1) {
            if (row <= 1)
                return false;
            --row;
            col = maxCols();
        }
        if (!isColumnHidden(col - 1))
            break;
    }
    userMoveTo(col, row);
    return true;
}

void SpreadGrid::tabToNextCol(bool backwards)
{
    // Past the edge, a grid that lets Tab leave hands the focus on as any
    // control does; so does a list, whose cells Tab does not walk.
    if (!moveNextCol(backwards) && (d->tabLeaves || d->opMode != OperationMode::Normal) && isVisible())
        QAbstractScrollArea::focusNextPrevChild(!backwards);
}

void SpreadGrid::keyPressEvent(QKeyEvent* event)
{
    if (d->editor) {
        forwardKeyToEditor(event);
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        Q_EMIT keyPress(kAsciiEscape);
        event->ignore(); // the window may close on it
        return;
    }
    if (commandKey(event) || cursorKey(event) || typingKey(event))
        event->accept();
    else
        event->ignore(); // function keys and shortcuts belong to the window
}

void SpreadGrid::forwardKeyToEditor(QKeyEvent* event)
{
    // Keys that reach the grid while a cell is edited belong to the editor,
    // unless the editor has already seen and ignored them (a lone Shift,
    // say): those go on to the window, never back to the editor.
    if (d->editor->hasFocus() || d->forwardingKey) {
        event->ignore();
        return;
    }
    d->forwardingKey = true;
    QCoreApplication::sendEvent(d->editor.data(), event);
    d->forwardingKey = false;
}

// Enter, Tab and F2 outside an edit. True when the key is taken.
bool SpreadGrid::commandKey(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // In permanent edit mode the cell counts as being edited: Enter ends
        // that edit (unchanged) before the cursor moves on.
        if (d->editPermanent && beginEdit()) {
            Q_EMIT keyPress(kAsciiEnter);
            endEdit(true);
        } else {
            Q_EMIT keyPress(kAsciiEnter);
        }
        moveNextCol(false);
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        Q_EMIT keyPress(kAsciiTab);
        tabToNextCol(isBackwardTab(event));
        return true;
    case Qt::Key_F2:
        beginEdit();
        return true;
    default:
        return false;
    }
}

// The arrows, page keys, Home and End move the active cell.
bool SpreadGrid::cursorKey(QKeyEvent* event)
{
    const std::optional<CursorAction> action = cursorActionFor(event->key());
    if (!action)
        return false;
    const QModelIndex target = moveCursor(*action, event->modifiers());
    if (target.isValid())
        userMoveTo(target.column() + 1, target.row() + 1);
    return true;
}

// A printable character starts an edit with it, Backspace an edit of an emptied cell.
bool SpreadGrid::typingKey(QKeyEvent* event)
{
    const int ascii = asciiOf(event);
    if (ascii == 0)
        return false;
    Q_EMIT keyPress(ascii);
    // Where there is nothing to edit the key is taken all the same; a letter
    // never opens a number cell.
    const QString typed = ascii == kAsciiBackspace ? QString() : event->text();
    if (!numberKeyRefused(typed))
        beginEdit(&typed);
    return true;
}

void SpreadGrid::inputMethodEvent(QInputMethodEvent* event)
{
    if (!d->model->isNumericType(d->activeCol, d->activeRow)) {
        QTableView::inputMethodEvent(event);
        return;
    }
    // A number cell takes no composition: only the number characters of a commit start an edit.
    event->accept();
    const QString kept = numberChars(event->commitString());
    if (!kept.isEmpty() && !numberKeyRefused(kept))
        beginEdit(&kept);
}

QVariant SpreadGrid::inputMethodQuery(Qt::InputMethodQuery query) const
{
    if (query == Qt::ImHints && d->model->isNumericType(d->activeCol, d->activeRow))
        return int(inputMethodHints() | Qt::ImhFormattedNumbersOnly | Qt::ImhNoPredictiveText);
    return QTableView::inputMethodQuery(query);
}

void SpreadGrid::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex idx = indexAt(event->position().toPoint());
    const int col = idx.isValid() ? idx.column() + 1 : 0;
    const int row = idx.isValid() ? idx.row() + 1 : 0;
    if (event->button() == Qt::RightButton) {
        Q_EMIT rightClick(col, row, event->globalPosition().toPoint());
        event->accept();
        return;
    }
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::LeftButton && idx.isValid())
        userMoveTo(col, row);
    event->accept();
}

void SpreadGrid::mouseMoveEvent(QMouseEvent* event)
{
    event->accept(); // no drag selection
}

void SpreadGrid::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
}

void SpreadGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QModelIndex idx = indexAt(event->position().toPoint());
    if (!idx.isValid() || event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    const int col = idx.column() + 1, row = idx.row() + 1;
    if (col != d->activeCol || row != d->activeRow)
        userMoveTo(col, row);
    Q_EMIT dblClick(col, row);
    if (col == d->activeCol && row == d->activeRow)
        beginEdit();
    event->accept();
}

bool SpreadGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == horizontalHeader()->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            auto* me = static_cast<QMouseEvent*>(event);
            if (me->button() == Qt::RightButton) {
                const int logical = horizontalHeader()->logicalIndexAt(me->position().toPoint());
                Q_EMIT rightClick(logical + 1, 0, me->globalPosition().toPoint());
                return true;
            }
        } else if (event->type() == QEvent::MouseButtonRelease) {
            if (d->resizedFirst > 0) {
                // The drag is over: one notification for the columns it touched.
                const int c1 = d->resizedFirst, c2 = d->resizedLast;
                d->resizedFirst = d->resizedLast = 0;
                QMetaObject::invokeMethod(
                    this,
                    [this, c1, c2] {
                        // A figure is never cut: a column dragged too narrow takes back what its figures need.
                        for (int c = c1; c <= c2; ++c)
                            noteFit(c, 1, maxRows());
                        Q_EMIT columnWidthChanged(c1, c2);
                    },
                    Qt::QueuedConnection);
            }
        }
    }
    return QTableView::eventFilter(watched, event);
}
