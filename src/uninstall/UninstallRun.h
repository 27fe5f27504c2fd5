// SPDX-License-Identifier: MIT
#pragma once

#include "base/Clock.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tw {

class ProcessCalls;
class Registry;
class WineServer;

// The selected row an uninstall acts on.
struct UninstallTarget
{
    std::string key; // registry name
    std::string text; // display name
    std::string command; // uninstall command
};

enum class UninstallOutcome {
    NotStarted, // the command did not start (the log ends after "Uninstalling ...")
    Removed, // the entry's DisplayName is gone: rebuild the list
    StillPresent, // the entry is still there: offer the clean-up
    Unknown, // the registry could not be read afterwards, so nothing is known of the entry
};

// What the one waiting for an uninstaller wants, asked every few milliseconds while it runs.
enum class WaitDecision {
    KeepWaiting,
    StopWaiting, // the user stops waiting; the uninstaller runs on
    EndUninstaller, // the user stops waiting and has the uninstaller's process ended
    TimedOut, // the time allowed is over; the uninstaller runs on
};

// Whoever waits with the user: asked while the uninstaller runs, and told once that wait is over.
struct UninstallerWait
{
    std::function<WaitDecision()> decide;
    std::function<void()> over;
};

// In a Wine prefix the verdict cannot come right after the uninstaller ends: many uninstallers hand
// over to a copy of themselves and end at once, and the prefix's server writes the registry file only
// when it exits, about 2 s after the prefix's last program. So the run also waits for the server.
struct WineSide
{
    WineServer* server = nullptr;
    // Called every few milliseconds while the server runs after the uninstaller ended; true asks for the
    // verdict now, from the registry the server holds.
    std::function<bool()> whileServerRuns;
    // DisplayName of an entry (its key below Uninstall) as the running server holds it; nullopt when
    // the server cannot be asked, and the file is read instead.
    std::function<std::optional<std::string>(const std::string& key)> liveDisplayName;
};

// The Wine side for a prefix's server, the live value read with Wine's reg tool in the view the
// registry operations use (with the prefix's own Wine `wine`, as the uninstaller was started).
WineSide wineSideFor(
    WineServer& server, bool wow32, std::function<bool()> whileServerRuns, std::string wine = {});

// Runs an uninstaller and judges the result: logs the start, starts the command, waits for that
// process (and, in a Wine prefix, for the prefix's server), reads DisplayName back and logs the
// verdict. While it waits, `whileWaiting` is called every few milliseconds so the window can repaint;
// nothing else can start meanwhile.
class UninstallRun
{
public:
    UninstallRun(Registry& registry, ProcessCalls& processes, std::string logPath, const Clock& clock,
        std::function<void()> whileWaiting = {}, WineSide wine = {});

    // Without it, the wait for the uninstaller ends only when the uninstaller does.
    void setUninstallerWait(UninstallerWait wait) { m_wait = std::move(wait); }
    // How the user hears what the log cannot tell: a log line that could not be written (once in a
    // run), a registry that could not be read for the verdict, an uninstaller that needs Wine.
    void setTell(std::function<void(const std::string& message)> tell) { m_tell = std::move(tell); }

    UninstallOutcome run(const UninstallTarget& target);

    // How the last run's wait for the uninstaller ended; KeepWaiting when it lasted to the end.
    WaitDecision waitEnded() const { return m_waitEnded; }
    // Whether the last run could not start its command because the program is not there.
    bool uninstallerMissing() const { return m_uninstallerMissing; }

    // The clean-up's two answers.
    // Deletes the entry's key with its subkeys; true when it is gone. Logs only when it is.
    bool forceRemoval(const UninstallTarget& target);
    void abortedByUser();
    // Deletes the entry as Delete From List does, with the same log lines; true when it is gone, and
    // only then logged.
    bool deleteFromList(const UninstallTarget& target);

private:
    void waitFor(std::uint32_t processId);
    void log(const std::string& line);
    void tell(const std::string& message) const;

    Registry& m_registry;
    ProcessCalls& m_processes;
    std::string m_logPath;
    const Clock& m_clock;
    std::function<void()> m_whileWaiting;
    WineSide m_wine;
    UninstallerWait m_wait;
    std::function<void(const std::string&)> m_tell;
    WaitDecision m_waitEnded = WaitDecision::KeepWaiting;
    bool m_uninstallerMissing = false;
    bool m_logFailureTold = false;
};

// Deletes a key and everything below it; true when the key no longer exists afterwards.
bool deleteKeyTree(Registry& registry, const std::string& path);

} // namespace tw
