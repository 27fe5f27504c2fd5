// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace tw {

// Opens an address or file with the handler the system has for its kind, as the shell's "open" verb
// does, in a normal window. True when a handler took it. Where the system has no such call it is
// always false: there the UI reaches the desktop's handlers itself. `owner` is the native handle of the
// window that asks (null for none), so that error boxes of the handler appear over it.
bool shellOpen(const std::string& address, void* owner = nullptr);
// Whether shellOpen is the system's own way of opening things here.
bool haveShellOpen();

} // namespace tw
