// SPDX-License-Identifier: MIT
#include "ui/IconDecoder.h"

#include <QByteArray>
#include <QtEndian>

#include <cstring>

namespace tw {
namespace {

constexpr int kIconDirSize = 6;
constexpr int kIconDirEntrySize = 16;
constexpr int kBitmapInfoHeaderSize = 40;

template<class T> void put(QByteArray& out, T value)
{
    char bytes[sizeof(T)];
    qToLittleEndian(value, bytes);
    out.append(bytes, sizeof(T));
}

quint16 dibBitCount(const std::vector<std::uint8_t>& dib)
{
    if (dib.size() < kBitmapInfoHeaderSize)
        return 0;
    return qFromLittleEndian<quint16>(dib.data() + 14);
}

// Qt reads icon images only inside an .ico file, so the image gets the one-entry directory the
// file would have had around it.
QImage decodeDib(const icons::IconImage& image)
{
    const std::vector<std::uint8_t>& dib = image.data;
    if (dib.size() < kBitmapInfoHeaderSize || image.width <= 0 || image.height <= 0 || image.width > 256
        || image.height > 256)
        return {};
    QByteArray ico;
    ico.reserve(kIconDirSize + kIconDirEntrySize + static_cast<qsizetype>(dib.size()));
    put<quint16>(ico, 0); // reserved
    put<quint16>(ico, 1); // an icon, not a cursor
    put<quint16>(ico, 1); // one image
    ico.append(static_cast<char>(image.width == 256 ? 0 : image.width));
    ico.append(static_cast<char>(image.height == 256 ? 0 : image.height));
    ico.append(char(0)); // colour count: taken from the bitmap header
    ico.append(char(0));
    put<quint16>(ico, 1); // planes
    put<quint16>(ico, dibBitCount(dib));
    put<quint32>(ico, static_cast<quint32>(dib.size()));
    put<quint32>(ico, kIconDirSize + kIconDirEntrySize);
    ico.append(reinterpret_cast<const char*>(dib.data()), static_cast<qsizetype>(dib.size()));
    return QImage::fromData(ico, "ICO");
}

QImage decodeBgra(const icons::IconImage& image)
{
    if (image.width <= 0 || image.height <= 0 || image.width > 4096 || image.height > 4096)
        return {};
    const std::size_t expected = std::size_t(image.width) * std::size_t(image.height) * 4;
    if (image.data.size() != expected)
        return {};
    // Format_ARGB32 is 0xAARRGGBB per pixel, which little-endian memory holds as B, G, R, A.
    QImage out(image.width, image.height, QImage::Format_ARGB32);
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* src = image.data.data() + std::size_t(y) * std::size_t(image.width) * 4;
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < image.width; ++x, src += 4)
            dst[x] = qRgba(src[2], src[1], src[0], src[3]);
    }
    return out;
}

} // namespace

QImage decodeIconImage(const icons::IconImage& image)
{
    switch (image.format) {
    case icons::IconImage::Format::Png:
        return QImage::fromData(
            reinterpret_cast<const uchar*>(image.data.data()), static_cast<int>(image.data.size()), "PNG");
    case icons::IconImage::Format::Dib:
        return decodeDib(image);
    case icons::IconImage::Format::Bgra:
        return decodeBgra(image);
    }
    return {};
}

QPixmap fitIcon(const QImage& image, int size)
{
    if (image.isNull())
        return {};
    if (image.width() == size && image.height() == size)
        return QPixmap::fromImage(image);
    return QPixmap::fromImage(image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

} // namespace tw
