// SPDX-License-Identifier: MIT
#pragma once

#include "base/Errors.h"
#include "registry/WriteGate.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tw {

// A Wine program of a prefix, as the process list shows it.
struct WineProgram
{
    std::uint32_t pid = 0;
    std::string commandLine; // as Wine shows it: the Windows path and the arguments
};

// The wineserver of a Wine prefix, seen from outside. While it runs it holds the prefix's registry in
// memory and writes it back over the file (every 30 s and when it exits), so an edit made to the file
// meanwhile is lost. It holds a lock on <server folder>/lock for its whole life; that lock tells
// whether it runs, and taking it for a moment keeps a server from starting while a write is under
// way. Off Linux and for a folder that is not a prefix, no server is ever seen.
class WineServer final : public WriteGate
{
public:
    // `tempFolder` is where this build of Wine makes its server folders (TMPDIR, else /tmp).
    explicit WineServer(std::string prefixFolder, std::string tempFolder = defaultTempFolder());
    ~WineServer() override;
    WineServer(const WineServer&) = delete;
    WineServer& operator=(const WineServer&) = delete;

    const std::string& prefix() const { return m_prefix; }
    // The folders a server of this prefix may use: the one Debian's build names in <prefix>/wineserver
    // (under the temporary folder, and under /tmp), and upstream's /tmp/.wine-<uid>.
    std::vector<std::string> serverFolders() const;

    // Whether a server of the prefix runs now. Takes no lock.
    bool running() const;
    // Takes the lock of every server folder that exists (making the folder a server of this prefix
    // would use first, if it has not run since the machine started), without waiting; false (holding
    // nothing) when a server holds one. Nested calls count; hold it only for a moment, since a Wine program
    // that starts meanwhile waits for it and gives up after about 5 s.
    bool enter() override;
    void leave() override;

    // The Wine programs connected to the server, Wine's own services left out.
    std::vector<WineProgram> programs() const;

    static std::string defaultTempFolder();
    // Whether a registry file belongs to a Wine prefix: a system.reg beside drive_c or dosdevices.
    static bool isPrefixRegistry(const std::string& registryFile);

private:
    void release();
    // serverFolders(), looked up at most once a second for the polls.
    const std::vector<std::string>& polledFolders() const;

    std::string m_prefix;
    std::string m_temp;
    int m_depth = 0;
    std::vector<int> m_held; // descriptors whose locks are held
    mutable std::vector<std::string> m_polled;
    mutable std::optional<std::chrono::steady_clock::time_point> m_polledAt;
    bool m_interruptSaved = false;
    void (*m_savedInterrupt)(int) = nullptr;
};

// What the user is told when a write is refused because the prefix's server runs.
inline std::string wineRunningMessage(const std::string& prefix)
{
    return "Programs of the Wine prefix " + prefix
        + " are running, and Wine would overwrite this change when they end. Close them first, then try "
          "again.";
}

// Keeps a prefix's server from starting while one change is written (hold it for a moment only).
// When the server runs, nothing is held and nothing may be written. No server: always open.
class WriteHold
{
public:
    explicit WriteHold(WineServer* server)
        : m_server(server)
        , m_open(!server || server->enter())
    { }
    ~WriteHold()
    {
        if (m_server && m_open)
            m_server->leave();
    }
    WriteHold(const WriteHold&) = delete;
    WriteHold& operator=(const WriteHold&) = delete;
    bool refused() const { return !m_open; }
    // For procedures that report errors: a refusal is error 70 telling the user to close Wine first.
    void throwIfRefused() const
    {
        if (!m_open)
            throw Error(errc::kPermissionDenied, wineRunningMessage(m_server->prefix()));
    }

private:
    WineServer* m_server;
    bool m_open;
};

} // namespace tw
