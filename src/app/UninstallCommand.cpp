// SPDX-License-Identifier: MIT
#include "app/UninstallCommand.h"

#include "base/AppContext.h"
#include "base/Text.h"
#include "inventory/Inventory.h"
#include "registry/Registry.h"
#include "session/OpenRegistry.h"
#include "system/clsSystem.h"
#include "uninstall/Processes.h"
#include "uninstall/UninstallRun.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <ostream>

namespace tw {

namespace {

// Tells once, and again whenever the list changes, which programs keep the prefix's server running.
// With nobody to ask, it waits for the server however long the programs run; but a server that stays
// up with no program at all (one started to persist) is asked for the verdict directly.
class ServerWatch
{
public:
    using Deadline = std::optional<std::chrono::steady_clock::time_point>;

    ServerWatch(WineServer& server, Deadline deadline, std::ostream& err)
        : m_server(server)
        , m_deadline(deadline)
        , m_err(err)
    { }

    bool operator()()
    {
        using Clock = std::chrono::steady_clock;
        const auto now = Clock::now();
        if (m_deadline && now >= *m_deadline) {
            m_err << "tidewell: the time-out has passed with Wine still running in " << m_server.prefix()
                  << "; asking it for the result\n";
            return true;
        }
        // Reading every process's maps is not free: look twice a second.
        if (m_looked && now - *m_looked < std::chrono::milliseconds(500))
            return false;
        m_looked = now;
        std::vector<std::string> running;
        for (const WineProgram& p : m_server.programs())
            running.push_back(p.commandLine);
        if (running != m_shown && !running.empty()) {
            m_err << "tidewell: waiting for these programs of " << m_server.prefix()
                  << " to end, and then for Wine to save its registry:\n";
            for (const std::string& line : running)
                m_err << "  " << line << '\n';
            m_err.flush();
        }
        m_shown = running;
        if (!running.empty()) {
            m_idleSince.reset();
            return false;
        }
        if (!m_idleSince)
            m_idleSince = now;
        if (now - *m_idleSince < kIdleServer)
            return false;
        m_err << "tidewell: Wine's server in " << m_server.prefix()
              << " stays up with no program running; asking it for the result\n";
        return true;
    }

private:
    // A server exits about 2 s after its last program; one still up long after that was started to stay.
    static constexpr std::chrono::seconds kIdleServer { 10 };

    WineServer& m_server;
    Deadline m_deadline;
    std::ostream& m_err;
    std::vector<std::string> m_shown;
    std::optional<std::chrono::steady_clock::time_point> m_looked;
    std::optional<std::chrono::steady_clock::time_point> m_idleSince;
};

// Takes out an entry whose uninstaller is not there, as Delete From List does.
int deleteStaleEntry(UninstallRun& run, const UninstallTarget& target, const OpenedRegistry& opened,
    std::ostream& out, std::ostream& err)
{
    err << "tidewell: the uninstaller of \"" << target.key
        << "\" is not there; --force deletes the entry as Delete From List does\n";
    bool removed = false;
    {
        const WriteHold hold(opened.server.get());
        if (hold.refused()) {
            err << "tidewell: " << wineRunningMessage(opened.prefix) << '\n';
            return 2;
        }
        removed = run.deleteFromList(target);
    }
    if (!removed) {
        err << "tidewell: the entry \"" << target.key << "\" could not be removed from the registry\n";
        return 2;
    }
    out << "Deleted Entry for " << target.text << '\n';
    return 0;
}

} // namespace

int runUninstallCommand(const RegistryRequest& request, const std::string& appFolder, const std::string& key,
    const UninstallOptions& options, const Clock& clock, std::ostream& out, std::ostream& err,
    const PrefixLookup& owners)
{
    OpenedRegistry opened = openForCommand(request, appFolder, err);
    if (!opened.api)
        return 2;
    Registry registry(*opened.api);
    const std::string osName = clsSystem(*opened.systemCalls()).sysInfo();
    const PathMapping paths = PathMapping::forRegistryFile(opened.file);
    const std::vector<ProgramRow> rows = Inventory(registry, osName, paths).scan();
    const std::u16string wanted = text::utf8ToUtf16(key);
    const auto row = std::find_if(rows.begin(), rows.end(),
        [&](const ProgramRow& r) { return text::equalsIgnoreCase(text::utf8ToUtf16(r.key), wanted); });
    if (row == rows.end()) {
        err << "tidewell: no program with the registry name \"" << key << "\" is listed\n";
        return 2;
    }

    const WineChoice own
        = owners && !opened.winePrefix().empty() ? owners(opened.winePrefix()).wine : WineChoice();
    if (own.asksFirst()) {
        err << "tidewell: " << own.warning()
            << " Name the Wine to use in TIDEWELL_WINE to run the uninstaller anyway.\n";
        return 2;
    }
    const AppContext context
        = makeAppContext(appFolder, paths::chooseDataFolder(appFolder, paths::userDataFolder()), osName);
    auto processes = makeProcessCalls(paths, opened.winePrefix(), { own.program, {} });
    ServerWatch::Deadline deadline;
    if (options.timeout)
        deadline = std::chrono::steady_clock::now() + *options.timeout;
    WineSide wine;
    std::optional<ServerWatch> watch;
    if (opened.server) {
        watch.emplace(*opened.server, deadline, err);
        wine = wineSideFor(
            *opened.server, opened.api->redirects(), [&watch] { return (*watch)(); }, own.program);
    }
    UninstallRun run(registry, *processes, context.logPath, clock, {}, wine);
    run.setTell([&err](const std::string& message) { err << "tidewell: " << message << '\n'; });
    if (deadline) {
        run.setUninstallerWait({ [&deadline] {
                                    return std::chrono::steady_clock::now() >= *deadline
                                        ? WaitDecision::TimedOut
                                        : WaitDecision::KeepWaiting;
                                },
            {} });
    }
    const UninstallTarget target { row->key, row->text, row->uninstallCommand };
    const UninstallOutcome outcome = run.run(target);
    if (run.waitEnded() == WaitDecision::TimedOut)
        err << "tidewell: stopped waiting for the uninstaller after " << options.timeout->count()
            << (options.timeout->count() == 1 ? " second" : " seconds") << "; it is still running\n";
    switch (outcome) {
    case UninstallOutcome::NotStarted:
        // A stale entry: its uninstaller is gone, so only Delete From List can take it out.
        if (options.force && run.uninstallerMissing())
            return deleteStaleEntry(run, target, opened, out, err);
        return 2;
    case UninstallOutcome::Unknown:
        return 2;
    case UninstallOutcome::Removed:
        out << "Uninstall OK. Uninstaller removed program from the list.\n";
        return 0;
    case UninstallOutcome::StillPresent:
        break;
    }
    if (!options.force) {
        out << "Uninstall Not Successful. Program was not removed from the list.\n";
        return 1;
    }
    bool removed = false;
    bool refused = false;
    {
        // The whole key tree goes under one hold, as in the clean-up dialog.
        const WriteHold hold(opened.server.get());
        refused = hold.refused();
        if (!refused)
            removed = run.forceRemoval(target);
    }
    if (!removed) {
        out << "Uninstall Not Successful. Program was not removed from the list.\n";
        if (refused)
            err << "tidewell: " << wineRunningMessage(opened.prefix) << '\n';
        else
            err << "tidewell: the entry \"" << row->key << "\" could not be removed from the registry\n";
        return 1;
    }
    out << "Uninstall Not Successful. Force the removal of the program from the list.\n";
    return 0;
}

} // namespace tw
