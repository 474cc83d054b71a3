#include "gui/cards/frmPlastra_sel.h"

#include "data/cards/CardStore.h"
#include "gui/grid/SpreadGrid.h"
#include "gui/grid/Twips.h"
#include "gui/toolkit/Messages.h"
#include "gui/toolkit/modSpread.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

frmPlastra_sel::frmPlastra_sel(const QString& cardDbPath, QWidget* parent) : CardListWindow(cardDbPath, parent)
{
    // Creating the object opens the database; the window part comes after.
    openCardDatabase();

    setObjectName(QStringLiteral("frmPlastra_sel"));
    setWindowTitle(tr("신용카드 선택"));
    btnSel = MakeCardButton(tr("선택(&S)"), QStringLiteral("btnSel"), tr("고른 카드사를 장부에 씁니다 (Alt+S, Enter)"),
                            this);
    connect(btnSel, &QPushButton::clicked, this, &frmPlastra_sel::btnSel_Click);
    buildLayout(btnSel);
    resize(TwipsToPixelsX(5550), TwipsToPixelsY(7680));
    placeAnchor(-225);

    // The designed grid: code, name, fee rate.
    designCardGrid({tr("코드"), tr("카드명"), tr("수수료율")}, {4.12, 31.37, 7.5});

    // Loading: the caller places the window before showing it.
    move(0, 0);
    setWindowIcon(QApplication::windowIcon());
    SetupSheet();
    m_result.clear();
}

int frmPlastra_sel::FindRecords(const QString& text)
{
    txtinput->setText(text);
    Refresh_Sheet();
    const int n = spList->maxRows();
    if (n == 1)
        m_result = spList->text(1, 1) + QChar(0) + spList->text(2, 1);
    return n;
}

void frmPlastra_sel::Refresh_Sheet()
{
    loadCards(&CardStore::ListByCodeOrName);
    // The first card stands chosen, so that Enter alone picks it.
    if (spList->maxRows() > 0)
        spList->setActiveCell(1, 1);
}

void frmPlastra_sel::showEvent(QShowEvent* event)
{
    CardListWindow::showEvent(event);
    // The picker opens on its choices, not on the search line.
    if (spList->maxRows() > 0)
        spList->setFocus();
}

void frmPlastra_sel::btnSel_Click()
{
    const int row = spList->activeRow();
    if (row < 1 || row > spList->maxRows()) {
        MsgInfo(tr("리스트에서 자료를 선택하세요."));
        return;
    }
    m_result = GetCellText(spList, 1, -2) + QChar(0) + GetCellText(spList, 2, -2);
    accept();
}

void frmPlastra_sel::rowAction()
{
    btnSel_Click();
}

QString frmPlastra_sel::deleteQuestion(const QString& name) const
{
    return tr("[%1] 카드를 정말로 삭제 하시겠습니까?").arg(name);
}
