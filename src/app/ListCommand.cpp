// SPDX-License-Identifier: MIT
#include "app/ListCommand.h"

#include "app/OpenRegistry.h"
#include "inventory/Inventory.h"
#include "inventory/Listing.h"
#include "registry/Registry.h"
#include "system/clsSystem.h"

#include <ostream>

namespace tw {

int runListCommand(const RegistryRequest& request, const std::string& appFolder, char decimalSeparator,
    std::ostream& out, std::ostream& err)
{
    OpenedRegistry opened = openRegistry(request, appFolder);
    if (!opened.api) {
        err << "tidewell: " << opened.error << '\n';
        return 2;
    }
    if (opened.server && opened.server->running())
        err << "tidewell: Wine is running in " << opened.prefix
            << "; its registry file may not hold its latest changes yet\n";
    Registry registry(*opened.api);
    // The Windows version is one for both views: read it where the 64-bit view keeps it.
    Registry backend(*opened.backend);
    auto calls = makeSystemCalls(opened.file.empty() ? nullptr : &backend);
    const std::string osName = clsSystem(*calls).sysInfo();
    Inventory inventory(registry, osName, PathMapping::forRegistryFile(opened.file), decimalSeparator);
    out << formatListing(inventory.scan());
    out.flush();
    return 0;
}

} // namespace tw
