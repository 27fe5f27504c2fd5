// SPDX-License-Identifier: MIT
// Test helper: writes values to a registry file from a second process.
// Usage: tidewell_hive_writer FILE PREFIX COUNT
#include "registry/HiveRegistry.h"
#include "registry/Registry.h"

#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    tw::HiveRegistry hive(argv[1]);
    if (hive.loadError())
        return 3;
    tw::Registry reg(hive);
    const std::string prefix = argv[2];
    const int count = std::atoi(argv[3]);
    for (int i = 0; i < count; ++i)
        reg.SaveString(
            tw::kHKeyLocalMachine, "Software\\Tidewell Test", prefix + std::to_string(i), std::to_string(i));
    return 0;
}
