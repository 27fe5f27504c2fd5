// SPDX-License-Identifier: MIT
#pragma once

#include "app/Clock.h"

#include <functional>
#include <string>

namespace tw {

class ProcessCalls;
class Registry;

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

// Runs an uninstaller and judges the result: logs the start, starts the command, waits for that
// process, reads DisplayName back and logs the verdict. While it waits, `whileWaiting` is called
// every few milliseconds so the window can repaint; nothing else can start meanwhile.
class UninstallRun
{
public:
    UninstallRun(Registry& registry, ProcessCalls& processes, std::string logPath, const Clock& clock,
        std::function<void()> whileWaiting = {});

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
};

// Deletes a key and everything below it; true when the key no longer exists afterwards.
bool deleteKeyTree(Registry& registry, const std::string& path);

} // namespace tw
