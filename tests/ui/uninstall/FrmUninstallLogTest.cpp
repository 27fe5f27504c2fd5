// SPDX-License-Identifier: MIT
// The uninstall log viewer: what it shows for each kind of file, Delete, and the copy it saves and prints.
#include "ui/uninstall/FrmUninstallLog.h"

#include "../reports/PdfText.h"
#include "TestApplication.h"
#include "ui/main/FrmMain.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

using namespace tw;
using namespace tw::test;

namespace {

const QByteArray kTitle = "Unintsall Log : Tidewell Version: 1.0.6\r\nDate: 06/12/2026 10:00:00\r\n\r\n";

QString logPath(TestApplication& test)
{
    return QString::fromStdString(test.app().context.logPath);
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        QFAIL("cannot write the test file");
    f.write(bytes);
}

QPlainTextEdit* box(QWidget* dialog)
{
    return dialog->findChild<QPlainTextEdit*>(QStringLiteral("txtLog"));
}

} // namespace

class FrmUninstallLogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsTheLinesOfTheFile_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("no log yet") << false << QByteArray() << QString() << QByteArray("\r\n");
        QTest::newRow("empty file") << true << QByteArray() << QString() << QByteArray("\r\n");
        QTest::newRow("CR LF ends") << true << QByteArray("06/12/2026 09:00:00\r\nUninstalling Old Tool\r\n")
                                    << QStringLiteral("06/12/2026 09:00:00\nUninstalling Old Tool")
                                    << QByteArray("06/12/2026 09:00:00\r\nUninstalling Old Tool\r\n");
        QTest::newRow("ends with an empty line") << true << QByteArray("a\r\nb\r\n\r\n")
                                                 << QStringLiteral("a\nb\n") << QByteArray("a\r\nb\r\n\r\n");
        QTest::newRow("no end at the last line")
            << true << QByteArray("a\r\n\r\nb") << QStringLiteral("a\n\nb") << QByteArray("a\r\n\r\nb\r\n");
        QTest::newRow("CR alone ends a line")
            << true << QByteArray("a\rb\r\rc\r") << QStringLiteral("a\nb\n\nc")
            << QByteArray("a\r\nb\r\n\r\nc\r\n");
        QTest::newRow("code page") << true << QByteArray("Deleted Entry for Caf\xe9 Menu Planner\r\n")
                                   << QStringLiteral("Deleted Entry for Caf\u00e9 Menu Planner")
                                   << QByteArray("Deleted Entry for Caf\xe9 Menu Planner\r\n");
        // The copy holds the bytes as read: a no-break space stays one, a lone LF stays inside its line.
        QTest::newRow("no-break space and lone LF")
            << true << QByteArray("Old\xa0Tool\r\nsplit\nline\r\n") << QStringLiteral("Old Tool\nsplit\nline")
            << QByteArray("Old\xa0Tool\r\nsplit\nline\r\n");
    }

    void showsTheLinesOfTheFile()
    {
        QFETCH(bool, exists);
        QFETCH(QByteArray, file);
        QFETCH(QString, shown);
        QFETCH(QByteArray, saved);
        TestApplication test({});
        if (exists)
            writeFile(logPath(test), file);
        QPointer<FrmUninstallLog> dialog
            = new FrmUninstallLog(test.app().context, *test.app().messages, test.app().clock, &test.window());
        QCOMPARE(box(dialog)->toPlainText(), shown);
        QVERIFY(box(dialog)->isReadOnly());
        QCOMPARE(test.messages.calls().size(), 0);

        const QString copy = test.folder() + QStringLiteral("/copy.txt");
        QVERIFY(dialog->saveFile(copy));
        QCOMPARE(fileBytes(copy), kTitle + saved);
        QCOMPARE(fileBytes(logPath(test)), file);
        delete dialog;
    }

    void deleteAsksFirstAndEmptiesTheBoxAndSaveReportsAFailure()
    {
        TestApplication test({});
        const QByteArray log = "06/12/2026 09:00:00\r\nDeleted Entry for Old Tool\r\n";
        writeFile(logPath(test), log);
        QPointer<FrmUninstallLog> dialog
            = new FrmUninstallLog(test.app().context, *test.app().messages, test.app().clock, &test.window());
        dialog->show();

        test.messages.answer(MsgButton::No);
        clickButton(dialog, "CmdDelete");
        QCOMPARE(test.messages.calls().last().text,
            QStringLiteral("Are you sure you want to clear all the information?"));
        QCOMPARE(test.messages.calls().last().buttons, (MsgButtons { MsgButton::Yes, MsgButton::No }));
        QCOMPARE(fileBytes(logPath(test)), log);
        QCOMPARE(
            box(dialog)->toPlainText(), QStringLiteral("06/12/2026 09:00:00\nDeleted Entry for Old Tool"));

        test.messages.answer(MsgButton::Yes);
        clickButton(dialog, "CmdDelete");
        QVERIFY(!QFile::exists(logPath(test)));
        QCOMPARE(box(dialog)->toPlainText(), QString());
        QVERIFY(dialog->isVisible());

        // Deleting again finds no file, which is no error; saving now gives the empty box's line.
        test.messages.answer(MsgButton::Yes);
        clickButton(dialog, "CmdDelete");
        QCOMPARE(test.messages.unexpectedCalls(), 0);
        const QString copy = test.folder() + QStringLiteral("/copy.txt");
        test.messages.answerSaveFile(copy);
        clickButton(dialog, "CmdSave");
        QCOMPARE(fileBytes(copy), kTitle + "\r\n");

        // A save that fails is reported with the log viewer's text.
        test.messages.answer(MsgButton::Ok);
        QVERIFY(!dialog->saveFile(test.folder() + QStringLiteral("/missing/copy.txt")));
        QVERIFY(test.messages.calls().last().text.startsWith(
            QStringLiteral("Error occurred Uninstall Log Save File: \r\nCannot save ")));
        dialog->close();
    }

    void printsTheTitleDateAndLog()
    {
        if (!havePdfToText())
            QFAIL("pdftotext (poppler-utils) is needed to read the printed pages back");
        TestApplication test({});
        writeFile(logPath(test),
            "06/12/2026 09:00:00\r\nUninstalling Old Tool\r\n"
            "Uninstall OK. Uninstaller removed program from the list.\r\n");
        PdfPrintingMessages messages(test.folder() + QStringLiteral("/log.pdf"));
        test.app().messages = &messages;
        QPointer<FrmUninstallLog> dialog
            = new FrmUninstallLog(test.app().context, *test.app().messages, test.app().clock, &test.window());
        dialog->show();
        messages.answerPrint(true);
        clickButton(dialog, "CmdPrint");
        QCOMPARE(messages.unexpectedCalls(), 0);
        const QList<PdfLine> lines = pdfLines(messages.pdf());
        QCOMPARE(texts(lines),
            (QStringList { QStringLiteral("Unintsall Log : Tidewell Version: 1.0.6"),
                QStringLiteral("Date: 06/12/2026 10:00:00"), QStringLiteral("06/12/2026 09:00:00"),
                QStringLiteral("Uninstalling Old Tool"),
                QStringLiteral("Uninstall OK. Uninstaller removed program from the list.") }));
        // The empty line after the date is printed as such.
        const qreal step = lines[1].top - lines[0].top;
        QVERIFY(qAbs(lines[2].top - lines[1].top - 2 * step) < step / 2);

        dialog->close();
        PdfPrintingMessages nowhere(test.folder() + QStringLiteral("/missing/log.pdf"));
        test.app().messages = &nowhere;
        dialog
            = new FrmUninstallLog(test.app().context, *test.app().messages, test.app().clock, &test.window());
        dialog->show();
        nowhere.answerPrint(true);
        nowhere.answer(MsgButton::Ok);
        clickButton(dialog, "CmdPrint");
        QVERIFY(nowhere.calls().last().text.startsWith(
            QStringLiteral("Error Occurred Uninstall Log printFile: Cannot write ")));
        dialog->close();
    }
};

QTEST_MAIN(FrmUninstallLogTest)
#include "FrmUninstallLogTest.moc"
