// SPDX-License-Identifier: MIT
#pragma once

#include "base/Clock.h"

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

    UninstallOutcome run(const UninstallTarget& target);

    // The clean-up's two answers.
    // Deletes the entry's key with its subkeys; true when it is gone. Logs only when it is.
    bool forceRemoval(const UninstallTarget& target);
    void abortedByUser();

private:
    Registry& m_registry;
    ProcessCalls& m_processes;
    std::string m_logPath;
    const Clock& m_clock;
    std::function<void()> m_whileWaiting;
    WineSide m_wine;
};

// Deletes a key and everything below it; true when the key no longer exists afterwards.
bool deleteKeyTree(Registry& registry, const std::string& path);

} // namespace tw
