#pragma once

#include "TestSupport.h"

#include "gui/grid/SpreadGrid.h"
#include "gui/ledger/LedgerModel.h"
#include "gui/ledger/LedgerView.h"
#include "gui/ledger/frmMain.h"

#include <QObject>
#include <memory>

#include "gui/toolkit/PeriodBar.h"
class QComboBox;
class QCheckBox;

// The real ledger window on fresh databases for one test: the window gets its
// own connections on the TestEnv's files, prints to a PDF in the temporary
// folder, and is typed into with QTest as a user would.
class LedgerWindowTestBase : public QObject {
    Q_OBJECT
protected:
    // Call from init(): a fresh TestEnv (today fixed) with the automatic fee setting cleared.
    void startEnv(const QDate& today = QDate(2005, 6, 15));
    // Call from cleanup(): closes the window (when open) and drops the TestEnv.
    void stopEnv();

    // Opens the window and lets its first activation load the sheet.
    frmMain* openWindow();
    void closeWindow();

    // Sets the period boxes (and optionally the card filter) and presses F5.
    void view(const QString& from, const QString& to, int card = 0);
    void setPeriod(const QString& from, const QString& to);
    void selectCard(int card);

    // Cells are named as the user sees them: a LedgerModel column and the
    // row's number in the sheet (1: the brought-forward row).
    // Puts the cursor on a cell without editing it.
    void gotoCell(int col, int row);
    // Clicks a cell of the sheet with the mouse, as a user would.
    void clickCell(int col, int row);
    // Types `text` into the active cell (the first key opens the editor, the
    // rest go to the editor; Hangul included), then presses Enter unless told not to.
    void typeText(const QString& text, bool enter = true);
    void typeInto(int col, int row, const QString& text, bool enter = true);
    void pressKey(Qt::Key key); // to whatever has the focus in the window (or the sheet)
    void pressEnter();

    QString cell(int col, int row) const; // the text as typed (plain figures)
    QString keyText(int row) const;       // the entry's key; empty for the first and last rows
    QString cardText(int row) const;      // the entry's card code; empty for the first and last rows
    QString stripCell(int col) const;
    int rows() const;
    int activeCol() const;
    int activeRow() const;
    bool editable(int col, int row) const;
    // A click on a column's title.
    void sortBy(int col, Qt::SortOrder order);

    LedgerView* sheet() const;
    LedgerModel* model() const;
    LedgerTotalsView* strip() const;
    PeriodBar* period() const;
    QComboBox* cardFilter() const;
    QCheckBox* autoFee() const;

    // Row of the sheet with this entry key (0 when none).
    int rowOfKey(int key) const;
    // The stored fields of one entry.
    QVariantMap entry(int key);
    // The newest entry key.
    int lastKey();

    std::unique_ptr<TestEnv> env;
    frmMain* win = nullptr;
};
