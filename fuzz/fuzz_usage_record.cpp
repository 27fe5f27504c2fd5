// SPDX-License-Identifier: MIT
// A usage record (SlowInfoCache) as the registry holds it.
#include "fuzz/FuzzMain.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return tw::fuzz::runOne(tw::fuzz::usageRecord, data, size);
}
