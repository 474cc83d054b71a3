#include "cards/frmPlastra_read.h"
#include "toolkit/Messages.h"

#include "cards/CardStore.h"
#include "core/AppInfo.h"
#include "core/DbAccess.h"
#include "platform/SpreadGrid.h"
#include "platform/Twips.h"
#include "toolkit/modSpread.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QSqlQuery>

namespace {
QString cellValue(const QVariant& v)
{
    return v.isNull() ? QString() : v.toString();
}
} // namespace

frmPlastra_read::frmPlastra_read(const QString& cardDbPath, QWidget* parent) : CardListWindow(cardDbPath, parent)
{
    setObjectName(QStringLiteral("frmPlastra_read"));
    setWindowTitle(QStringLiteral("Tallox"));
    lblRecCnt = new QLabel(RecordCountText(0), this);
    lblRecCnt->setObjectName(QStringLiteral("lblRecCnt"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblRecCnt);
    buttons->addStretch(1);
    buttons->addWidget(btnAdd);
    buttons->addWidget(btnEdit);
    buttons->addWidget(btnDelete);
    buttons->addWidget(btnClose);
    buildLayout(buttons);
    resize(TwipsToPixelsX(5565), TwipsToPixelsY(7680));
    placeAnchor(-250);

    // The designed grid: code, name, fee rate, settlement days.
    designCardGrid({QStringLiteral("코드"), QStringLiteral("카 드 명"), QStringLiteral("수수료율"), QStringLiteral("결제일")},
                   {4, 24.62, 8.37, 5.87});

    // Loading.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
    }
    setWindowIcon(QApplication::windowIcon());
    SetupSheet();
    if (AppTitle() == QStringLiteral("Tallox")) {
        // Settlement days are not used by Tallox: the name takes their room.
        spList->setColWidth(2, spList->colWidth(2) + spList->colWidth(4));
        spList->setColHidden(4, true);
    }
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
    return QStringLiteral("등록수:") + QStringLiteral("%1").arg(count, 5);
}

void frmPlastra_read::SetupSheet()
{
    CommonSpreadDesign(spList, true, true, true, true);
}

void frmPlastra_read::ShowRecordCount()
{
    lblRecCnt->setText(RecordCountText(spList->maxRows()));
}

void frmPlastra_read::Refresh_Sheet()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    spList->setMaxRows(0);
    QList<CardRecord> rows;
    ErrorInfo e;
    if (!CardStore::ListByName(mdbCard, txtinput->text(), &rows, &e)) {
        ShowRecordCount();
        QApplication::restoreOverrideCursor();
        ShowError(e);
        return;
    }
    spList->setReDraw(false);
    spList->setMaxRows(int(rows.size()));
    int row = 0;
    for (const CardRecord& c : rows) {
        ++row;
        spList->setText(2, row, c.name);
        spList->setText(3, row, cellValue(c.fee));
        spList->setText(4, row, cellValue(c.setday));
        spList->setText(1, row, QString::number(c.code));
    }
    spList->setReDraw(true);
    ShowRecordCount();
    QApplication::restoreOverrideCursor();
}

void frmPlastra_read::SyncUpdatePlastra(int code, bool isNew)
{
    CardRecord card;
    const int row = syncRow(code, isNew, &card);
    if (row < 1)
        return;
    if (isNew)
        ShowRecordCount();
    spList->setText(1, row, QString::number(card.code));
    spList->setText(2, row, card.name);
    spList->setText(3, row, cellValue(card.fee));
    spList->setText(4, row, cellValue(card.setday));
    spList->setActiveCell(qMax(1, spList->activeCol()), row);
}

void frmPlastra_read::rowAction()
{
    btnEdit_Click();
}

QString frmPlastra_read::deleteQuestion(const QString& name) const
{
    return QStringLiteral("[") + name + QStringLiteral("]를 정말로 삭제 하시겠습니까?");
}

void frmPlastra_read::afterRowDeleted()
{
    ShowRecordCount();
}
