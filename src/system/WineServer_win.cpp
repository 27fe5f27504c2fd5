// SPDX-License-Identifier: MIT
// On Windows the registry is the system's own; no Wine server stands between Tidewell and it.
#include "system/WineServer.h"

namespace tw {

WineServer::WineServer(std::string prefixFolder, std::string tempFolder)
    : m_prefix(std::move(prefixFolder))
    , m_temp(std::move(tempFolder))
{ }

WineServer::~WineServer() = default;

std::vector<std::string> WineServer::serverFolders() const
{
    return {};
}

bool WineServer::running() const
{
    return false;
}

bool WineServer::enter()
{
    return true;
}

void WineServer::leave() { }

void WineServer::release() { }

const std::vector<std::string>& WineServer::polledFolders() const
{
    return m_polled;
}

std::vector<WineProgram> WineServer::programs() const
{
    return {};
}

std::string WineServer::defaultTempFolder()
{
    return {};
}

bool WineServer::isPrefixRegistry(const std::string&)
{
    return false;
}

} // namespace tw
