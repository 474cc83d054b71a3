#include "gui/toolkit/FormIni.h"

#include "data/base/Money.h"
#include "data/books/AppPaths.h"
#include "gui/grid/SpreadGrid.h"
#include "gui/grid/Twips.h"
#include "gui/toolkit/Messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>
#include <cmath>
#include <optional>

namespace {

const QString kModule = QStringLiteral("modFormIni");

// Private-profile names are case-insensitive: find the stored spelling.
QString findName(const QStringList& names, const QString& wanted)
{
    for (const QString& n : names)
        if (n.compare(wanted, Qt::CaseInsensitive) == 0)
            return n;
    return QString();
}

// The value of section/key as the layout file gives it: the first nine
// characters, trimmed; empty when missing.
QString readValue(QSettings& ini, const QString& section, const QString& key)
{
    const QString group = findName(ini.childGroups(), section);
    if (group.isEmpty())
        return QString();
    ini.beginGroup(group);
    const QString k = findName(ini.childKeys(), key);
    QString v = k.isEmpty() ? QString() : ini.value(k).toString();
    ini.endGroup();
    return v.left(9).trimmed();
}

std::optional<double> asNumber(const QString& text)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

// Sizes a layout file may set: anything beyond is another program's or a
// damaged file's, and would hang the grid or hide the window.
constexpr double kMaxColWidthChars = 200;
constexpr double kMinFontPoints = 6;
constexpr double kMaxFontPoints = 40;
constexpr double kMaxRowHeightPoints = 100;

// Keeps the window whole on the screen it is on (or the primary one).
void keepOnScreen(QWidget* window)
{
    QScreen* screen = QGuiApplication::screenAt(window->geometry().center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = window->size().boundedTo(area.size()).expandedTo(window->minimumSize());
    window->resize(size);
    const int x =
        qBound(area.left(), window->x(), qMax(area.left(), area.right() + 1 - window->frameGeometry().width()));
    const int y =
        qBound(area.top(), window->y(), qMax(area.top(), area.bottom() + 1 - window->frameGeometry().height()));
    window->move(x, y);
}

// Creates the FormIni folder when missing; reports the failure as the
// procedure's error.
bool EnsureFolder(const QString& procedure)
{
    const QString folder = AppPaths::formIniFolder();
    if (QFileInfo(folder).isDir() || QDir().mkpath(folder))
        return true;
    MsgProcError(ErrorInfo(ErrorCode::PathNotFound), procedure, kModule);
    return false;
}

// Writes section/key = value, keeping the stored spelling of names already there.
bool WriteValue(const QString& path, const QString& section, const QString& key, const QString& value,
                const QString& procedure)
{
    QSettings ini(path, QSettings::IniFormat);
    QString group = findName(ini.childGroups(), section);
    if (group.isEmpty())
        group = section;
    ini.beginGroup(group);
    QString k = findName(ini.childKeys(), key);
    if (k.isEmpty())
        k = key;
    ini.setValue(k, value);
    ini.endGroup();
    ini.sync();
    if (ini.status() != QSettings::NoError) {
        MsgProcError(ErrorInfo(ErrorCode::FileAccess), procedure, kModule);
        return false;
    }
    return true;
}

QString widthText(double w)
{
    return QString::number(w, 'g', 10);
}

} // namespace

QString FormIniPath(const QString& windowName)
{
    return AppPaths::formIniFolder() + QLatin1Char('/') + windowName + QStringLiteral(".ini");
}

void LoadFormIni(QWidget* window)
{
    if (!window)
        return;
    const QString path = FormIniPath(window->objectName());
    if (!QFileInfo::exists(path))
        return;
    {
        QSettings ini(path, QSettings::IniFormat);
        const QString section = QStringLiteral("FormPosition");
        QPoint pos = window->pos();
        QSize size = window->size();
        // Twips beyond any screen are cut first, so that the pixel sizes stay in range.
        constexpr double kTwipsLimit = 1e6;
        if (auto v = asNumber(readValue(ini, section, QStringLiteral("Left"))))
            pos.setX(TwipsToPixelsX(qBound(-kTwipsLimit, *v, kTwipsLimit)));
        if (auto v = asNumber(readValue(ini, section, QStringLiteral("Top"))))
            pos.setY(TwipsToPixelsY(qBound(-kTwipsLimit, *v, kTwipsLimit)));
        if (auto v = asNumber(readValue(ini, section, QStringLiteral("Width"))); v && *v > 0)
            size.setWidth(TwipsToPixelsX(qMin(*v, kTwipsLimit)));
        if (auto v = asNumber(readValue(ini, section, QStringLiteral("Height"))); v && *v > 0)
            size.setHeight(TwipsToPixelsY(qMin(*v, kTwipsLimit)));
        window->move(pos);
        window->resize(size);
        keepOnScreen(window);
        if (auto v = asNumber(readValue(ini, section, QStringLiteral("WindowState")))) {
            const int state = int(*v);
            if (state == 2)
                window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
            else if (state == 0)
                window->setWindowState(window->windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized));
        }
    }
    const QList<SpreadGrid*> grids = window->findChildren<SpreadGrid*>();
    for (SpreadGrid* grid : grids)
        if (grid->maxCols() > 2)
            LoadSpreadIni(grid, path);
}

