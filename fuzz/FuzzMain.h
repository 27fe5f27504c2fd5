// SPDX-License-Identifier: MIT
// The libFuzzer side of a target: a broken rule is reported and ends the run as a crash would.
#pragma once

#include "fuzz/FuzzTargets.h"

#include <cstdio>
#include <cstdlib>

namespace tw::fuzz {

template<class Target> int runOne(Target&& target, const std::uint8_t* data, std::size_t size)
{
    try {
        target(Input(data, size));
    } catch (const Violation& v) {
        std::fprintf(stderr, "==fuzz== rule broken: %s\n", v.what());
        std::abort();
    }
    return 0;
}

} // namespace tw::fuzz
