#include "gui/toolkit/Utils.h"

#include "data/books/AppPaths.h"
#include "data/books/SharedQueries.h"
#include "gui/grid/Twips.h"
#include "gui/toolkit/Messages.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QInputMethod>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>
#include <algorithm>

namespace {
struct LaunchState {
    bool enabled = false;
    QList<QUrl> urls;
    QStringList programs;
};

LaunchState& launch()
{
    static LaunchState s;
    return s;
}

// A widget that a Tab press could give the focus to, as Qt itself decides.
bool takesTabFocus(QWidget* w, QWidget* window)
{
    return w->window() == window && w->isEnabled() && w->isVisibleTo(window) &&
           (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && !w->focusProxy();
}

QComboBox* comboOf(QWidget* w)
{
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return combo;
    // An editable combo box hands its focus to its line edit.
    return w ? qobject_cast<QComboBox*>(w->parentWidget()) : nullptr;
}
} // namespace

void PlaceFormAtControl(QWidget* window, QWidget* anchor, int hMode, int vMode)
{
    // Every number is a valid value of the enums: those they do not name act as their "other value".
    PlaceFormAtControl(window, anchor, static_cast<PlaceAcross>(hMode), static_cast<PlaceUpDown>(vMode));
}

void PlaceFormAtControl(QWidget* window, QWidget* anchor, PlaceAcross across, PlaceUpDown upDown)
{
    if (!window || !anchor)
        return;
    // Top-left of the anchor's inner area, its frame not counted.
    const QPoint client = anchor->mapToGlobal(anchor->contentsRect().topLeft());
    const int x = client.x();
    const int y = client.y();
    // Twips and pixels differ by a constant factor, so the arithmetic is done in pixels.
    const QSize win = window->isVisible() ? window->frameGeometry().size() : window->size();
    const int anchorW = anchor->width();
    const int anchorH = anchor->height();

    int left = 0;
    switch (across) {
    case PlaceAcross::AlignLeft:
        left = x;
        break;
    case PlaceAcross::AlignRight:
        left = x + anchorW - win.width();
        break;
    case PlaceAcross::Centre:
        left = x - (win.width() - anchorW) / 2;
        break;
    default:
        left = 0;
        break;
    }
    const int top = upDown == PlaceUpDown::Above ? y - win.height() : y + anchorH;

    QPoint target(left, top);
    if (!window->isWindow() && window->parentWidget())
        target = window->parentWidget()->mapFromGlobal(target);
    window->move(target);
}

void CmbShowList()
{
    QWidget* active = QApplication::activeWindow();
    QWidget* focus = active ? active->focusWidget() : QApplication::focusWidget();
    if (QComboBox* combo = comboOf(focus))
        combo->showPopup();
}

void CmbSetSize(QComboBox* combo, int listWidthTwips, int heightTwips)
{
    if (!combo) {
        MsgProcError(ErrorInfo(ErrorCode::NoConnection, QStringLiteral("Object variable not set")),
                     QStringLiteral("CmbSetSize"), QStringLiteral("modComboBox"));
        return;
    }
    const int listWidth = int(listWidthTwips / TwipsPerPixelX());
    const int height = int(heightTwips / TwipsPerPixelY());
    // The height counts the box itself and its dropped-down list, as on the platform
    // the windows were designed for; Qt sizes the list by the number of visible rows.
    const int listHeight = std::max(0, height - combo->height());
    QAbstractItemView* view = combo->view();
    int rowHeight = combo->count() > 0 ? view->sizeHintForRow(0) : 0;
    if (rowHeight <= 0)
        rowHeight = view->fontMetrics().height() + 4;
    combo->setMaxVisibleItems(std::max(1, listHeight / rowHeight));
    view->setMinimumWidth(std::max(0, listWidth));
    combo->setProperty("listWidthTwips", listWidthTwips);
    combo->setProperty("listHeightTwips", heightTwips);
}

int CmbGetItemData(QComboBox* combo, int defaultValue)
{
    if (!combo || combo->currentIndex() < 0)
        return defaultValue;
    return combo->itemData(combo->currentIndex()).toInt();
}

void KeyToTab(QWidget* from, int keyCode)
{
    switch (keyCode) {
    case kKeyCodeEnter:
        KeyToTab(from, Qt::Key_Return);
        break;
    case kKeyCodeLeft:
        KeyToTab(from, Qt::Key_Left);
        break;
    case kKeyCodeRight:
        KeyToTab(from, Qt::Key_Right);
        break;
    default:
        break;
    }
}

void KeyToTab(QWidget* from, Qt::Key key)
{
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (!from || (!enter && key != Qt::Key_Left && key != Qt::Key_Right))
        return;
    const bool forward = key != Qt::Key_Left;
    QWidget* window = from->window();
    QWidget* w = from;
    // Walk the window's focus chain as Tab (or Shift+Tab) would; the controls
    // inside `from` (an open cell editor, say) are not the next control.
    for (;;) {
        w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
        if (!w || w == from)
            return;
        if (from->isAncestorOf(w))
            continue;
        if (takesTabFocus(w, window)) {
            w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

QString DefaultHomePageAddress()
{
    // A placeholder on a reserved domain: the real address is set per installation.
    return QStringLiteral("https://support.tallox.example/");
}

QString HomePageAddress()
{
    const auto settings = UserSettings();
    const QString stored = settings->value(QStringLiteral("General/HomePage")).toString().trimmed();
    return stored.isEmpty() ? DefaultHomePageAddress() : stored;
}

void GoHomePage()
{
    if (MsgQuestion(QCoreApplication::translate("Utils", "고객지원센터 홈페이지로 이동하시겠습니까?"), QString(),
                    true) != MsgAnswer::Yes)
        return;
    OpenUrl(QUrl::fromUserInput(HomePageAddress()));
}

QStringList CalculatorCandidates()
{
    return {QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"), QStringLiteral("galculator"),
            QStringLiteral("qalculate-gtk"), QStringLiteral("xcalc")};
}

bool StartCalculator()
{
    for (const QString& name : CalculatorCandidates()) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty() && StartProgram(path))
            return true;
    }
    return false;
}

bool OpenUrl(const QUrl& url)
{
    if (launch().enabled) {
        launch().urls.append(url);
        return true;
    }
    return QDesktopServices::openUrl(url);
}

bool StartProgram(const QString& program, const QStringList& arguments)
{
    if (launch().enabled) {
        launch().programs.append(program);
        return true;
    }
    return QProcess::startDetached(program, arguments);
}

namespace LaunchHook {
void enable()
{
    launch().enabled = true;
}

void disable()
{
    launch().enabled = false;
}

bool enabled()
{
    return launch().enabled;
}

void reset()
{
    launch().urls.clear();
    launch().programs.clear();
}

const QList<QUrl>& openedUrls()
{
    return launch().urls;
}

const QStringList& startedPrograms()
{
    return launch().programs;
}
} // namespace LaunchHook

void FillPlastra(Database& card, QComboBox* combo)
{
    if (!combo)
        return;
    combo->clear();
    combo->addItem(QString(), 0);
    combo->setCurrentIndex(0);
    QList<CardName> cards;
    ErrorInfo e;
    const bool ok = ListCardNames(card, &cards, &e);
    for (const CardName& c : std::as_const(cards))
        combo->addItem(c.name, c.code);
    combo->setCurrentIndex(0);
    if (!ok)
        ShowError(e);
}

QPushButton* MakeCommandButton(QWidget* parent, const char* name, const QString& caption, const QString& toolTip)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    if (!toolTip.isEmpty())
        b->setToolTip(toolTip);
    b->setAutoDefault(false);
    return b;
}

void CenterForm(QWidget* w, bool takeIcon)
{
    if (!w)
        return;
    if (!w->testAttribute(Qt::WA_Moved)) {
        QScreen* screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
        if (screen) {
            const QRect area = screen->availableGeometry();
            const QSize size = w->frameGeometry().size();
            w->move(area.left() + (area.width() - size.width()) / 2, area.top() + (area.height() - size.height()) / 2);
        }
    }
    if (takeIcon)
        w->setWindowIcon(QApplication::windowIcon());
}

void SetImeMode(bool hangul)
{
    QWidget* focus = QApplication::focusWidget();
    if (!focus)
        return;
    Qt::InputMethodHints hints = focus->inputMethodHints();
    if (hangul)
        hints &= ~(Qt::ImhPreferLatin | Qt::ImhLatinOnly);
    else
        hints |= Qt::ImhPreferLatin;
    focus->setInputMethodHints(hints);
    if (focus->hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImHints);
}
