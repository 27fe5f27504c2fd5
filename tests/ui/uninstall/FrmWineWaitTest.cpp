// SPDX-License-Identifier: MIT
// The wait for a prefix's Wine after an uninstaller: it ends by itself when the server exits, or when
// the user asks for the verdict now.
#include "ui/uninstall/FrmWineWait.h"
#include "../../system/StandInServer.h"
#include "TestApplication.h"
#include "system/WineServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace tw;

namespace {

// A prefix whose server is a child process holding the server's lock, as wineserver does.
class FakeWine
{
public:
    FakeWine()
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("prefix/drive_c"));
        QFile name(prefix() + QStringLiteral("/wineserver"));
        name.open(QIODevice::WriteOnly);
        name.write("wine-Wait");
        struct stat st = {};
        ::stat(prefix().toLocal8Bit().constData(), &st);
        const QString folder = m_dir.path()
            + QStringLiteral("/tmp/wine-Wait/server-%1-%2")
                  .arg(QString::number(st.st_dev, 16), QString::number(st.st_ino, 16));
        QDir().mkpath(folder);
        m_lock = folder + QStringLiteral("/lock");
        QFile(m_lock).open(QIODevice::WriteOnly);
        server = std::make_unique<WineServer>(
            prefix().toStdString(), (m_dir.path() + QStringLiteral("/tmp")).toStdString());
    }
    ~FakeWine() { stop(); }
    QString prefix() const { return m_dir.path() + QStringLiteral("/prefix"); }

    void start()
    {
        m_standIn = std::make_unique<test::StandInServer>(m_lock.toStdString());
        QVERIFY(m_standIn->locked());
    }
    void stop() { m_standIn.reset(); }

    std::unique_ptr<WineServer> server;

private:
    QTemporaryDir m_dir;
    QString m_lock;
    std::unique_ptr<test::StandInServer> m_standIn;
};

} // namespace

class FrmWineWaitTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void closesByItselfWhenWineHasEnded()
    {
        FakeWine wine;
        wine.start();
        QVERIFY(wine.server->running());
        FrmWineWait dialog(*wine.server, QStringLiteral("Probe"), nullptr);
        // No Wine program maps this server's files: the list says Wine is about to finish.
        const auto* programs = dialog.findChild<QListWidget*>(QStringLiteral("lstPrograms"));
        QCOMPARE(programs->count(), 1);
        QVERIFY(programs->item(0)->text().startsWith(QStringLiteral("(none")));
        QTimer::singleShot(300, [&wine] { wine.stop(); });
        QElapsedTimer t;
        t.start();
        QCOMPARE(dialog.exec(), int(FrmWineWait::ServerEnded));
        QVERIFY(t.elapsed() < 3000);
    }

    void endsAtOnceWhenWineHasEndedBeforeItOpens()
    {
        FakeWine wine;
        FrmWineWait dialog(*wine.server, QStringLiteral("Probe"), nullptr);
        // Should it miss the end, this ends the test instead of waiting for ever.
        QTimer::singleShot(5000, &dialog, [&dialog] { dialog.done(FrmWineWait::JudgeNow); });
        QCOMPARE(dialog.exec(), int(FrmWineWait::ServerEnded));
    }

    void checkNowEndsTheWaitWhileWineRuns()
    {
        FakeWine wine;
        wine.start();
        FrmWineWait dialog(*wine.server, QStringLiteral("Probe"), nullptr);
        QTimer::singleShot(100, [&dialog] { clickButton(&dialog, "cmdJudgeNow"); });
        QCOMPARE(dialog.exec(), int(FrmWineWait::JudgeNow));
        QVERIFY(wine.server->running());
    }
};

QTEST_MAIN(FrmWineWaitTest)
#include "FrmWineWaitTest.moc"
