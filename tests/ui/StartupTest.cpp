// SPDX-License-Identifier: MIT
#include "ScriptedMessageService.h"
#include "app/ModMain.h"
#include "ui/main/FrmMain.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tw;

class StartupTest : public QObject
{
    Q_OBJECT

private:
    static QString copyWineRegistry(const QTemporaryDir& dir)
    {
        const QString target = dir.filePath(QStringLiteral("system.reg"));
        QFile::copy(QStringLiteral(TIDEWELL_TEST_DATA "/wine/system-uninstall-excerpt.reg"), target);
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
        return target;
    }

private Q_SLOTS:
    void opensTheRegistryNamedOnTheCommandLineAndShowsTheWindow()
    {
        QTemporaryDir dir;
        const QString file = copyWineRegistry(dir);
        ScriptedMessageService messages;
        int exitCode = -1;
        const auto app
            = Main({ QStringLiteral("tidewell"), QStringLiteral("--registry"), file }, messages, exitCode);
        QVERIFY(app);
        QCOMPARE(exitCode, 0);
        QCOMPARE(QString::fromStdString(app->context.registryFile), file);
        QVERIFY(app->mainWindow->isVisible());
        // The test program's folder is writable, so the log lives there.
        QCOMPARE(QString::fromStdString(app->context.logPath),
            QCoreApplication::applicationDirPath() + QStringLiteral("/UnLog.log"));
        // Wine's default prefix poses as Windows 7, which has no name.
        QCOMPARE(QString::fromStdString(app->context.osName), QString());
        QVERIFY(messages.calls().isEmpty());
    }

    void theEnvironmentNamesTheRegistryWhenTheCommandLineDoesNot()
    {
        QTemporaryDir dir;
        const QString file = copyWineRegistry(dir);
        qputenv("TIDEWELL_REGISTRY", file.toLocal8Bit());
        ScriptedMessageService messages;
        int exitCode = -1;
        const auto app = Main({ QStringLiteral("tidewell") }, messages, exitCode);
        qunsetenv("TIDEWELL_REGISTRY");
        QVERIFY(app);
        QCOMPARE(QString::fromStdString(app->context.registryFile), file);
    }

    void aBrokenRegistryIsReportedWithFileAndLineAndLeftAlone()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("system.reg"));
        const QByteArray broken("WINE REGISTRY Version 2\n\n[Software] 1\n\"x\"=\"open\n");
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(broken);
        }
        ScriptedMessageService messages;
        messages.answer(MsgButton::Ok);
        int exitCode = -1;
        const auto app
            = Main({ QStringLiteral("tidewell"), QStringLiteral("--registry"), file }, messages, exitCode);
        QVERIFY(!app);
        QCOMPARE(exitCode, 2);
        QCOMPARE(messages.calls().size(), 1);
        QCOMPARE(messages.calls()[0].icon, MsgIcon::Critical);
        QVERIFY(messages.calls()[0].text.contains(file + QStringLiteral(", line 4: ")));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), broken);
    }

    void wordsTheProgramWouldIgnoreAreRefused()
    {
        QTemporaryDir dir;
        const QString file = copyWineRegistry(dir);
        const QList<QStringList> mistakes {
            { QStringLiteral("--registry"), file, QStringLiteral("--list"), QStringLiteral("stray") },
            { QStringLiteral("--registry"), file, QStringLiteral("--long") },
            { QStringLiteral("--registry"), file, QStringLiteral("--force") },
            { QStringLiteral("--registry"), file, QStringLiteral("--timeout"), QStringLiteral("5") },
            { QStringLiteral("--registry"), file, QStringLiteral("--uninstall"), QStringLiteral("Probe"),
                QStringLiteral("--timeout"), QStringLiteral("0") },
            { QStringLiteral("--registry"), file, QStringLiteral("--uninstall"), QStringLiteral("Probe"),
                QStringLiteral("--timeout"), QStringLiteral("1.5") },
            { QStringLiteral("--registry"), file, QStringLiteral("--list"), QStringLiteral("--report"),
                dir.filePath(QStringLiteral("r.txt")) },
            { QStringLiteral("--registry"), file, QStringLiteral("--prefix"), dir.path(),
                QStringLiteral("--list") },
        };
        for (const QStringList& arguments : mistakes) {
            ScriptedMessageService messages;
            int exitCode = -1;
            const auto app = Main(QStringList { QStringLiteral("tidewell") } + arguments, messages, exitCode);
            QVERIFY2(!app, qPrintable(arguments.join(QLatin1Char(' '))));
            QCOMPARE(exitCode, 2);
            QVERIFY(messages.calls().isEmpty());
        }
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("r.txt"))));
    }
};

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
