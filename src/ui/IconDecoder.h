// SPDX-License-Identifier: MIT
#pragma once

#include "inventory/IconExtractor.h"

#include <QImage>
#include <QPixmap>

namespace tw {

// One image the icon extractor handed over, as a QImage; a null image when it cannot be decoded.
QImage decodeIconImage(const icons::IconImage& image);

// The image at exactly size x size pixels, as the image lists hold them.
QPixmap fitIcon(const QImage& image, int size);

} // namespace tw
