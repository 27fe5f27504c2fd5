// SPDX-License-Identifier: MIT
// Text in any encoding, through the conversions between UTF-8, UTF-16 and the ANSI code page.
#include "fuzz/FuzzMain.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return tw::fuzz::runOne(tw::fuzz::textConversions, data, size);
}
