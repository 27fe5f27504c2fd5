// SPDX-License-Identifier: MIT
#include "app/ListCommand.h"

#include "inventory/Inventory.h"
#include "inventory/Listing.h"
#include "registry/Registry.h"
#include "session/OpenRegistry.h"
#include "system/clsSystem.h"

#include <ostream>

namespace tw {

std::vector<ProgramRow> listedPrograms(const OpenedRegistry& opened, char decimalSeparator)
{
    Registry registry(*opened.api);
    auto calls = opened.systemCalls();
    const std::string osName = clsSystem(*calls).sysInfo();
    Inventory inventory(registry, osName, PathMapping::forRegistryFile(opened.file), decimalSeparator);
    return inventory.scan();
}

int runListCommand(const RegistryRequest& request, const std::string& appFolder, char decimalSeparator,
    std::ostream& out, std::ostream& err)
{
    OpenedRegistry opened = openForCommand(request, appFolder, err);
    if (!opened.api)
        return 2;
    out << formatListing(listedPrograms(opened, decimalSeparator));
    out.flush();
    return 0;
}

} // namespace tw
