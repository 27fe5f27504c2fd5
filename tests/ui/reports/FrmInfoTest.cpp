// SPDX-License-Identifier: MIT
// Program details: what each box shows, which boxes are links, and what a click opens or starts.
#include "ui/reports/FrmInfo.h"
#include "TestApplication.h"
#include "inventory/Inventory.h"
#include "ui/main/FrmMain.h"
#include "ui/main/ProgramList.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using namespace tw;

namespace {

const std::string kToolPath = std::string(kUninstallPath) + "Tool";

// A registry with the entry "Tool", and the dialog opened over it for a list row.
struct Details
{
    ~Details()
    {
        if (dialog)
            dialog->close();
    }
    void set(const char* valueName, const std::string& value)
    {
        test.app().session.registry->SaveString(kHKeyLocalMachine, kToolPath, valueName, value);
    }
    void open()
    {
        if (dialog)
            dialog->close();
        dialog = new FrmInfo(
            *test.app().session.registry, test.app().desktop, *test.app().messages,
            [this] { test.window().Show_FormUninstall(); }, row, &test.window());
        dialog->show();
    }
    QLineEdit* box(const char* name) const
    {
        return dialog->findChild<QLineEdit*>(QString::fromLatin1(name));
    }
    void click(const char* name) const { QTest::mouseClick(box(name), Qt::LeftButton); }
    bool isLink(const char* name) const
    {
        QLineEdit* b = box(name);
        const bool blue = b->palette().color(QPalette::Text) == QColor(0, 0, 255);
        const bool hand = b->cursor().shape() == Qt::PointingHandCursor;
        if (b->font().underline() != blue || blue != hand)
            QTest::qFail(name, __FILE__, __LINE__); // half a link
        return hand;
    }

    TestApplication test {
        { { QStringLiteral("Tool"), QStringLiteral("In The Registry"), QStringLiteral("x.exe") } }
    };
    ProgramRow row { "Tool", "Tool From The List", {}, {}, {}, "C:\\tool\\un.exe /x", {} };
    QPointer<FrmInfo> dialog;
};

} // namespace

class FrmInfoTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsTheListRowAndTheEntrysValuesTrimmedAndWebAndMailLinksOpen()
    {
        Details d;
        d.set("Publisher", "  Example Works  ");
        d.set("DisplayVersion", "2.4.1");
        d.set("HelpLink", "  https://example.com/help?topic=1  ");
        d.set("URLInfoAbout", "www.example.com/support");
        d.set("Contact", "Help Desk");
        d.open();
        // The list row's three values are not read again, even where the registry now differs.
        const QStringList expected = { QStringLiteral("Tool From The List"), QStringLiteral("Tool"),
            QStringLiteral("C:\\tool\\un.exe /x"), QStringLiteral("Example Works"), QStringLiteral("2.4.1"),
            QStringLiteral("https://example.com/help?topic=1"), QStringLiteral("www.example.com/support"),
            QStringLiteral("Help Desk") };
        QStringList shown;
        for (const char* name : { "TxtDName", "TxtRName", "TxtUString", "TxtPublisher", "TxtDVersion",
                 "TxtHLink", "TxtUIAbout", "TxtContact" })
            shown << d.box(name)->text();
        QCOMPARE(shown, expected);
        QVERIFY(d.isLink("TxtUString") && d.isLink("TxtHLink") && d.isLink("TxtUIAbout"));
        QVERIFY(!d.isLink("TxtPublisher") && !d.isLink("TxtContact"));

        d.click("TxtHLink");
        d.click("TxtUIAbout");
        d.set("URLInfoAbout", "mailto:support@example.com");
        d.open();
        d.click("TxtUIAbout");
        QCOMPARE(d.test.desktop.opened(),
            QList<QUrl>({ QUrl(QStringLiteral("https://example.com/help?topic=1")),
                QUrl(QStringLiteral("http://www.example.com/support")),
                QUrl(QStringLiteral("mailto:support@example.com")) }));
    }

    void missingValuesShowNAAndNothingButAWebAddressOpens()
    {
        Details d;
        d.row.uninstallCommand.clear();
        d.set("Publisher", "   ");
        d.set("HelpLink", "C:\\Windows\\system32\\cmd.exe");
        d.set("URLInfoAbout", "N/A"); // the value itself, not a missing one
        d.open();
        for (const char* name : { "TxtUString", "TxtPublisher", "TxtDVersion", "TxtUIAbout", "TxtContact" })
            QCOMPARE(d.box(name)->text(), QStringLiteral("N/A"));
        QCOMPARE(d.box("TxtHLink")->text(), QStringLiteral("C:\\Windows\\system32\\cmd.exe"));
        QVERIFY(!d.isLink("TxtUString") && !d.isLink("TxtHLink") && !d.isLink("TxtUIAbout"));
        for (const char* name : { "TxtUString", "TxtHLink", "TxtUIAbout" })
            d.click(name);
        QCOMPARE(d.test.desktop.opened(), QList<QUrl>());
        QCOMPARE(d.test.messages.calls().size(), 0);
    }

    void aClickOnTheUninstallCommandAsksThenUninstallsAsTheMainWindowDoes()
    {
        Details d;
        d.set("UninstallString",
            "\"" TIDEWELL_TEST_UNINSTALLER "\" remove \"" + d.test.registryFile().toStdString() + "\" Tool");
        FrmMain& w = d.test.window();
        w.mnu_refresh_Click();
        w.list().selectPosition(0);
        d.row = *w.list().selectedProgram();
        d.open();

        d.test.messages.answer(MsgButton::No);
        d.click("TxtUString");
        QVERIFY(d.dialog->isVisible());
        QCOMPARE(d.test.uninstallLog(), QString());
        QCOMPARE(w.list().rowCount(), 1);

        d.test.messages.answer(MsgButton::Yes);
        d.click("TxtUString");
        QTRY_VERIFY(d.dialog.isNull() || !d.dialog->isVisible());
        QTRY_COMPARE(d.test.uninstallLog(),
            QStringLiteral("06/12/2026 10:00:00\r\nUninstalling In The Registry\r\nUninstall OK. Uninstaller "
                           "removed program from the list.\r\n"));
        QCOMPARE(w.list().rowCount(), 0);
    }
};

QTEST_MAIN(FrmInfoTest)
#include "FrmInfoTest.moc"
