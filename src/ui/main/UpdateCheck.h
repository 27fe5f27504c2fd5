// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QUrl>

#include <chrono>
#include <functional>

class QWidget;

class QNetworkAccessManager;

namespace tw {

struct AppContext;
class MessageService;

// Where the published version is read; the environment variable TIDEWELL_UPDATE_URL names another
// address (a mirror, or a test's own server).
// The version file this build reads, set when it is built; empty when none is configured.
extern const char* const kUpdateUrl;
inline constexpr std::chrono::milliseconds kUpdateTimeout { 60000 };
// A version file is one short line: more than this is not a version file, and is not read further.
inline constexpr qint64 kMaxVersionFileSize = 64 * 1024;

// Whether the system has a network connection: the network information backend's answer where
// one loads and knows, otherwise whether some interface is up and running with a non-loopback
// address.
bool IsConnected();

// What the fetch of the version file gave: the body, or the reason it failed.
struct VersionFetch
{
    bool ok = false;
    QByteArray body;
    QString failure;
};

// An HTTP(S) GET of `url` that ends within `timeout`, waiting in a local event loop that keeps the
// windows painted but takes no user input.
// `manager` is the window's fetch control `Inet1`, or none for one of its own.
VersionFetch fetchVersionFile(
    const QUrl& url, std::chrono::milliseconds timeout, QNetworkAccessManager* manager = nullptr);

struct UpdateCheckSettings
{
    QUrl url; // empty: TIDEWELL_UPDATE_URL, else kUpdateUrl, else none
    std::chrono::milliseconds timeout = kUpdateTimeout;
    std::function<bool()> isConnected = IsConnected;
};

// The side panel's "Check Update": tells the user, in a box titled "Update Check", whether the
// published version is newer than the running one, or why that could not be found out.
void runUpdateCheck(const AppContext& context, MessageService& messages, QWidget* parent,
    const UpdateCheckSettings& settings = {});

} // namespace tw
