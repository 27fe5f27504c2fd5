// SPDX-License-Identifier: MIT
#include "app/ListCommand.h"

#include "inventory/Inventory.h"
#include "inventory/Listing.h"
#include "registry/Registry.h"
#include "session/OpenRegistry.h"
#include "system/clsSystem.h"

#include <ostream>

namespace tw {

int runListCommand(const RegistryRequest& request, const std::string& appFolder, char decimalSeparator,
    std::ostream& out, std::ostream& err)
{
    OpenedRegistry opened = openForCommand(request, appFolder, err);
    if (!opened.api)
        return 2;
    Registry registry(*opened.api);
    auto calls = opened.systemCalls();
    const std::string osName = clsSystem(*calls).sysInfo();
    Inventory inventory(registry, osName, PathMapping::forRegistryFile(opened.file), decimalSeparator);
    out << formatListing(inventory.scan());
    out.flush();
    return 0;
}

} // namespace tw
