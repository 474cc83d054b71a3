#pragma once

#include "data/settlement/Settlement.h"

#include <QPointer>
#include <QWidget>

struct AppContext;
class PeriodBar;
class QLabel;
class QPushButton;
class SpreadGrid;

// What each card company still owes: one line per card company on the day in
// the second date box (outstanding, due today, overdue since when, paid
// ahead, the fee kept since the first date box against the card's rate) and
// the pay-outs expected in the next 14 days. Only reads the ledger.
class SettlementWindow : public QWidget {
    Q_OBJECT
public:
    explicit SettlementWindow(AppContext& ctx, QWidget* parent = nullptr);
    ~SettlementWindow() override;

    // Shows the one settlement window, loading it when none is open.
    static SettlementWindow* ShowSingle(AppContext& ctx, QWidget* parent);
    static SettlementWindow* OpenInstance();

    // Loads the figures of the dates in the boxes; false (said to the user)
    // when a box holds no day or the books or the holiday file cannot be read.
    bool RefreshSheet();
    const Settlement& settlement() const { return m_settlement; }
    SpreadGrid* grid() const { return spList; }
    PeriodBar* periodBar() const { return m_period; }

    // The books' own holidays.txt, else the application folder's, else the built-in one.
    static QString BooksFolder(const AppContext& ctx);

Q_SIGNALS:
    // A line was double-clicked: show the ledger of `card` from `from` to `to`.
    void openLedger(int card, const QString& from, const QString& to);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void btnView_Click();
    void btnExcel_Click();
    void btnPrint_Click();
    void spList_DblClick(int col, int row);
    bool showTypedPeriod();

    AppContext& m_ctx;
    PeriodBar* m_period;
    QPushButton* btnView;
    QPushButton* btnExcel;
    QPushButton* btnPrint;
    QPushButton* btnClose;
    QLabel* lblNote;
    SpreadGrid* spList;
    Settlement m_settlement;
    QString m_shownFrom, m_shownTo;

    static QPointer<SettlementWindow> s_instance;
};
