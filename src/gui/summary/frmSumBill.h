#pragma once

#include "gui/summary/SumBillChart.h"

#include <QPointer>
#include <QRect>
#include <QWidget>

struct AppContext;
class PeriodBar;
class QFrame;
class QPushButton;
class QShortcut;
class QTabWidget;
class QChartView;
class SpreadGrid;

// The card summary window: one line per card company for the period in its
// date boxes, with a totals line, and on a second tab the period's sales and
// fee rates by month as a chart. It only reads the ledger.
class frmSumBill : public QWidget {
    Q_OBJECT
public:
    // The period boxes start on `from` - `to` (the ledger's), or on today when they are no days.
    explicit frmSumBill(AppContext& ctx, QWidget* parent = nullptr, const QString& from = QString(),
                        const QString& to = QString());
    ~frmSumBill() override;

    // Shows the one summary window (not modal), loading it when none is
    // open, otherwise bringing the open one to the front.
    static frmSumBill* ShowSingle(AppContext& ctx, QWidget* parent, const QString& from = QString(),
                                  const QString& to = QString());
    // The open summary window, if any.
    static frmSumBill* OpenInstance();

    // Rebuilds the grid for the period in the date boxes, and the chart when
    // its tab is shown (otherwise when the tab is next shown). False when the
    // period is no period or the books cannot be read (said to the user).
    bool RefreshSheet();
    // Whether the grid shows the period now in the date boxes.
    bool sheetCurrent() const;

    enum Tab { GridTab = 0, ChartTab = 1 };

    QString periodFrom() const;
    QString periodTo() const;
    PeriodBar* periodBar() const { return m_period; }
    SpreadGrid* grid() const { return spList; }
    QTabWidget* tabs() const { return tabMain; }
    QChartView* chartView() const { return chartList; }
    // What the chart tab shows, prints and saves.
    const SumBillChart& chart() const { return m_chart; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load(const QString& from, const QString& to);
    void setupTabs();
    void Form_Resize();
    void Form_Unload();
    void btnView_Click();
    void btnExcel_Click();
    void btnPrint_Click();
    void btnClose_Click();
    void tabMain_CurrentChanged(int index);
    void refreshChart();
    bool showTypedPeriod(); // refreshes first when the boxes hold another period
    void showChart(SumBillChart chart);
    bool chartShown() const;
    void spList_ColWidthChange(int col1, int col2);
    QRect formRect() const;    // left, top, width, height in twips
    QSize defaultSize() const; // in pixels, when no layout file exists

    AppContext& m_ctx;
    QFrame* pnlSearch;
    PeriodBar* m_period;
    QPushButton* btnView;
    QPushButton* btnExcel;
    QPushButton* btnPrint;
    QPushButton* btnClose;
    QTabWidget* tabMain;
    SpreadGrid* spList;
    QChartView* chartList;
    SumBillChart m_chart;
    QString m_shownFrom, m_shownTo; // the period of the last 조회
    bool m_chartStale = true;
    QRect m_loadedRect;
    bool m_unloaded = false;

    static QPointer<frmSumBill> s_instance;
};
