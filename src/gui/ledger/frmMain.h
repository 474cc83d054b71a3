#pragma once

#include "data/books/AppContext.h"
#include "data/ledger/LedgerOutput.h"
#include "data/ledger/LedgerRows.h"

#include <QMainWindow>

class QHBoxLayout;
#include <QPointer>
#include <QRect>
#include <memory>

class LedgerHistory;
class LedgerStatusLine;
class BackupTask;
class LedgerStore;
class PeriodBar;
class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class SpreadGrid;
class frmSumBill;

// The ledger window: the program's main window. The sheet `spList` is typed
// into directly; every finished cell edit is stored at once through
// LedgerStore, and the running balance and the totals strip follow.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(std::unique_ptr<AppContext> ctx, QWidget* parent = nullptr);
    ~frmMain() override;

    AppContext& context() { return *m_ctx; }
    LedgerStore& store() { return *m_store; }
    static QString Caption(const QString& ledgerPath);

    // First activation (or first showing where nothing activates windows):
    // loads the sheet once.
    void Form_Activate();

    // The sheet (RefreshSheet rebuilds it from the period and card filter).
    void RefreshSheet();
    // Another computer stored a change (books on a server): the period shown
    // again, the cursor and the focus where they were.
    void ReloadForOthers();
    void AppendEntryRow();
    void CalcBalance(int startRow);
    void SetTotalFormulas();

    // Editing and deletion of entries.
    void ActionDelete();
    int GetRowCode(int row) const;     // -2: the active row
    int GetRowCardCode(int row) const; // -2: the active row
    QString entryDate() const { return msEntryDate; }

    // Commands.
    void btnView_Click();
    void btnSum_Click();
    void btnExcel_Click();
    void btnPrint_Click();
    void btnCard_Click();
    void mnuTool_ReBaln_Click();
    void mnuTool_Calc_Click();
    void mnuTool_Check_Click();
    void mnuTool_Backup_Click();
    void mnuTool_Restore_Click();
    // 정산 현황 (F9): what each card company still owes.
    void mnuTool_Settlement_Click();
    // The ledger of one card company from `from` to `to` (the settlement window's double-click).
    void ShowCardPeriod(int card, const QString& from, const QString& to);
    // Once after the first sheet: says in the status line when a card company
    // is more than two business days late with a pay-out.
    void NoticeOverdue();
    BackupTask* backupTask() const { return m_backupTask; }
    void mnuHomePage_Click();
    LedgerStatusLine* statusLine() const { return m_status; }

    // Undo and redo of stored changes (Ctrl+Z, Ctrl+Y), and the change history.
    void mnuEdit_Undo_Click();
    void mnuEdit_Redo_Click();
    void mnuTool_History_Click();
    // The menu texts name what an undo and a redo would do.
    void UpdateUndoActions();
    // 자료 가져오기: the import dialog on `file` (empty: the user chooses);
    // once stored, the sheet shows the imported period and a summary is said.
    void mnuTool_Import_Click();
    void OpenImport(const QString& file);

    // The print header's period line for the dates in the boxes.
    QString PeriodLine() const;
    // Whether the window's layout is saved when it closes (moved or resized since load).
    bool LayoutChanged() const;

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    // A file dropped onto the window opens the import dialog on it.
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    void BuildControls();
    QHBoxLayout* BuildSearchRow();
    QHBoxLayout* BuildCommandRow();
    void ConnectControls();
    void BuildMenu();
    void BuildHelpMenu();
    void FillCards(); // the card filter, and the first steps while there is no card company
    int EntryCount() const;
    void BuildEditMenu();
    void BuildImportMenu();
    // After an undo or redo: the sheet shows the entry (its period and card if
    // need be) with the cursor on the field changed.
    void RunUndoStep(bool undo);
    void GoToChangedEntry(int key, const QString& date, const QString& field);
    void Form_Load();
    void InitSheets();
    void LayoutControls();
    bool HandleFunctionKey(int key);
    QRect CurrentTwipsGeometry() const;

    void spList_EditMode(int col, int row, int mode, bool changed);
    void spList_KeyPress(int keyAscii);
    void spList_LeaveCell(int col, int row, int newCol, int newRow, bool* cancel);
    void spList_ColWidthChanged(int col1, int col2);
    void spList_NumberOutOfRange(int col, int row);
    // The totals strip takes the sheet's sizes across (after every change of them).
    void SyncTotalStrip();
    // A sum wider than its sheet column widens that column (and so the strip's).
    void FitSheetToStrip(int col);
    void spList_SortRequested(int col, Qt::SortOrder order, bool* handled);
    // Whether a stored entry of this date and card keeps its row: in the
    // period and card filter shown, and in date order where it stands.
    bool StaysInPlace(int row, const QString& date, int card) const;
    void ShowStoredPlace(int key, int col, int row);
    void cmbPlastra_KeyDown(int key);
    void chkAutoFee_Click();

    void RestoreStoredCell(int key, int col, int row);
    // The steps of a finished cell edit: check the typed value, then store it.
    bool TakeTypedValue(int col, int row, bool entryRow, QString* text);
    bool TakeTypedDate(int row, QString* text);
    bool TakeTypedCard(int row, const QString& text);
    void StoreTypedValue(int col, int row, bool entryRow, const QString& text);
    bool StoreTyped(int col, int row, bool entryRow, const QString& text, int* key, ErrorInfo* error);
    // Books on a server: true when a store or read opened the broken ledger
    // connection again since it was `reopens` (Database::reopenCount); the
    // card connection is then opened again too.
    bool CardFollowsLedger(int reopens);
    bool StoreEntryField(int key, int col, int row, const QString& text, ErrorInfo* error);
    void PutBackOldText(int col, int row);
    // The sheet as printed and exported, laid out like the window's.
    LedgerOutputSheet OutputSheet();
    bool IsLastDateBox(const QWidget* w) const;
    void ApplyAutoFee(int key, int row, const QString& saleText);
    // Enter in the sheet: ends the edit, then moves along the row as typing goes.
    void spList_EnterKey();
    void MoveActiveCell(int col, int row);
    // Ends an edit in progress so that nothing typed is lost before a command runs.
    void FinishCellEdit();

    std::unique_ptr<AppContext> m_ctx;
    std::unique_ptr<LedgerStore> m_store;
    std::unique_ptr<LedgerHistory> m_history;

    QFrame* pnlTop = nullptr;
    PeriodBar* m_period = nullptr;
    QComboBox* cmbPlastra = nullptr;
    QCheckBox* chkAutoFee = nullptr;
    QPushButton* btnView = nullptr;
    QPushButton* btnSum = nullptr;
    QPushButton* btnExcel = nullptr;
    QPushButton* btnPrint = nullptr;
    QPushButton* btnCard = nullptr;
    QPushButton* btnClose = nullptr;
    SpreadGrid* spList = nullptr;
    SpreadGrid* spTotal = nullptr;
    QMenu* mnuTool = nullptr;
    QAction* mnuTool_ReBaln = nullptr;
    QAction* mnuTool_Calc = nullptr;
    QAction* mnuTool_Check = nullptr;
    QAction* mnuTool_Settlement = nullptr;
    QMenu* mnuEdit = nullptr;
    QAction* mnuEdit_Undo = nullptr;
    QAction* mnuEdit_Redo = nullptr;
    QAction* mnuTool_History = nullptr;
    QAction* mnuTool_Backup = nullptr;
    QAction* mnuTool_Restore = nullptr;
    QAction* mnuTool_Import = nullptr;
    BackupTask* m_backupTask = nullptr;
    QAction* mnuHomePage = nullptr;
    QAction* mnuExit = nullptr;
    LedgerStatusLine* m_status = nullptr;

    QPointer<frmSumBill> m_sumBill;

    bool m_firstActivate = true;
    bool m_loading = true;
    QRect m_loadGeometry; // twips, as remembered after the saved layout was applied
    QString msEntryDate;
    QString msOldText;
    QString m_oldCardCode; // column 3 when the card-name edit began
    bool mbEnterKey = false;
    bool m_dateOrder = true;        // the entries stand in date order (no header sort)
    LedgerRows m_shown;             // the period and card filter the sheet shows (no entries kept)
    bool m_editRefused = false;     // the last ended edit was put back
    bool m_sheetMousePress = false; // the sheet's active cell is moving under a mouse press
};
