// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace tw {

// The prefix last chosen in the window, kept in a small file of the user's data folder so that it opens
// again next time (see openRegistry for where it comes in the order).

// Empty when none was kept or the folder no longer holds a registry.
std::string rememberedPrefix(const std::string& userDataFolder);
// False when the file cannot be written; the choice is then only not remembered.
bool rememberPrefix(const std::string& userDataFolder, const std::string& prefix);

} // namespace tw
