// SPDX-License-Identifier: MIT
// Steam's KeyValues text (libraryfolders.vdf, appmanifest_*.acf), as prefix discovery reads it.
#include "prefixes/Vdf.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string error;
    if (!tw::prefixes::vdf::parse({ reinterpret_cast<const char*>(data), size }, &error) && error.empty()) {
        std::fprintf(stderr, "==fuzz== rule broken: input refused without a reason\n");
        std::abort();
    }
    return 0;
}
