#pragma once

#include "data/base/Progress.h"

#include "data/base/Money.h"

#include <QColor>
#include <QTableView>
#include <memory>
#include <optional>

class SpreadModel;
class QLineEdit;

// How a number or currency cell shows its value (SpreadGrid::NumberFormat).
struct SpreadNumberFormat {
    int decimals = 2;
    bool separators = false;
    double min = -99999999999999.0;
    double max = 99999999999999.0;
    bool showSymbol = false;
};

// Tallox's spreadsheet grid: a QTableView over SpreadModel, offering the
// operations every list, sheet and date box relies on.
//
// Addressing: rows and columns count from 1. Row 0 is the column-header row
// (the first one when there are several: they are also rows -1000, -999, ...),
// column 0 the row-header column. In the setters below -1 means "all rows" or
// "all columns". Looks and locks are kept in layers (all, column, row, cell);
// the layer written last wins for a cell, as if the setter had written every
// cell of its selection.
//
// Values are texts as the windows write and read them: text() gives the plain
// value ("1234.5", never grouped), displayText() the formatted one.
// Sizes: column widths in the grid's character units (the width of one "0" of
// the cells' font plus padding, so that columns follow a font size set for all
// cells), row heights in points; converted to pixels only when painting. A
// data row is never lower than the cells' font needs.
//
// Number cells never shorten a figure: with auto fit on (the default) a column
// widens when it shows a wider number, and the row-header column when a longer
// row number appears. Widths only grow; while redraw is off the fitting waits
// until it is turned on again.
class SpreadGrid : public QTableView {
    Q_OBJECT
public:
    enum class CellType { Edit = 1, Float = 2, Integer = 3, StaticText = 5, Currency = 12, Number = 13 };
    enum class OperationMode { Normal = 0, ReadOnly = 1, RowMode = 2, SingleSelect = 3 };
    // The `mode` that editMode reports: an edit of the active cell began or ended.
    enum EditModeChange : int { EditEnded = 0, EditStarted = 1 };

    using NumberFormat = SpreadNumberFormat;

    // Character codes keyPress reports for the keys that type no printable character.
    static constexpr int kAsciiBackspace = 8;
    static constexpr int kAsciiTab = 9;
    static constexpr int kAsciiEnter = 13;
    static constexpr int kAsciiEscape = 27;

    // Size units (setUnitType): character units and points, or twips.
    static constexpr int kUnitChars = 0;
    static constexpr int kUnitTwips = 2;

    explicit SpreadGrid(QWidget* parent = nullptr);
    ~SpreadGrid() override;

    SpreadModel* spreadModel() const;

    // --- structure
    int maxRows() const;
    void setMaxRows(int rows); // growing adds empty rows at the end; 0 empties the grid
    int maxCols() const;
    void setMaxCols(int cols);
    void insertRows(int row, int count); // rows from `row` on move down
    void deleteRows(int row, int count); // rows below move up; the row count stays
    int dataRowCnt() const;              // the last row that holds any value (0 when none)
    int colHeaderRows() const;
    void setColHeaderRows(int rows);
    bool rowHeadersShow() const;
    void setRowHeadersShow(bool show);

    // --- values
    void setText(int col, int row, const QString& value);
    bool getText(int col, int row, QString* value) const; // true when the cell holds a value
    QString text(int col, int row) const;
    // The cell's value as an exact number without a round trip through its
    // text; none for an empty cell or one that holds no plain number.
    std::optional<Money> number(int col, int row) const;
    // Writes a number into a data cell: setText(col, row, value.toPlainString()) without the text round trip.
    void setNumber(int col, int row, Money value);
    QString displayText(int col, int row) const;
    // The one formula form the sheets use: "SUM(RaCb:RcCd)" in R1C1 style. An
    // empty text clears it. The cell then shows the sum, kept current when a
    // cell in its range changes (valueChanged is emitted for the formula cell).
    void setFormula(int col, int row, const QString& formula);
    QString formula(int col, int row) const;
    // The column-header text of header row `headerRow` (0 = first).
    void setHeaderText(int col, const QString& text, int headerRow = 0);
    QString headerText(int col, int headerRow = 0) const;
    // Column identifier (the field an edit of that column writes).
    void setColId(int col, const QString& id);
    QString colId(int col) const;
    int colById(const QString& id) const; // 0 when no column has it

