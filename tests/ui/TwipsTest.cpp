// SPDX-License-Identifier: MIT
#include "ui/Twips.h"

#include <QTest>
#include <QWidget>

using namespace tw;

class TwipsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shouldConvertAtTheGivenDpi_data();
    void shouldConvertAtTheGivenDpi();
    void shouldConvertRectsAndSizesAtTheWidgetsDpi();
};

void TwipsTest::shouldConvertAtTheGivenDpi_data()
{
    QTest::addColumn<int>("twips");
    QTest::addColumn<qreal>("dpi");
    QTest::addColumn<int>("pixels");

    QTest::newRow("main window width at 96 dpi") << 10920 << 96.0 << 728;
    QTest::newRow("main window height at 96 dpi") << 7905 << 96.0 << 527;
    QTest::newRow("one pixel") << 15 << 96.0 << 1;
    QTest::newRow("just under half a pixel rounds down") << 7 << 96.0 << 0;
    QTest::newRow("just over half a pixel rounds up") << 8 << 96.0 << 1;
    QTest::newRow("exactly half rounds up") << 7905 << 144.0 << 791;
    QTest::newRow("scaled to 120 dpi") << 10920 << 120.0 << 910;
    QTest::newRow("nothing") << 0 << 96.0 << 0;
}

void TwipsTest::shouldConvertAtTheGivenDpi()
{
    QFETCH(int, twips);
    QFETCH(qreal, dpi);
    QFETCH(int, pixels);

    QCOMPARE(twipsToPixels(twips, dpi), pixels);
}

void TwipsTest::shouldConvertRectsAndSizesAtTheWidgetsDpi()
{
    // Given: whole inches, which are whole multiples of the DPI on any screen
    QWidget widget;
    const int dpiX = widget.logicalDpiX();
    const int dpiY = widget.logicalDpiY();

    // Then: width and height are lengths of their own, not right and bottom edges
    QCOMPARE(twipsToPixels(QRect(2880, 1440, 1440, 4320), &widget), QRect(2 * dpiX, dpiY, dpiX, 3 * dpiY));
    QCOMPARE(twipsToPixels(QSize(4320, 1440), &widget), QSize(3 * dpiX, dpiY));
}

QTEST_MAIN(TwipsTest)
#include "TwipsTest.moc"
