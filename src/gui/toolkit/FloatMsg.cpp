#include "gui/toolkit/FloatMsg.h"

#include "gui/grid/Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTimer>

namespace {
QPointer<frmFloatMsg> g_notice;
}

frmFloatMsg::frmFloatMsg(QWidget* owner)
    : QDialog(owner, Qt::FramelessWindowHint | Qt::Tool), pnlCaption(new QLabel(this)), Timer1(new QTimer(this))
{
    setObjectName(QStringLiteral("frmFloatMsg"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(TwipsToPixelsX(5490), TwipsToPixelsY(405));
    setAutoFillBackground(true);
    pnlCaption->setObjectName(QStringLiteral("pnlCaption"));
    pnlCaption->setText(tr("메시지"));
    pnlCaption->setAlignment(Qt::AlignCenter);
    QFont f(QStringLiteral("NanumGothic"));
    f.setPointSizeF(11.25);
    f.setBold(true);
    pnlCaption->setFont(f);
    pnlCaption->setGeometry(0, 0, width(), height());
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->stop();
    connect(Timer1, &QTimer::timeout, this, [this] {
        Timer1->stop();
        close();
    });
}

void frmFloatMsg::InitForm(const QString& strMsg, int lDelay, const QColor& BKColor)
{
    QPalette p = palette();
    p.setColor(QPalette::Window, BKColor);
    setPalette(p);
    pnlCaption->setText(strMsg);
    if (lDelay > 0) {
        Timer1->setInterval(lDelay);
        Timer1->start();
    }
}

QString frmFloatMsg::text() const
{
    return pnlCaption->text();
}

QColor frmFloatMsg::backgroundColor() const
{
    return palette().color(QPalette::Window);
}

bool frmFloatMsg::timerActive() const
{
    return Timer1->isActive();
}

void frmFloatMsg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    pnlCaption->setGeometry(0, 0, width(), height());
}

void frmFloatMsg::closeEvent(QCloseEvent* event)
{
    Timer1->stop();
    QDialog::closeEvent(event);
    // A modal notice returns from exec(); a modeless one is simply gone.
    if (isModal())
        done(0);
}

void SetTopMost(QWidget* window)
{
    if (!window)
        return;
    const bool visible = window->isVisible();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (visible)
        window->show();
}

void ShowFloatMsg(const QString& text, int delayMs, int modal, const QColor& color)
{
    // One notice at a time: a new one replaces whatever is still shown.
    CloseFloatMsg();
    QPointer<QWidget> owner = QApplication::activeWindow();
    auto* notice = new frmFloatMsg(owner);
    notice->setAttribute(Qt::WA_DeleteOnClose);
    g_notice = notice;
    notice->InitForm(text, delayMs, color);
    const QRect area = owner ? owner->frameGeometry()
                             : (QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                                 : QRect(0, 0, 800, 600));
    notice->move(area.center() - QPoint(notice->width() / 2, notice->height() / 2));
    if (modal == 1) {
        notice->setModal(true);
        notice->exec();
        // A window manager may have given the notice the activation: hand it back.
        if (owner && owner->isVisible())
            owner->activateWindow();
    } else {
        SetTopMost(notice);
        notice->show();
    }
}

void CloseFloatMsg()
{
    if (g_notice) {
        g_notice->close();
        g_notice = nullptr;
    }
}

frmFloatMsg* CurrentFloatMsg()
{
    return g_notice.data();
}
