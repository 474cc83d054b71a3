#include "gui/cards/frmPlastra_read.h"

#include "data/books/DbAccess.h"
#include "data/cards/CardStore.h"
#include "gui/grid/SpreadGrid.h"
#include "gui/grid/Twips.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>

frmPlastra_read::frmPlastra_read(const QString& cardDbPath, QWidget* parent) : CardListWindow(cardDbPath, parent)
{
    setObjectName(QStringLiteral("frmPlastra_read"));
    setWindowTitle(tr("신용카드 목록"));
    lblRecCnt = new QLabel(RecordCountText(0), this);
    lblRecCnt->setObjectName(QStringLiteral("lblRecCnt"));
    buildLayout(lblRecCnt);
    resize(TwipsToPixelsX(5565), TwipsToPixelsY(7680));
    placeAnchor(-250);

    // The designed grid: code, name, fee rate, settlement days.
    designCardGrid({tr("코드"), tr("카 드 명"), tr("수수료율"), tr("결제일")}, {4, 24.62, 8.37, 5.87});

    // Loading.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
    }
    setWindowIcon(QApplication::windowIcon());
    // The settlement days stay in sight: the settlement window counts pay-out days with them.
    SetupSheet();
    if (openCardDatabase())
        Refresh_Sheet();
}

void frmPlastra_read::done(int r)
{
    CloseRs(mdbCard);
    CardListWindow::done(r);
}

QString frmPlastra_read::RecordCountText(int count)
{
    return tr("등록수:") + QStringLiteral("%1").arg(count, 5);
}

void frmPlastra_read::ShowRecordCount()
{
    lblRecCnt->setText(RecordCountText(spList->maxRows()));
}

void frmPlastra_read::Refresh_Sheet()
{
    loadCards(&CardStore::ListByName);
}

void frmPlastra_read::rowAction()
{
    btnEdit_Click();
}

QString frmPlastra_read::deleteQuestion(const QString& name) const
{
    return tr("[%1]를 정말로 삭제 하시겠습니까?").arg(name);
}

void frmPlastra_read::rowCountChanged()
{
    ShowRecordCount();
}
