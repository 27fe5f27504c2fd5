// SPDX-License-Identifier: MIT
// The uninstaller of a few demo entries, so that an uninstall from the demo can be seen to work
// without Wine: it takes its entry out of the user's copy of the demo registry, or, as some real
// uninstallers do, ends and leaves the entry behind.
//   tidewell-demo-uninstaller [--registry FILE] remove|leave KEY
#include "base/AppContext.h"
#include "inventory/Inventory.h"
#include "registry/HiveRegistry.h"
#include "registry/Registry.h"
#include "uninstall/UninstallRun.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    // The copy Tidewell opens as the demo; another file only where one is named.
    std::string file = tw::paths::join(tw::paths::join(tw::paths::userDataFolder(), "demo"), "system.reg");
    if (args.size() == 4 && args[0] == "--registry") {
        file = args[1];
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.size() != 2 || (args[0] != "remove" && args[0] != "leave")) {
        std::cerr << "usage: tidewell-demo-uninstaller [--registry FILE] remove|leave KEY\n";
        return 2;
    }
    if (args[0] == "leave")
        return 0;
    tw::HiveRegistry hive(file);
    if (hive.loadError()) {
        std::cerr << "tidewell-demo-uninstaller: " << hive.loadError()->text() << '\n';
        return 2;
    }
    tw::Registry registry(hive);
    if (!tw::deleteKeyTree(registry, tw::kUninstallPath + args[1])) {
        std::cerr << "tidewell-demo-uninstaller: the entry " << args[1] << " could not be removed from "
                  << file << '\n';
        return 1;
    }
    return 0;
}
