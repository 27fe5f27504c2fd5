// SPDX-License-Identifier: MIT
#pragma once

#include "system/SystemCalls.h"

#include <string>

namespace tw {

// Names the operating system and tells the computer's and the user's names. Holds no state.
class clsSystem
{
public:
    explicit clsSystem(SystemCalls& calls)
        : m_calls(calls)
    { }

    // "Microsoft Windows 98" and the like; empty when the system is not recognised.
    std::string sysInfo();
    std::string computerName();
    std::string userName();

private:
    SystemCalls& m_calls;
};

// The name table: first matching row wins.
std::string osName(const OsVersionInfoA& info);

} // namespace tw
