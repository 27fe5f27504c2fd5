// SPDX-License-Identifier: MIT
// An .ico file or a PE program or library, as the icon reader gets it from disk.
#include "fuzz/FuzzMain.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return tw::fuzz::runOne(tw::fuzz::iconFile, data, size);
}
