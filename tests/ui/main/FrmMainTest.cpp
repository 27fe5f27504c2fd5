// SPDX-License-Identifier: MIT
#include "ui/main/FrmMain.h"
#include "ScriptedMessageService.h"
#include "ui/Twips.h"

#include <QScreen>
#include <QStatusBar>
#include <QTest>

using namespace tw;

class FrmMainTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shouldHaveAFixedFrameWithoutMaximize();
    void shouldOpenCentredOnTheScreen();
};

void FrmMainTest::shouldHaveAFixedFrameWithoutMaximize()
{
    // Given
    ScriptedMessageService messages;

    // When
    FrmMain window(QStringLiteral("Tidewell"), messages);

    // Then
    QCOMPARE(window.objectName(), QStringLiteral("FrmMain"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Tidewell"));
    const Qt::WindowFlags flags = window.windowFlags();
    QVERIFY2(flags.testFlag(Qt::CustomizeWindowHint), "without it the platform adds a maximize button");
    QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    const QSize client = twipsToPixels(QSize(10920, 7905), &window);
    QCOMPARE(window.minimumSize(), client);
    QCOMPARE(window.maximumSize(), client);
    QVERIFY(window.findChild<QStatusBar*>(QStringLiteral("StatusBar")));
    QCOMPARE(messages.calls().size(), 0);
}

void FrmMainTest::shouldOpenCentredOnTheScreen()
{
    // Given
    ScriptedMessageService messages;
    FrmMain window(QStringLiteral("Tidewell"), messages);

    // When
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // Then
    QCOMPARE(window.frameGeometry().center(), window.screen()->availableGeometry().center());
    QCOMPARE(window.size(), twipsToPixels(QSize(10920, 7905), &window));
}

QTEST_MAIN(FrmMainTest)
#include "FrmMainTest.moc"
