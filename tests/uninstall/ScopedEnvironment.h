// SPDX-License-Identifier: MIT
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace tw::test {

// An environment variable set for one test; what was there before comes back.
struct ScopedEnvironment
{
    ScopedEnvironment(const char* name_, const std::string& value)
        : name(name_)
        , old(std::getenv(name_) ? std::optional<std::string>(std::getenv(name_)) : std::nullopt)
    {
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment() { old ? ::setenv(name, old->c_str(), 1) : ::unsetenv(name); }

    const char* name;
    std::optional<std::string> old;
};

} // namespace tw::test
