// SPDX-License-Identifier: MIT
#include "app/ListCommand.h"

#include "inventory/Inventory.h"
#include "inventory/Listing.h"
#include "registry/Registry.h"
#include "registry/RegistryView.h"
#include "session/OpenRegistry.h"
#include "system/clsSystem.h"

#include <ostream>

namespace tw {

ReadScope listingScope()
{
    ReadScope scope;
    for (const char* path : { kUninstallPath, kArpCachePath })
        scope.branch(path).branch(RegistryView::redirect32(path));
    return scope.values(kNtVersionKey).values(k9xVersionKey);
}

OpenedRegistry openForListing(const RegistryRequest& request, const std::string& appFolder, std::ostream& err)
{
    RegistryRequest scoped = request;
    scoped.scope = listingScope();
    return openForCommand(scoped, appFolder, err);
}

std::vector<ProgramRow> listedPrograms(const OpenedRegistry& opened, char decimalSeparator)
{
    auto calls = opened.systemCalls();
    const std::string osName = clsSystem(*calls).sysInfo();
    Inventory inventory(*opened.views, osName, PathMapping::forRegistryFile(opened.file), decimalSeparator);
    return inventory.scan();
}

int runListCommand(const RegistryRequest& request, const std::string& appFolder, char decimalSeparator,
    std::ostream& out, std::ostream& err)
{
    OpenedRegistry opened = openForListing(request, appFolder, err);
    if (!opened.views)
        return 2;
    out << formatListing(listedPrograms(opened, decimalSeparator));
    out.flush();
    return 0;
}

} // namespace tw
