// SPDX-License-Identifier: MIT
#pragma once

#include "registry/RegistryApi.h"

#include <string>

namespace tw {

// Where an uninstall entry lives: its root and, below HKEY_LOCAL_MACHINE, the view it was read in.
// Every operation on the entry goes back there.
struct RegistrySource
{
    RegKey root = kHKeyLocalMachine;
    bool wow32 = false; // the 32-bit view of a registry that has one of its own
    bool operator==(const RegistrySource&) const = default;
};

// For the user: "All users", "All users, 32-bit" (machine-wide, either view) or "Per user".
std::string sourceName(const RegistrySource& source);
// The same with the root it names: "All users, 32-bit (HKEY_LOCAL_MACHINE, Wow6432Node)".
std::string sourceDescription(const RegistrySource& source);

// Which machine-wide views the program list holds; per-user entries are listed in each case, since
// HKEY_CURRENT_USER's Uninstall key is the same for both kinds of program.
enum class MachineViews { Both, Only64, Only32 };

} // namespace tw
