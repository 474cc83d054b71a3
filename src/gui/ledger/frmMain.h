#pragma once

#include "data/books/AppContext.h"
#include "data/ledger/LedgerOutput.h"
#include "data/ledger/LedgerRows.h"

#include <QMainWindow>
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
class QHBoxLayout;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;
class SpreadGrid;
class LedgerModel;
class LedgerTotalsView;
class LedgerView;
class frmSumBill;

// The ledger window: the program's main window. The sheet `spList` shows the
// period's typed rows (LedgerModel) and is typed into directly; every
// finished cell edit is stored at once through the model, and the running
// balance and the totals under the sheet follow.
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

    // The sheet (RefreshSheet reads it again for the period and card filter).
    void RefreshSheet();
    // Another computer stored a change (books on a server): the period shown
    // again, the cursor and the focus where they were.
    void ReloadForOthers();

    // Editing and deletion of entries.
    void ActionDelete();
    // The date a new entry gets: the one the entry row shows.
    QString entryDate() const;
    // The sheet, and through it its model (tests and benchmarks look at what the user sees).
    LedgerView* sheetView() const { return spList; }

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
    void DeferCheckpoints();
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

    // A finished cell edit: the typed text is checked, then stored through the model.
    void spList_Edited(int row, int col, const QString& text, bool changed);
    void spList_ColWidthChanged(int col);
    // The totals follow the sheet's sizes, and the figures on screen fit their columns.
    void SyncTotalStrip();
    void chkAutoFee_Click();

    // The steps of a finished cell edit: check the typed value, then store it.
    bool TakeTypedAmount(int col, const QString& text);
    bool TakeTypedCard(const QString& text, int* code);
    void StoreTypedValue(int col, int row, const QVariant& value, int role);
    // Books on a server: true when a store or read opened the broken ledger
    // connection again since it was `reopens` (Database::reopenCount); the
    // card connection is then opened again too.
    bool CardFollowsLedger(int reopens);
    // The sheet as printed and exported, laid out like the window's.
    LedgerOutputSheet OutputSheet();
    bool IsLastDateBox(const QWidget* w) const;
    void ApplyAutoFee(int row, const QString& saleText);
    // Enter in the sheet: ends the edit, then moves along the row as typing goes.
    void spList_EnterKey();
    // Ends an edit in progress so that nothing typed is lost before a command runs.
    void FinishCellEdit();
    void ShowGridMenu();

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
    LedgerModel* m_model = nullptr;
    LedgerView* spList = nullptr;
    LedgerTotalsView* spTotal = nullptr;
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
    QTimer* m_checkpoint = nullptr; // the write-ahead log copied into the books in a quiet moment

    QPointer<frmSumBill> m_sumBill;

    bool m_firstActivate = true;
    bool m_loading = true;
    QRect m_loadGeometry;       // twips, as remembered after the saved layout was applied
    bool mbEnterKey = false;    // the edit being ended was ended by Enter
    bool m_editRefused = false; // the last ended edit was put back
};
