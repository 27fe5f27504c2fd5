// SPDX-License-Identifier: MIT
#pragma once

#include <QRect>
#include <QSize>
#include <QtGlobal>

class QWidget;

namespace tw {

// Layouts are given in twips, 1/1440 inch: 15 twips a pixel at 96 DPI.
inline constexpr int kTwipsPerInch = 1440;

// Rounds to the nearest pixel at the given dots per inch.
int twipsToPixels(int twips, qreal dpi);

// These use the widget's logical DPI, or the primary screen's when there is no widget.
int twipsToPixelsX(int twips, const QWidget* widget = nullptr);
int twipsToPixelsY(int twips, const QWidget* widget = nullptr);
// Left, top, width and height converted one by one, as the layouts give them.
QRect twipsToPixels(const QRect& twips, const QWidget* widget = nullptr);
QSize twipsToPixels(const QSize& twips, const QWidget* widget = nullptr);

} // namespace tw
