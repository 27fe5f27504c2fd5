// SPDX-License-Identifier: MIT
#include "ui/IconDecoder.h"

#include <QBuffer>
#include <QFile>
#include <QTest>
#include <QtEndian>

using namespace tw;

namespace {

icons::IconImage imageOf(icons::IconImage::Format format, int width, int height, const QByteArray& data)
{
    icons::IconImage image;
    image.format = format;
    image.width = width;
    image.height = height;
    image.data.assign(data.begin(), data.end());
    return image;
}

// Entry `n` of an .ico file's directory, as the icon extractor hands a resource image over: the bare
// image without the directory.
icons::IconImage icoEntry(const QByteArray& ico, int n)
{
    const auto* entry = reinterpret_cast<const uchar*>(ico.constData()) + 6 + 16 * n;
    const int width = entry[0] ? entry[0] : 256;
    const int height = entry[1] ? entry[1] : 256;
    const auto size = qFromLittleEndian<quint32>(entry + 8);
    const auto offset = qFromLittleEndian<quint32>(entry + 12);
    const QByteArray data = ico.mid(offset, size);
    const bool png = data.startsWith("\x89PNG");
    return imageOf(png ? icons::IconImage::Format::Png : icons::IconImage::Format::Dib, width, height, data);
}

QImage sample(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            image.setPixel(x, y, qRgba(x * 255 / size, y * 255 / size, 90, x < size / 2 ? 255 : 0));
    return image;
}

} // namespace

class IconDecoderTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decodesEveryImageOfARealIconGroup()
    {
        QFile file(QStringLiteral(TIDEWELL_TEST_DATA "/wine/uninst-group103.ico"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray ico = file.readAll();
        // 32 px at 4 bits, 16 px at 4 bits, 256 px as PNG, then 48, 32 and 16 px at 8 bits.
        const int sizes[] = { 32, 16, 256, 48, 32, 16 };
        for (int n = 0; n < 6; ++n) {
            const QImage image = decodeIconImage(icoEntry(ico, n));
            QVERIFY2(!image.isNull(), qPrintable(QString::number(n)));
            QCOMPARE(image.size(), QSize(sizes[n], sizes[n]));
        }
        // The 4-bit and the 8-bit 32 px images are the same picture.
        const QImage four = decodeIconImage(icoEntry(ico, 0)).convertToFormat(QImage::Format_ARGB32);
        const QImage eight = decodeIconImage(icoEntry(ico, 4)).convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(four.pixel(16, 16) == 0, eight.pixel(16, 16) == 0);
    }

    void keepsColoursAndTransparencyOfA32BitImage()
    {
        // Qt writes the .ico; what follows its directory is the image as a resource holds it.
        const QImage original = sample(32);
        QByteArray ico;
        QBuffer buffer(&ico);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(original.save(&buffer, "ICO"));
        const QImage decoded = decodeIconImage(icoEntry(ico, 0)).convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(decoded.size(), QSize(32, 32));
        QCOMPARE(decoded.pixel(3, 5), original.pixel(3, 5));
        QCOMPARE(qAlpha(decoded.pixel(20, 5)), 0);
    }

    void readsBgraAndRefusesDamagedImages()
    {
        using F = icons::IconImage::Format;
        // Blue, then half-transparent red. (PNG: the real group's 256 px image above.)
        const QByteArray bgra("\xff\x00\x00\xff\x00\x00\xff\x80", 8);
        const QImage two = decodeIconImage(imageOf(F::Bgra, 2, 1, bgra));
        QCOMPARE(two.pixel(0, 0), qRgba(0, 0, 255, 255));
        QCOMPARE(two.pixel(1, 0), qRgba(255, 0, 0, 0x80));

        QVERIFY(decodeIconImage(imageOf(F::Bgra, 2, 2, QByteArray(15, '\0'))).isNull());
        QVERIFY(decodeIconImage(imageOf(F::Bgra, 0, 0, {})).isNull());
        QVERIFY(decodeIconImage(imageOf(F::Dib, 32, 32, QByteArray(12, '\x01'))).isNull());
        QVERIFY(decodeIconImage(imageOf(F::Png, 16, 16, QByteArray("\x89PNG\r\n", 6))).isNull());
    }

    void fitsImagesToTheListSizes()
    {
        QCOMPARE(fitIcon(sample(48), 32).size(), QSize(32, 32));
        QCOMPARE(fitIcon(sample(32), 32).toImage().convertToFormat(QImage::Format_ARGB32).pixel(3, 5),
            sample(32).pixel(3, 5));
        QVERIFY(fitIcon(QImage(), 16).isNull());
    }
};

QTEST_MAIN(IconDecoderTest)
#include "IconDecoderTest.moc"
