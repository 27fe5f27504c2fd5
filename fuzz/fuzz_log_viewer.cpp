// SPDX-License-Identifier: MIT
// An uninstall log file, as the log viewer loads it.
#include "fuzz/FuzzMain.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return tw::fuzz::runOne(tw::fuzz::logViewer, data, size);
}
