// SPDX-License-Identifier: MIT
// The update check against an HTTP server of the test's own on 127.0.0.1: what the user is told for each
// answer the server gives, and for the answers it does not give.
#include "ui/main/UpdateCheck.h"
#include "TestApplication.h"
#include "ui/main/FrmMain.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace tw;
using namespace std::chrono_literals;

namespace {

// Writes its canned response to every request; with none, it keeps the connection open unanswered.
class CannedServer : public QObject
{
public:
    explicit CannedServer(QByteArray response = {})
        : m_response(std::move(response))
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* socket = m_server.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                const QByteArray head = socket->readAll();
                m_paths.append(head.left(head.indexOf("\r\n")).split(' ').value(1));
                socket->write(m_response);
            });
        });
        QVERIFY(m_server.listen(QHostAddress::LocalHost));
    }
    static QByteArray reply(int status, const QByteArray& reason, const QByteArray& body)
    {
        return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason
            + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
    }
    QUrl url(const QString& path = QStringLiteral("/Tidewell.txt")) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
    }
    const QList<QByteArray>& paths() const { return m_paths; }

private:
    QTcpServer m_server;
    QByteArray m_response;
    QList<QByteArray> m_paths;
};

UpdateCheckSettings against(const QUrl& url, std::chrono::milliseconds timeout = 10s)
{
    return { url, timeout, [] { return true; } };
}

// Runs the check and compares the one box it showed; the check must end within `withinMs`.
void expectMessage(const UpdateCheckSettings& settings, const QString& text, qint64 withinMs = 15000)
{
    TestApplication test({});
    test.messages.answer(MsgButton::Ok);
    QElapsedTimer clock;
    clock.start();
    runUpdateCheck(test.app().context, *test.app().messages, &test.window(), settings);
    QVERIFY2(clock.elapsed() < withinMs, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(test.messages.calls().size(), 1);
    const ScriptedMessageService::Call& call = test.messages.calls().first();
    QCOMPARE(call.text, text);
    QCOMPARE(call.title, QStringLiteral("Update Check"));
    QCOMPARE(call.icon, MsgIcon::None);
    QCOMPARE(call.parent.data(), &test.window());
}

const QString kFailed = QStringLiteral("The update check failed: ");

} // namespace

class UpdateCheckTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theServersAnswerAgainstTheRunningVersion_data()
    {
        QTest::addColumn<QByteArray>("response");
        QTest::addColumn<QString>("message");
        const auto ok = [](const QByteArray& body) { return CannedServer::reply(200, "OK", body); };
        const QString current = QStringLiteral("You are running the current version ");
        const QString update = QStringLiteral("An update is available to version ");
        QTest::newRow("equal") << ok("1.0.6") << current + QStringLiteral("1.0.6");
        QTest::newRow("newer") << ok("1.0.7") << update + QStringLiteral("1.0.7");
        QTest::newRow("older") << ok(
            "1.0.5") << QStringLiteral("You are running a version newer than what is currently available");
        QTest::newRow("1.0.10") << ok("1.0.10") << update + QStringLiteral("1.0.10");
        QTest::newRow("trailing line break") << ok("1.0.6\r\n") << current + QStringLiteral("1.0.6");
        QTest::newRow("exactly 64 KiB") << ok(QByteArray("1.0.6").leftJustified(kMaxVersionFileSize, '\n'))
                                        << current + QStringLiteral("1.0.6");
        QTest::newRow("error page") << ok(
            "<html>Moved</html>") << kFailed + QStringLiteral("The server's answer is not a version number");
        // An HTTP error is a failure whatever the body says.
        QTest::newRow("404") << CannedServer::reply(404, "Not Found", "1.0.7")
                             << kFailed + QStringLiteral("The server answered 404 Not Found");
    }
    void theServersAnswerAgainstTheRunningVersion()
    {
        QFETCH(QByteArray, response);
        QFETCH(QString, message);
        CannedServer server(response);
        expectMessage(against(server.url()), message);
        QCOMPARE(server.paths(), QList<QByteArray> { "/Tidewell.txt" });
    }

    void aRefusedConnectionIsAFailure()
    {
        // A port that was free a moment ago and that nothing listens on now.
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const QUrl url(QStringLiteral("http://127.0.0.1:%1/Tidewell.txt").arg(probe.serverPort()));
        probe.close();
        expectMessage(against(url), kFailed + QStringLiteral("Connection refused"));
    }

    void aServerThatDoesNotAnswerTimesOut()
    {
        CannedServer server;
        expectMessage(against(server.url(), 300ms),
            kFailed + QStringLiteral("The server did not answer in time"), 5000);
    }

    void aHugeBodyIsNotReadToItsEnd()
    {
        // 64 MiB promised, a little over 64 KiB sent, the connection kept open: a check that read on
        // would wait for the time-out.
        CannedServer server("HTTP/1.1 200 OK\r\nContent-Length: 67108864\r\n\r\n"
            + QByteArray(kMaxVersionFileSize + 100, '1'));
        expectMessage(against(server.url(), 20s),
            kFailed + QStringLiteral("The version file is larger than 64 KiB"), 10000);
    }

    void withoutAConnectionNothingIsAsked()
    {
        CannedServer server(CannedServer::reply(200, "OK", "1.0.7"));
        UpdateCheckSettings settings = against(server.url());
        settings.isConnected = [] { return false; };
        expectMessage(settings, QStringLiteral("You are not connected to the Internet"));
        QTest::qWait(50);
        QCOMPARE(server.paths(), QList<QByteArray>());
    }

    void theEnvironmentNamesAnotherAddress()
    {
        CannedServer server(CannedServer::reply(200, "OK", "1.0.7"));
        qputenv("TIDEWELL_UPDATE_URL", server.url(QStringLiteral("/mirror/Tidewell.txt")).toEncoded());
        const auto unset = qScopeGuard([] { qunsetenv("TIDEWELL_UPDATE_URL"); });
        expectMessage(against(QUrl()), QStringLiteral("An update is available to version 1.0.7"));
        QCOMPARE(server.paths(), QList<QByteArray> { "/mirror/Tidewell.txt" });

        // Without the variable, a build given no address says so instead of failing to fetch.
        qunsetenv("TIDEWELL_UPDATE_URL");
        if (*kUpdateUrl)
            QSKIP("this build has an update address");
        expectMessage(against(QUrl()),
            QStringLiteral(
                "No update address is configured for this copy of Tidewell, so it cannot look for a "
                "newer version. Set TIDEWELL_UPDATE_URL to the address of the version file to check."));
    }
};

QTEST_MAIN(UpdateCheckTest)
#include "UpdateCheckTest.moc"
