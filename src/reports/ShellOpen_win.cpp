// SPDX-License-Identifier: MIT
#include "reports/ShellOpen.h"

#include "app/Text.h"

#include <windows.h>

#include <shellapi.h>

namespace tw {

bool shellOpen(const std::string& address)
{
    const HINSTANCE result
        = ShellExecuteA(nullptr, "open", text::utf8ToAnsi(address).c_str(), "", "", SW_SHOWNORMAL);
    // Not a real handle: a number above 32 means success, anything else is an error code.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

} // namespace tw
