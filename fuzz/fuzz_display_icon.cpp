// SPDX-License-Identifier: MIT
// A DisplayIcon value.
#include "fuzz/FuzzMain.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return tw::fuzz::runOne(tw::fuzz::displayIcon, data, size);
}
