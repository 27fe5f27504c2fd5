// SPDX-License-Identifier: MIT
// The body of the published version file, as the update check downloads it.
#include "fuzz/FuzzMain.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return tw::fuzz::runOne(tw::fuzz::versionFile, data, size);
}
