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
#include <thread>

namespace tw {

namespace {

constexpr std::uint32_t kWaitSlice = 50;

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

} // namespace

bool deleteKeyTree(Registry& registry, const std::string& path)
{
    RegistryApi& api = registry.api();
    const std::string ansi = text::utf8ToAnsi(path);
    deleteTreeAt(api, kHKeyLocalMachine, ansi, 0);
    RegKey key = 0;
    const long rc = api.RegOpenKeyExA(kHKeyLocalMachine, ansi.c_str(), 0, kKeyRead, &key);
    if (rc == kErrorSuccess)
        api.RegCloseKey(key);
    return rc == kErrorFileNotFound;
}

WineSide wineSideFor(WineServer& server, bool wow32, std::function<bool()> whileServerRuns, std::string wine)
{
    WineSide side;
    side.server = &server;
    side.whileServerRuns = std::move(whileServerRuns);
    side.liveDisplayName = [&server, wow32, wine](const std::string& key) -> std::optional<std::string> {
        std::string path = kUninstallPath + key;
        if (wow32)
            path = RegistryView::redirect32(path);
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
    appendToLog(m_logPath, m_clock.nowGeneral(), m_clock);
    appendToLog(m_logPath, "Uninstalling " + target.text, m_clock);
    std::uint32_t pid = 0;
    if (!proc.step(__LINE__, [&] { pid = m_processes.startProcess(target.command); }))
        return UninstallOutcome::NotStarted;
    if (pid == 0)
        return UninstallOutcome::NotStarted;
    if (!proc.step(__LINE__, [&] {
            const ProcessHandle handle = m_processes.OpenProcess(kSynchronize, false, pid);
            if (!handle)
                return;
            // No time-out: the wait ends when the uninstaller does. The slices only let the window repaint.
            while (m_processes.WaitForSingleObject(handle, m_whileWaiting ? kWaitSlice : kInfinite)
                == kWaitTimeout) {
                if (m_whileWaiting)
                    m_whileWaiting();
            }
            m_processes.CloseHandle(handle);
        }))
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
    if (!proc.step(__LINE__, [&] {
            std::optional<std::string> live;
            if (judgeNow && m_wine.liveDisplayName)
                live = m_wine.liveDisplayName(target.key);
            name = live
                ? *live
                : m_registry.GetStringValue(kHKeyLocalMachine, kUninstallPath + target.key, "DisplayName");
        }))
        return UninstallOutcome::NotStarted;
    if (name.empty()) {
        appendToLog(m_logPath, "Uninstall OK. Uninstaller removed program from the list.", m_clock);
        return UninstallOutcome::Removed;
    }
    appendToLog(m_logPath, "Uninstall Not Successful. Program was not removed from the list.", m_clock);
    return UninstallOutcome::StillPresent;
}

bool UninstallRun::forceRemoval(const UninstallTarget& target)
{
    if (!deleteKeyTree(m_registry, kUninstallPath + target.key))
        return false;
    appendToLog(
        m_logPath, "Uninstall Not Successful. Force the removal of the program from the list.", m_clock);
    return true;
}

void UninstallRun::abortedByUser()
{
    appendToLog(m_logPath, "Aborted by the user.", m_clock);
}

} // namespace tw
