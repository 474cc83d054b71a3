#include "gui/grid/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace {
double dpi(bool horizontal)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    double v = screen ? (horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY()) : 96.0;
    return v > 0 ? v : 96.0;
}
} // namespace

double TwipsPerPixelX()
{
    return 1440.0 / dpi(true);
}

double TwipsPerPixelY()
{
    return 1440.0 / dpi(false);
}

int TwipsToPixelsX(double twips)
{
    return int(std::lround(twips / TwipsPerPixelX()));
}

int TwipsToPixelsY(double twips)
{
    return int(std::lround(twips / TwipsPerPixelY()));
}

double PixelsToTwipsX(int pixels)
{
    return pixels * TwipsPerPixelX();
}

double PixelsToTwipsY(int pixels)
{
    return pixels * TwipsPerPixelY();
}
