#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>

struct AppContext;
class PeriodBar;
class QFrame;
class QPushButton;
class QShortcut;
class SpreadGrid;

// The card summary window: one line per card company for the period in its
// date boxes, with a totals line. It only reads the ledger.
class frmSumBill : public QWidget {
    Q_OBJECT
public:
    explicit frmSumBill(AppContext& ctx, QWidget* parent = nullptr);
    ~frmSumBill() override;

    // Shows the one summary window (not modal), loading it when none is
    // open, otherwise bringing the open one to the front.
    static frmSumBill* ShowSingle(AppContext& ctx, QWidget* parent);
    // The open summary window, if any.
    static frmSumBill* OpenInstance();

    // Rebuilds the grid for the period in the date boxes.
    void RefreshSheet();

    QString periodFrom() const;
    QString periodTo() const;
    PeriodBar* periodBar() const { return m_period; }
    SpreadGrid* grid() const { return spList; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    void btnView_Click();
    void btnExcel_Click();
    void btnPrint_Click();
    void btnClose_Click();
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
    SpreadGrid* spList;
    QRect m_loadedRect;
    bool m_unloaded = false;

    static QPointer<frmSumBill> s_instance;
};
