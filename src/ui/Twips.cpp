// SPDX-License-Identifier: MIT
#include "ui/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace tw {
namespace {

constexpr qreal kFallbackDpi = 96;

qreal logicalDpiX(const QWidget* widget)
{
    if (widget)
        return widget->logicalDpiX();
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : kFallbackDpi;
}

qreal logicalDpiY(const QWidget* widget)
{
    if (widget)
        return widget->logicalDpiY();
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchY() : kFallbackDpi;
}

} // namespace

int twipsToPixels(int twips, qreal dpi)
{
    return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

int twipsToPixelsX(int twips, const QWidget* widget)
{
    return twipsToPixels(twips, logicalDpiX(widget));
}

int twipsToPixelsY(int twips, const QWidget* widget)
{
    return twipsToPixels(twips, logicalDpiY(widget));
}

QRect twipsToPixels(const QRect& twips, const QWidget* widget)
{
    return QRect(twipsToPixelsX(twips.left(), widget), twipsToPixelsY(twips.top(), widget),
        twipsToPixelsX(twips.width(), widget), twipsToPixelsY(twips.height(), widget));
}

QSize twipsToPixels(const QSize& twips, const QWidget* widget)
{
    return QSize(twipsToPixelsX(twips.width(), widget), twipsToPixelsY(twips.height(), widget));
}

} // namespace tw