    // --- cell types and formats
    void setCellType(int col, int row, CellType type, const NumberFormat& format = {});
    CellType cellType(int col, int row) const;
    NumberFormat numberFormat(int col, int row) const;
    void setTypeMaxLength(int col, int row, int maxLength); // text cells; 0 = no limit
    void setTypeHAlign(int col, int row, Qt::Alignment align);
    void setTypeVAlign(int col, int row, Qt::Alignment align);
    Qt::Alignment alignment(int col, int row) const;

    // --- locks and looks
    void setLock(int col, int row, bool locked);
    bool isLocked(int col, int row) const;
    void setBackColor(int col, int row, const QColor& color);
    void setForeColor(int col, int row, const QColor& color);
    QColor backColor(int col, int row) const; // the effective colour, odd/even rows included
    QColor foreColor(int col, int row) const;
    void setFontBold(int col, int row, bool bold);
    bool fontBold(int col, int row) const;
    void setFontSize(int col, int row, double points);
    double fontSize(int col, int row) const;
    void setOddEvenRowColor(const QColor& oddBack, const QColor& oddFore, const QColor& evenBack,
                            const QColor& evenFore);
    void setSelBackColor(const QColor& color);
    QColor selBackColor() const;
    void setGrayAreaBackColor(const QColor& color);

    // --- sizes
    void setColWidth(int col, double width); // col -1: all, 0: row-header column
    double colWidth(int col) const;
    void setRowHeight(int row, double points); // row -1: all data rows, 0: header row
    double rowHeight(int row) const;
    void setColHidden(int col, bool hidden);
    bool colHidden(int col) const;
    // kUnitChars (0): widths in character units and heights in points; kUnitTwips (2): both in twips.
    void setUnitType(int unitType);
    int unitType() const;
    void setAutoFit(bool on); // see the class comment; on by default
    bool autoFit() const;
    // While on, figures written with redraw off are fitted for the rows on
    // screen when redraw comes back, and the others as they scroll into view
    // (a balance run down a long sheet after one edit).
    void setFitShownRowsOnly(bool on);
    // The width (grid unit) column `col` needs for its widest number; 0 when it shows none.
    double numberWidthNeeded(int col) const;
    // The width (grid unit) that shows column `col`'s title and every cell's text in full.
    double textWidthNeeded(int col) const;
    // The font size set for all cells (setFontSize(-1, -1, ...)); 0 when none was set.
    double cellsFontSize() const;
    // How a text typed into a number cell of this type and format stands: a
    // number within range (or empty); on its way to one or out of range ("-",
    // too large: typing may go on, the cell refuses it when the edit ends);
    // never a number (letters, a second point, too many decimals).
    enum class NumberText { Refused, Partial, Accepted };
    static NumberText checkNumberText(const QString& text, CellType type, const NumberFormat& format);

    // --- the active cell
    int activeCol() const;
    int activeRow() const;
    void setActiveCell(int col, int row);

    // --- painting
    void setReDraw(bool on);
    bool reDraw() const;
    void refresh();

    // --- behaviour switches (see CommonSpreadDesign)
    void setOperationMode(OperationMode mode);
    OperationMode operationMode() const;
    void setEditModePermanent(bool on);
    void setEditModeReplace(bool on);
    // Tab past the last cell (Shift+Tab before the first) goes on to the next
    // (previous) control of the window instead of staying: for one-cell boxes.
    // A grid not in OperationMode::Normal always passes Tab on.
    void setTabLeavesGrid(bool on);
    void setUserColActionSort(bool on); // a header click sorts by that column
    bool userColActionSort() const;

    // Converts twips to pixels with the screen's logical DPI.
    int twipsToPixelsX(double twips) const;

