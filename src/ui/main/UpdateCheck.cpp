// SPDX-License-Identifier: MIT
#include "ui/main/UpdateCheck.h"

#include "base/AppContext.h"
#include "base/Errors.h"
#include "base/VersionCompare.h"
#include "ui/MessageService.h"

#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QNetworkAccessManager>
#include <QNetworkInformation>
#include <QNetworkInterface>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QScopeGuard>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace tw {

const char* const kUpdateUrl = TIDEWELL_UPDATE_URL;
namespace {

bool hasUsableInterface()
{
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& iface : interfaces) {
        const auto flags = iface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning)
            || flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& entry : iface.addressEntries()) {
            if (!entry.ip().isNull() && !entry.ip().isLoopback())
                return true;
        }
    }
    return false;
}

QUrl configuredUrl()
{
    const QString fromEnvironment = qEnvironmentVariable("TIDEWELL_UPDATE_URL");
    return QUrl(fromEnvironment.isEmpty() ? QString::fromLatin1(kUpdateUrl) : fromEnvironment);
}

void tell(MessageService& messages, QWidget* parent, const QString& text)
{
    messages.message(parent, QStringLiteral("Update Check"), text, MsgIcon::None, { MsgButton::Ok });
}

} // namespace

bool IsConnected()
{
    // Loaded once per run; a system without a backend (no network manager on the bus) has none.
    static const bool haveBackend = QNetworkInformation::loadDefaultBackend();
    if (haveBackend) {
        if (const QNetworkInformation* info = QNetworkInformation::instance()) {
            switch (info->reachability()) {
            case QNetworkInformation::Reachability::Disconnected:
                return false;
            case QNetworkInformation::Reachability::Local:
            case QNetworkInformation::Reachability::Site:
            case QNetworkInformation::Reachability::Online:
                return true;
            case QNetworkInformation::Reachability::Unknown:
                break;
            }
        }
    }
    return hasUsableInterface();
}

VersionFetch fetchVersionFile(
    const QUrl& url, std::chrono::milliseconds timeout, QNetworkAccessManager* manager)
{
    QNetworkAccessManager own;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    std::unique_ptr<QNetworkReply> reply((manager ? manager : &own)->get(request));

    VersionFetch result;
    bool timedOut = false;
    bool tooLarge = false;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);

    const auto readSome = [&] {
        if (!reply->isOpen())
            return; // aborted: what came is all there is
        result.body += reply->read(kMaxVersionFileSize + 1 - result.body.size());
        if (result.body.size() > kMaxVersionFileSize && !tooLarge) {
            tooLarge = true;
            reply->abort();
        }
    };
    QObject::connect(reply.get(), &QNetworkReply::readyRead, &loop, readSome);
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        reply->abort();
    });
    deadline.start(timeout);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    deadline.stop();
    if (!tooLarge)
        readSome();

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (timedOut) {
        result.failure = QStringLiteral("The server did not answer in time");
    } else if (tooLarge) {
        result.failure
            = QStringLiteral("The version file is larger than %1 KiB").arg(kMaxVersionFileSize / 1024);
    } else if (status.isValid() && (status.toInt() < 200 || status.toInt() > 299)) {
        const QString phrase = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        result.failure = QStringLiteral("The server answered %1").arg(status.toInt());
        if (!phrase.isEmpty())
            result.failure += QLatin1Char(' ') + phrase;
    } else if (reply->error() != QNetworkReply::NoError) {
        result.failure = reply->errorString();
    } else {
        result.ok = true;
    }
    if (!result.ok)
        result.body.clear();
    return result;
}

void runUpdateCheck(
    const AppContext& context, MessageService& messages, QWidget* parent, const UpdateCheckSettings& settings)
{
    // Errors are passed over: a failing step is skipped and the next one runs.
    Procedure proc("CmdChkUpdate_Click", OnError::Skip);

    bool connected = true;
    proc.step(__LINE__, [&] { connected = settings.isConnected ? settings.isConnected() : IsConnected(); });
    if (!connected) {
        proc.step(__LINE__,
            [&] { tell(messages, parent, QStringLiteral("You are not connected to the Internet")); });
        return;
    }

    const QUrl url = settings.url.isEmpty() ? configuredUrl() : settings.url;
    if (url.isEmpty()) {
        // A build without an address would only report a network failure: say what is missing instead.
        proc.step(__LINE__, [&] {
            tell(messages, parent,
                QStringLiteral("No update address is configured for this copy of Tidewell, so it cannot look "
                               "for a newer version. Set TIDEWELL_UPDATE_URL to the address of the version "
                               "file to check."));
        });
        return;
    }

    VersionFetch fetch;
    fetch.failure = QStringLiteral("The version file could not be read");
    proc.step(__LINE__, [&] {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restore = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
        auto* inet1
            = parent ? parent->window()->findChild<QNetworkAccessManager*>(QStringLiteral("Inet1")) : nullptr;
        fetch = fetchVersionFile(url, settings.timeout, inet1);
    });

    const DottedVersion running { { static_cast<std::uint64_t>(context.versionMajor),
        static_cast<std::uint64_t>(context.versionMinor),
        static_cast<std::uint64_t>(context.versionRevision) } };
    proc.step(__LINE__, [&] {
        const QString failed = QStringLiteral("The update check failed: ");
        if (!fetch.ok) {
            tell(messages, parent, failed + fetch.failure);
            return;
        }
        const UpdateVerdict verdict
            = judgeVersionFile(std::string_view(fetch.body.constData(), fetch.body.size()), running);
        const QString published = QString::fromStdString(verdict.published);
        switch (verdict.status) {
        case UpdateStatus::Current:
            tell(messages, parent, QStringLiteral("You are running the current version ") + published);
            break;
        case UpdateStatus::UpdateAvailable:
            tell(messages, parent, QStringLiteral("An update is available to version ") + published);
            break;
        case UpdateStatus::RunningNewer:
            tell(messages, parent,
                QStringLiteral("You are running a version newer than what is currently available"));
            break;
        case UpdateStatus::NotAVersion:
            tell(messages, parent, failed + QStringLiteral("The server's answer is not a version number"));
            break;
        }
    });
}

} // namespace tw
