// SPDX-License-Identifier: MIT
#pragma once

#include "RecordingDesktopService.h"
#include "ScriptedMessageService.h"
#include "app/ModMain.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <optional>

namespace tw {

class FrmMain;

// One Uninstall entry of a test registry; an empty text leaves that value out.
struct TestEntry
{
    TestEntry(QString key_, QString displayName_, QString uninstallString_, QString displayIcon_ = {})
        : key(std::move(key_))
        , displayName(std::move(displayName_))
        , uninstallString(std::move(uninstallString_))
        , displayIcon(std::move(displayIcon_))
    { }
    TestEntry withNoRemove(quint32 value) const
    {
        TestEntry copy = *this;
        copy.noRemove = value;
        return copy;
    }
    TestEntry withNoRemoveText(const QString& value) const
    {
        TestEntry copy = *this;
        copy.noRemoveText = value;
        return copy;
    }

    QString key;
    QString displayName;
    QString uninstallString;
    QString displayIcon;
    std::optional<quint32> noRemove; // as a 32-bit integer
    QString noRemoveText; // as text, which reads as a different number
};

// Writes a registry file in Wine's format holding the entries under the Uninstall key.
void writeRegistry(const QString& file, const QList<TestEntry>& entries);

// The bytes of a file; none when it cannot be read.
QByteArray fileBytes(const QString& path);

// Clicks the push button of that object name inside `parent`.
void clickButton(const QObject* parent, const char* name);

// A run of the program for a test: a temporary folder that is both the application folder and the
// registry's prefix, the registry file in it, the scripted message service, the recording desktop,
// and the main window loaded (not yet shown).
class TestApplication
{
public:
    // The registry file lies in `registryFolder` when one is given (a full or read-only file system, say).
    explicit TestApplication(
        const QList<TestEntry>& entries, const std::string& osName = {}, const QString& registryFolder = {});
    ~TestApplication();

    Application& app() { return *m_app; }
    FrmMain& window();
    QString folder() const { return m_dir.path(); }
    QString registryFile() const;
    // A value of an entry as the registry holds it now.
    QString value(const QString& key, const QString& valueName);
    // The uninstall log as written, in the code page.
    QString uninstallLog() const;

    ScriptedMessageService messages;
    RecordingDesktopService desktop;

private:
    QTemporaryDir m_dir;
    QString m_registryFolder;
    std::unique_ptr<Application> m_app;
};

} // namespace tw
