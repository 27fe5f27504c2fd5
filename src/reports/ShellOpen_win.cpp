// SPDX-License-Identifier: MIT
#include "reports/ShellOpen.h"

#include "base/Text.h"

#include <windows.h>

#include <shellapi.h>

namespace tw {

bool shellOpen(const std::string& address, void* owner)
{
    const HINSTANCE result = ShellExecuteA(
        static_cast<HWND>(owner), "Open", text::utf8ToAnsi(address).c_str(), "", "", SW_SHOWNORMAL);
    // Not a real handle: a number above 32 means success, anything else is an error code.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

bool haveShellOpen()
{
    return true;
}

} // namespace tw
