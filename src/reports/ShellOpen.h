// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace tw {

// Opens an address or file with the handler the system has for its kind, as the shell's "open" verb
// does, in a normal window. True when a handler took it. Where the system has no such call it is
// always false: there the UI reaches the desktop's handlers itself.
bool shellOpen(const std::string& address);

} // namespace tw
