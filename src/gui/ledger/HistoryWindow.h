#pragma once

#include <QWidget>

struct AppContext;
class PeriodBar;
class QPushButton;
class SpreadGrid;

// The change history of the books for a period, newest first, and its
// export as a workbook. It only reads the ledger.
class HistoryWindow : public QWidget {
    Q_OBJECT
public:
    explicit HistoryWindow(AppContext& ctx, QWidget* parent = nullptr);

    // Rebuilds the sheet for the period in the date boxes; false when it could not.
    bool RefreshSheet();
    void btnExcel_Click();

    PeriodBar* periodBar() const { return m_period; }
    SpreadGrid* grid() const { return spHistory; }

protected:
    // Esc closes the window (an edit in a date box takes it first).
    void keyPressEvent(QKeyEvent* e) override;

private:
    AppContext& m_ctx;
    PeriodBar* m_period = nullptr;
    QPushButton* btnView = nullptr;
    QPushButton* btnExcel = nullptr;
    QPushButton* btnClose = nullptr;
    SpreadGrid* spHistory = nullptr;
    QString m_shown; // the period the sheet shows, "first|last"
};