void LoadSpreadIni(SpreadGrid* grid, const QString& path)
{
    if (!grid || !QFileInfo::exists(path))
        return;
    QSettings ini(path, QSettings::IniFormat);
    const QString name = grid->objectName();
    const QString widths = name + QStringLiteral("_ColsWidth");
    for (int c = 1; c <= grid->maxCols(); ++c)
        if (auto v = asNumber(readValue(ini, widths, QString::number(c))); v && *v >= 0)
            grid->setColWidth(c, qMin(*v, kMaxColWidthChars));
    const QString general = name + QStringLiteral("_General");
    const double font = leadingNumber(readValue(ini, general, QStringLiteral("FontSize")));
    if (font > 0) {
        grid->setFontSize(-1, -1, qBound(kMinFontPoints, font, kMaxFontPoints));
        grid->setFontSize(-1, 0, 10);
    }
    const double height = leadingNumber(readValue(ini, general, QStringLiteral("RowHeight")));
    if (height > 0 && std::isfinite(height)) {
        const double h = qMin(height, kMaxRowHeightPoints);
        grid->setRowHeight(-1, h);
        grid->setRowHeight(0, h + 2);
    }
}

void SaveFormIni(QWidget* window)
{
    if (!window || !window->isVisible() || (window->windowState() & Qt::WindowMinimized))
        return;
    if (!EnsureFolder(QStringLiteral("SaveFormIni")))
        return;
    const QString path = FormIniPath(window->objectName());
    const bool maximized = window->windowState() & Qt::WindowMaximized;
    QSettings ini(path, QSettings::IniFormat);
    QString group = findName(ini.childGroups(), QStringLiteral("FormPosition"));
    if (group.isEmpty())
        group = QStringLiteral("FormPosition");
    ini.beginGroup(group);
    auto put = [&ini](const QString& key, const QString& value) {
        QString k = findName(ini.childKeys(), key);
        ini.setValue(k.isEmpty() ? key : k, value);
    };
    put(QStringLiteral("WindowState"), QString::number(maximized ? 2 : 0));
    if (!maximized) {
        put(QStringLiteral("Left"), QString::number(qRound(PixelsToTwipsX(window->x()))));
        put(QStringLiteral("Top"), QString::number(qRound(PixelsToTwipsY(window->y()))));
        put(QStringLiteral("Width"), QString::number(qRound(PixelsToTwipsX(window->width()))));
        put(QStringLiteral("Height"), QString::number(qRound(PixelsToTwipsY(window->height()))));
    }
    ini.endGroup();
    ini.sync();
    if (ini.status() != QSettings::NoError)
        MsgProcError(ErrorInfo(ErrorCode::FileAccess), QStringLiteral("SaveFormIni"), kModule);
}

void SaveSpreadIni_Col(QWidget* window, SpreadGrid* grid, int col)
{
    if (!window || !grid || !grid->isVisible())
        return;
    const QString procedure = QStringLiteral("SaveSpreadIni_Col");
    if (!EnsureFolder(procedure))
        return;
    WriteValue(FormIniPath(window->objectName()), grid->objectName() + QStringLiteral("_ColsWidth"),
               QString::number(col), widthText(grid->colWidth(col)), procedure);
}

void SaveSpreadIni_Gn(QWidget* window, SpreadGrid* grid, const QString& key, const QString& value)
{
    if (!window || !grid)
        return;
    const QString procedure = QStringLiteral("SaveSpreadIni_Gn");
    if (!EnsureFolder(procedure))
        return;
    WriteValue(FormIniPath(window->objectName()), grid->objectName() + QStringLiteral("_General"), key, value,
               procedure);
}

void SaveLayoutValue(QWidget* window, const QString& section, const QString& key, const QString& value,
                     const QString& procedure)
{
    if (!window || !EnsureFolder(procedure))
        return;
    WriteValue(FormIniPath(window->objectName()), section, key, value, procedure);
}

QString LayoutWidthText(double width)
{
    return widthText(width);
}

void DelFormIni(const QString& windowName)
{
    const QString path = FormIniPath(windowName);
    if (!QFileInfo::exists(path))
        return;
    QFile f(path);
    if (!f.remove())
        MsgProcError(ErrorInfo(ErrorCode::FileAccess), QStringLiteral("DelFormIni"), kModule);
}