    // Sorts rows firstRow..lastRow by column `col` (numbers numerically, empty
    // cells last); values and row/cell looks move with their rows. A header
    // click (with setUserColActionSort on) first emits sortRequested; when no
    // handler claims it, all rows are sorted.
    void sortRows(int col, Qt::SortOrder order, int firstRow, int lastRow);

    // The cell being edited (the editor is a QLineEdit), or null.
    bool isEditing() const;
    QLineEdit* cellEditor() const;
    // Opens the editor on the active cell, as typing or F2 would; `replaceWith`
    // (when not null) replaces the cell's text. False when the cell is not editable.
    bool beginEdit(const QString* replaceWith = nullptr);
    // Ends the current edit, keeping the typed text (commit) or dropping it.
    void endEdit(bool commit = true);

    // A number cell asks the input method for digits only.
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

Q_SIGNALS:
    // Editing of a cell begins (mode 1) or ends (mode 0); `changed` tells whether the text changed.
    void editMode(int col, int row, int mode, bool changed); // mode: EditModeChange
    // A key typed into the grid: its character code (kAsciiEnter, kAsciiEscape, ...).
    void keyPress(int keyAscii);
    // The active cell is about to move; set *cancel to keep it where it is.
    void leaveCell(int col, int row, int newCol, int newRow, bool* cancel);
    // A cell's value changed (by the user, by setText, or a formula's result).
    void valueChanged(int col, int row);
    // The user dragged the widths of columns col1 to col2.
    void columnWidthChanged(int col1, int col2);
    // A column width, the row-header width or the row height changed on screen
    // (set by the program, fitted or dragged).
    void sizesChanged();
    // A number typed into a number cell lay outside the cell's range: the cell
    // kept its old value.
    void numberOutOfRange(int col, int row);
    void rightClick(int col, int row, const QPoint& globalPos);
    void dblClick(int col, int row);
    // The user changed a cell's text (for one-cell date boxes).
    void userTextChanged(int col, int row);
    // A header click asks to sort by `col`. A window that sorts only part of
    // its rows (or refuses) does so itself through sortRows() and sets
    // *handled; otherwise the grid sorts all rows.
    void sortRequested(int col, Qt::SortOrder order, bool* handled);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    friend class SpreadDelegate;
    void setUpHeaders();
    void headerSectionResized(int logical, int newSize);
    void headerSectionClicked(int logical);
    static std::optional<CursorAction> cursorActionFor(int key);
    static bool isBackwardTab(const QKeyEvent* event);
    void forwardKeyToEditor(QKeyEvent* event);
    bool commandKey(QKeyEvent* event);
    bool cursorKey(QKeyEvent* event);
    bool typingKey(QKeyEvent* event);
    bool editorKeyPress(QKeyEvent* event);
    void editorFocusLost();
    bool userMoveTo(int col, int row);
    bool moveNextCol(bool backwards); // false when no cell lies further that way
    void tabToNextCol(bool backwards);
    void applyColWidth(int col);
    void applyAllSizes();
    QFont unitFont(bool rowHeader) const;
    int colWidthPixels(double width, bool rowHeader = false) const;
    double widthForPixels(int pixels, bool rowHeader = false) const;
    int rowHeightPixels(double height, bool dataRow = false) const;
    // Fitting (auto fit): widen a column or the row header to what they show.
    int numberPixelsNeeded(int col, int firstRow, int lastRow) const;
    void widenTo(int col, int pixels);
    void fitNumbers(int col, int firstRow, int lastRow);
    void fitRowHeader();
    void noteFit(int col, int firstRow, int lastRow);
    void runPendingFits();
    void rowsMovedWhileFitPending();
    void fitShownRows();
    bool numberKeyRefused(const QString& typed) const;
    void numberEditorSetUp(QLineEdit* editor, int col, int row) const;
    bool takeTypedNumber(int col, int row, QString* typed, bool* outOfRange) const;
    void touch(int col, int row);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
