// SPDX-License-Identifier: MIT
#include "ScriptedMessageService.h"
#include "ui/QtErrorReporter.h"

#include <QApplication>
#include <QTest>

#include <memory>

using namespace tw;

namespace {

struct Outcome
{
    int firstRuns = 0;
    bool secondRan = false;
    int failingLine = 0;
};

// A procedure of two statements written the usual way; its first statement throws `failures` times,
// or every time when `failures` is negative.
Outcome runProcedure(int failures)
{
    Outcome outcome;
    Procedure procedure("cmdOk_Click");
    outcome.failingLine = __LINE__ + 1;
    if (!procedure.step(__LINE__, [&] {
            ++outcome.firstRuns;
            if (failures < 0 || outcome.firstRuns <= failures)
                throw Error(errc::kFileNotFound, "File not found");
        }))
        return outcome;
    procedure.step(__LINE__, [&] { outcome.secondRan = true; });
    return outcome;
}

} // namespace

// The step logic itself is covered in ErrorsTest; here the box the Qt reporter shows and how its answer
// is followed, the busy pointer included.
class ErrorReportTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_messages = std::make_unique<ScriptedMessageService>();
        m_reporter = std::make_unique<QtErrorReporter>(*m_messages);
        setErrorReporter(m_reporter.get());
    }

    void cleanup()
    {
        setErrorReporter(nullptr);
        m_reporter.reset();
        m_messages.reset();
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
    }

    void showsTheCommonReportAndFollowsTheAnswer_data()
    {
        QTest::addColumn<MsgButton>("answer");
        QTest::addColumn<int>("failures");
        QTest::addColumn<int>("firstRuns");
        QTest::addColumn<bool>("secondRan");
        QTest::addColumn<bool>("pointerReset");
        QTest::newRow("retry runs the failing statement again")
            << MsgButton::Retry << 1 << 2 << true << false;
        QTest::newRow("ignore goes on with the next statement")
            << MsgButton::Ignore << -1 << 1 << true << false;
        QTest::newRow("abort leaves and resets the pointer") << MsgButton::Abort << -1 << 1 << false << true;
    }

    void showsTheCommonReportAndFollowsTheAnswer()
    {
        QFETCH(MsgButton, answer);
        QFETCH(int, failures);
        QFETCH(int, firstRuns);
        QFETCH(bool, secondRan);
        QFETCH(bool, pointerReset);
        // A busy pointer set twice over, as nested waits leave it.
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        m_messages->answer(answer);

        const Outcome outcome = runProcedure(failures);

        QCOMPARE(outcome.firstRuns, firstRuns);
        QCOMPARE(outcome.secondRan, secondRan);
        QCOMPARE(QGuiApplication::overrideCursor() == nullptr, pointerReset);
        QCOMPARE(m_messages->unexpectedCalls(), 0);
        QCOMPARE(m_messages->calls().size(), 1);
        const ScriptedMessageService::Call& box = m_messages->calls().first();
        QCOMPARE(box.kind, ScriptedMessageService::CallKind::Message);
        QCOMPARE(box.title, QStringLiteral("Error"));
        QCOMPARE(box.icon, MsgIcon::Critical);
        QCOMPARE(box.buttons, (MsgButtons { MsgButton::Abort, MsgButton::Retry, MsgButton::Ignore }));
        QCOMPARE(box.text,
            QStringLiteral("Error 53: File not found\r\nin cmdOk_Click\r\nThe error occured at line: %1")
                .arg(outcome.failingLine));
    }

private:
    std::unique_ptr<ScriptedMessageService> m_messages;
    std::unique_ptr<QtErrorReporter> m_reporter;
};

QTEST_MAIN(ErrorReportTest)
#include "ErrorReportTest.moc"
