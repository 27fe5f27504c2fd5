// SPDX-License-Identifier: MIT
// New entry: the checks in their order with their messages and focus, the duplicate rules, what is written.
#include "ui/entries/FrmNewEntry.h"
#include "TestApplication.h"
#include "registry/Registry.h"
#include "ui/main/FrmMain.h"
#include "ui/main/ProgramList.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using namespace tw;

namespace {

const QList<TestEntry> kEntries = {
    { QStringLiteral("Quillmark"), QStringLiteral("Quillmark Office"), QStringLiteral("q.exe") },
    TestEntry(QStringLiteral("Hidden"), QStringLiteral("Hidden Runtime"), QStringLiteral("h.exe"))
        .withNoRemove(1),
};

struct Dialog
{
    explicit Dialog(TestApplication& test)
        : window(test.window())
        , dialog(new FrmNewEntry(
              test.app().context, *test.app().session.registry, test.app().session.wineServer.get(),
              *test.app().messages, test.window().list(), [&w = test.window()] { w.mnu_refresh_Click(); },
              &test.window()))
    {
        dialog->show();
        regName = dialog->findChild<QLineEdit*>(QStringLiteral("TxtRegName"));
        displayName = dialog->findChild<QLineEdit*>(QStringLiteral("TxtDiplayName"));
        command = dialog->findChild<QLineEdit*>(QStringLiteral("TxtUninstallString"));
    }
    void ok(const QString& r, const QString& d, const QString& u)
    {
        regName->setText(r);
        displayName->setText(d);
        command->setText(u);
        clickButton(dialog, "CmdOk");
    }

    FrmMain& window;
    QPointer<FrmNewEntry> dialog;
    QLineEdit* regName = nullptr;
    QLineEdit* displayName = nullptr;
    QLineEdit* command = nullptr;
};

} // namespace

class FrmNewEntryTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void emptyFieldsCloseWithoutWriting()
    {
        TestApplication test(kEntries);
        const auto bytes = [&] {
            QFile f(test.registryFile());
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        const QByteArray before = bytes();
        Dialog d(test);
        d.ok(QStringLiteral("   "), QString(), QStringLiteral(" "));
        QTRY_VERIFY(d.dialog.isNull() || !d.dialog->isVisible());
        QVERIFY(test.messages.calls().isEmpty());
        QCOMPARE(bytes(), before);
    }

    void checksRunInOrderSayWhyAndPutTheFocusOnTheField()
    {
        TestApplication test(kEntries);
        Dialog d(test);
        d.dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(d.dialog));
        const QString name = QStringLiteral("Name"), command = QStringLiteral("cmd.exe");
        const struct
        {
            QString r, dn, u, message;
            QLineEdit* Dialog::*field;
        } cases[] = {
            { {}, name, {}, QStringLiteral("Please Enter a value for the Registry Entry Name"),
                &Dialog::regName },
            { QStringLiteral("New"), {}, command,
                QStringLiteral("Please enter a value for the Display Name "), &Dialog::displayName },
            { QStringLiteral("New"), name, {},
                QStringLiteral("Please enter a value for the uninstall String"), &Dialog::command },
            // A refused key name is selected, to be typed over.
            { QStringLiteral("QUILLMARK"), name, command,
                QStringLiteral("This key name already exist in the list. Please enter another key name."),
                &Dialog::regName },
            { QStringLiteral("A\\B"), name, command,
                QStringLiteral("The Registry Entry Name cannot contain a backslash (\\). Please enter "
                               "another key name."),
                &Dialog::regName },
            { QString(256, QLatin1Char('k')), name, command,
                QStringLiteral(
                    "The Registry Entry Name is longer than 255 characters. Please enter a shorter key "
                    "name."),
                &Dialog::regName },
            { QStringLiteral("hidden"), name, command,
                QStringLiteral(
                    "An entry with this key name already exists in the registry, although the list "
                    "does not show it. Please enter another key name."),
                &Dialog::regName },
        };
        for (const auto& c : cases) {
            test.messages.answer(MsgButton::Ok);
            d.ok(c.r, c.dn, c.u);
            const ScriptedMessageService::Call& call = test.messages.calls().last();
            QCOMPARE(call.text, c.message);
            QCOMPARE(call.icon, MsgIcon::Information);
            QCOMPARE(call.title, QStringLiteral("Tidewell"));
            QCOMPARE(QApplication::focusWidget(), d.*c.field);
            QCOMPARE(d.regName->selectedText(), c.field == &Dialog::regName ? c.r : QString());
            QVERIFY(d.dialog->isVisible());
        }
        QCOMPARE(test.value(QStringLiteral("Hidden"), QStringLiteral("DisplayName")),
            QStringLiteral("Hidden Runtime"));
        QCOMPARE(test.window().list().rowCount(), 1);
    }

    void trimmedTextsAreWrittenWithTheirNulAndTheListShowsTheEntry()
    {
        TestApplication test(kEntries);
        Dialog d(test);
        // The same display name as a listed program is fine: the registry name differs.
        d.ok(QStringLiteral("  NewTool "), QStringLiteral(" Quillmark Office  "),
            QStringLiteral(" \"C:\\t\\u.exe\" /S "));
        QVERIFY(test.messages.calls().isEmpty());
        QTRY_VERIFY(d.dialog.isNull() || !d.dialog->isVisible());
        QCOMPARE(test.value(QStringLiteral("NewTool"), QStringLiteral("DisplayName")),
            QStringLiteral("Quillmark Office"));
        QCOMPARE(test.value(QStringLiteral("NewTool"), QStringLiteral("UninstallString")),
            QStringLiteral("\"C:\\t\\u.exe\" /S"));
        RegKey k = 0;
        RegistryApi& api = *test.app().session.registryApi;
        QCOMPARE(api.RegOpenKeyExA(kHKeyLocalMachine,
                     "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\NewTool", 0, kKeyRead, &k),
            kErrorSuccess);
        std::uint32_t size = 0;
        api.RegQueryValueExA(k, "DisplayName", nullptr, nullptr, nullptr, &size);
        api.RegCloseKey(k);
        QCOMPARE(size, std::uint32_t(sizeof("Quillmark Office")));
        QCOMPARE(test.window().list().rowCount(), 2);
    }
};

QTEST_MAIN(FrmNewEntryTest)
#include "FrmNewEntryTest.moc"
