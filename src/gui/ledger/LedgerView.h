#pragma once

#include <QPointer>
#include <QTableView>

class LedgerModel;
class QLineEdit;

// The ledger window's sheet: a table view over LedgerModel that looks and
// types like the grid it replaced. Column widths are in the grid's unit (the
// width of a "0" of the cells' font, plus 4 pixels) and keep the grid's column
// numbers in the layout file. An edit ends in `edited` with the text typed;
// the window checks it and stores it through the model.
class LedgerView : public QTableView {
    Q_OBJECT
public:
    explicit LedgerView(QWidget* parent = nullptr);

    void setLedgerModel(LedgerModel* model);
    LedgerModel* ledgerModel() const { return m_model; }

    // The column number the layout file keeps a model column's width under.
    static int LayoutNumber(int column);
    double colWidth(int column) const;
    void setColWidth(int column, double width);
    int widthPixels(double width) const;
    // Reads "<name>_ColsWidth" and "<name>_General" of a layout file.
    void loadLayout(const QString& path);
    // The cells' font size (points) and the rows' height (points; 0: as the font needs).
    double fontPoints() const;
    void setFontPoints(double points);
    double rowPoints() const { return m_rowPoints; }
    void setRowPoints(double points);

    // The current cell; -1 when there is none.
    int activeRow() const { return currentIndex().row(); }
    int activeColumn() const { return currentIndex().column(); }
    void setActiveCell(int row, int column);
    bool isEditing() const;
    QLineEdit* cellEditor() const;
    // Opens the current cell's editor (its text selected, as F2 does).
    bool beginEdit();
    // Ends an open edit; with `commit` the text typed is handed on in `edited`.
    void endEdit(bool commit);
    // Widens the amount and balance columns to the figures on screen and the totals' texts.
    void fitShownFigures(const QStringList& totals = {});

Q_SIGNALS:
    // An edit ended with this text; `changed` when it differs from what the cell showed.
    void edited(int row, int column, const QString& text, bool changed);
    void editStarted(int row, int column);
    void columnWidthChanged(int column);
    void contextMenuAsked();

protected:
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    friend class LedgerCellDelegate;
    void copySelection() const;
    void applyWidths();
    void fitRowNumbers();

    LedgerModel* m_model = nullptr;
    QPointer<QLineEdit> m_editor;
    QModelIndex m_editIndex;
    QString m_editStart;
    bool m_pending = false;
    QString m_pendingText;
    QList<double> m_widths;
    double m_rowPoints = 0;
    bool m_settingWidths = false;
};

// The sums under the sheet: one row under the sheet's columns, as wide and
// scrolled as they are.
class LedgerTotalsView : public QTableView {
    Q_OBJECT
public:
    LedgerTotalsView(LedgerView* sheet, QWidget* parent = nullptr);
    // The text of a column's sum (plain, as stored); empty for none.
    QString text(int column) const;
    QString displayText(int column) const;
    // Follows the sheet's widths, font and row height.
    void follow();

private:
    LedgerView* m_sheet;
};
