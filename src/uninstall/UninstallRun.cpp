// SPDX-License-Identifier: MIT
#include "uninstall/UninstallRun.h"

#include "base/Errors.h"
#include "base/Text.h"
#include "inventory/Inventory.h"
#include "registry/Registry.h"
#include "registry/RegistryView.h"
#include "system/WineServer.h"
#include "uninstall/Processes.h"
#include "uninstall/UninstallLog.h"

#include <chrono>
#include <cstring>
#include <thread>

namespace tw {

namespace {

constexpr std::uint32_t kWaitSlice = 50;
// How long an ended uninstaller may take to be gone before the verdict is read anyway.
constexpr std::uint32_t kEndGrace = 5000;

// Works relative to the parent's handle, so names deep below the entry stay within the ANSI calls' limit.
bool deleteTreeAt(RegistryApi& api, RegKey parent, const std::string& ansiName, int depth)
{
    RegKey key = 0;
    if (api.RegOpenKeyExA(parent, ansiName.c_str(), 0, kKeyRead, &key) != kErrorSuccess)
        return false;
    if (depth < 64) {
        for (std::uint32_t skipped = 0;;) {
            char name[512] = {};
            std::uint32_t size = sizeof name;
            if (api.RegEnumKeyExA(key, skipped, name, &size, nullptr, nullptr, nullptr, nullptr)
                != kErrorSuccess)
                break;
            if (!deleteTreeAt(api, key, name, depth + 1))
                ++skipped;
        }
    }
    api.RegCloseKey(key);
    return api.RegDeleteKeyA(parent, ansiName.c_str()) == kErrorSuccess;
}

// Why the registry cannot judge an entry, if it cannot. A file that vanished reads as an empty registry
// and a damaged one as what was read before, so neither may say that an entry is gone.
std::optional<std::string> unreadableRegistry(Registry& registry, RegKey root)
{
    if (auto why = registry.api().unreadable(root))
        return why;
    // Every backend: the machine's key that holds the entries is there as long as the registry is; a
    // user's may be made and removed with the user's entries, but Software stays.
    const std::string uninstallKey = root == kHKeyLocalMachine
        ? std::string(kUninstallPath, std::strlen(kUninstallPath) - 1)
        : std::string("Software");
    RegKey key = 0;
    if (registry.api().RegOpenKeyExA(root, text::utf8ToAnsi(uninstallKey).c_str(), 0, kKeyRead, &key)
        != kErrorSuccess)
        return "the key " + uninstallKey + " cannot be opened";
    registry.api().RegCloseKey(key);
    return std::nullopt;
}

} // namespace

bool deleteKeyTree(Registry& registry, const std::string& path, RegKey root)
{
    RegistryApi& api = registry.api();
    const std::string ansi = text::utf8ToAnsi(path);
    deleteTreeAt(api, root, ansi, 0);
    RegKey key = 0;
    const long rc = api.RegOpenKeyExA(root, ansi.c_str(), 0, kKeyRead, &key);
    if (rc == kErrorSuccess)
        api.RegCloseKey(key);
    return rc == kErrorFileNotFound;
}

WineSide wineSideFor(
    WineServer& server, const RegistrySource& source, std::function<bool()> whileServerRuns, std::string wine)
{
    WineSide side;
    side.server = &server;
    side.whileServerRuns = std::move(whileServerRuns);
    side.liveDisplayName = [&server, source, wine](const std::string& key) -> std::optional<std::string> {
        std::string path = kUninstallPath + key;
        if (source.wow32)
            path = RegistryView::redirect32(path);
        path = (source.root == kHKeyCurrentUser ? "HKEY_CURRENT_USER\\" : "HKEY_LOCAL_MACHINE\\") + path;
        const LiveValue live = wineRegistryValue(server.prefix(), path, "DisplayName", wine);
        if (!live.answered)
            return std::nullopt;
        return live.found ? live.text : std::string();
    };
    return side;
}

UninstallRun::UninstallRun(Registry& registry, ProcessCalls& processes, std::string logPath,
    const Clock& clock, std::function<void()> whileWaiting, WineSide wine)
    : m_registry(registry)
    , m_processes(processes)
    , m_logPath(std::move(logPath))
    , m_clock(clock)
    , m_whileWaiting(std::move(whileWaiting))
    , m_wine(std::move(wine))
{ }

UninstallOutcome UninstallRun::run(const UninstallTarget& target)
{
    Procedure proc("Show_FormUninstall");
    m_waitEnded = WaitDecision::KeepWaiting;
    m_uninstallerMissing = false;
    m_logFailureTold = false;
    log(m_clock.nowGeneral());
    log("Uninstalling " + target.text);
    std::uint32_t pid = 0;
    bool wineNeeded = false;
    if (!proc.step(__LINE__, [&] {
            m_uninstallerMissing = false;
            try {
                pid = m_processes.startProcess(target.command);
            } catch (const WineNeededError& e) {
                // Not a fault to retry or ignore: the user is told what is missing.
                wineNeeded = true;
                tell(e.description());
            } catch (const Error& e) {
                m_uninstallerMissing = e.number() == errc::kFileNotFound;
                throw;
            }
        }))
        return UninstallOutcome::NotStarted;
    if (wineNeeded || pid == 0)
        return UninstallOutcome::NotStarted;
    const bool waited = proc.step(__LINE__, [&] { waitFor(pid); });
    if (m_wait.over)
        m_wait.over();
    if (!waited)
        return UninstallOutcome::NotStarted;
    // Under Wine the file is complete only once the prefix's server has exited; the user may ask for the
    // verdict earlier (when other programs of the prefix keep the server running), and then it comes
    // from the server itself.
    bool judgeNow = false;
    if (m_wine.server) {
        while (m_wine.server->running()) {
            if (m_wine.whileServerRuns && m_wine.whileServerRuns()) {
                judgeNow = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(kWaitSlice));
            if (m_whileWaiting)
                m_whileWaiting();
        }
    }
    std::string name;
    std::optional<std::string> unreadable;
    if (!proc.step(__LINE__, [&] {
            std::optional<std::string> live;
            if (judgeNow && m_wine.liveDisplayName)
                live = m_wine.liveDisplayName(target.key);
            if (live) {
                name = *live;
                return;
            }
            name = m_registry.GetStringValue(target.source.root, kUninstallPath + target.key, "DisplayName");
            unreadable = unreadableRegistry(m_registry, target.source.root);
        }))
        return UninstallOutcome::NotStarted;
    if (unreadable) {
        log("Uninstall result unknown. The registry could not be read: " + *unreadable + ".");
        tell("Tidewell cannot tell whether " + target.text
            + " was removed: the registry could not be read after its uninstaller ended (" + *unreadable
            + ").");
        return UninstallOutcome::Unknown;
    }
    if (name.empty()) {
        log("Uninstall OK. Uninstaller removed program from the list.");
        return UninstallOutcome::Removed;
    }
    log("Uninstall Not Successful. Program was not removed from the list.");
    return UninstallOutcome::StillPresent;
}

void UninstallRun::waitFor(std::uint32_t processId)
{
    const ProcessHandle handle = m_processes.OpenProcess(kSynchronize, false, processId);
    if (!handle)
        return;
    // With nobody to ask, the wait ends when the uninstaller does; the slices let the window repaint and
    // the user decide.
    const bool sliced = m_whileWaiting || m_wait.decide;
    while (m_processes.WaitForSingleObject(handle, sliced ? kWaitSlice : kInfinite) == kWaitTimeout) {
        if (m_whileWaiting)
            m_whileWaiting();
        const WaitDecision decision = m_wait.decide ? m_wait.decide() : WaitDecision::KeepWaiting;
        if (decision == WaitDecision::KeepWaiting)
            continue;
        // One that ended while the user was deciding was not left running.
        if (m_processes.WaitForSingleObject(handle, 0) == kWaitTimeout)
            m_waitEnded = decision;
        break;
    }
    std::string line;
    switch (m_waitEnded) {
    case WaitDecision::KeepWaiting:
        break;
    case WaitDecision::StopWaiting:
        line = "Wait ended by the user. The uninstaller is still running.";
        break;
    case WaitDecision::TimedOut:
        line = "Wait ended by the time-out. The uninstaller is still running.";
        break;
    case WaitDecision::EndUninstaller:
        if (m_processes.endProcess(processId)) {
            // Gone before the verdict is read, so it cannot change the registry afterwards.
            m_processes.WaitForSingleObject(handle, kEndGrace);
            line = "Wait ended by the user. The uninstaller's process was ended.";
        } else {
            line = "Wait ended by the user. The uninstaller's process could not be ended.";
            tell("The uninstaller's process could not be ended; it may still be running.");
        }
        break;
    }
    m_processes.CloseHandle(handle);
    if (!line.empty())
        log(line);
}

bool UninstallRun::forceRemoval(const UninstallTarget& target)
{
    if (!deleteKeyTree(m_registry, kUninstallPath + target.key, target.source.root))
        return false;
    log("Uninstall Not Successful. Force the removal of the program from the list.");
    return true;
}

void UninstallRun::abortedByUser()
{
    log("Aborted by the user.");
}

bool UninstallRun::deleteFromList(const UninstallTarget& target)
{
    if (!deleteKeyTree(m_registry, kUninstallPath + target.key, target.source.root))
        return false;
    log(m_clock.nowGeneral());
    log("Deleted Entry for " + target.text);
    return true;
}

void UninstallRun::log(const std::string& line)
{
    if (appendToLog(m_logPath, line, m_clock) || m_logFailureTold)
        return;
    m_logFailureTold = true;
    tell(
        "The uninstall log " + m_logPath + " could not be written, so this uninstall is not recorded in it.");
}

void UninstallRun::tell(const std::string& message) const
{
    if (m_tell)
        m_tell(message);
}

} // namespace tw
