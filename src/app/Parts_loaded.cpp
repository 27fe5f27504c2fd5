// SPDX-License-Identifier: MIT
// Each part is a shared library beside the program file (in a build folder), or in the program's
// library folder of an install (TIDEWELL_PARTS_DIR, relative to the program's folder).
#include "app/Parts.h"

#include "base/AppContext.h"

#include <dlfcn.h>
#include <unistd.h>

#ifndef TIDEWELL_PARTS_DIR
#error "TIDEWELL_PARTS_DIR comes from src/CMakeLists.txt"
#endif

namespace tw::parts {
namespace {

void* entry(const char* library, const char* symbol)
{
    const std::string folder = paths::applicationFolder();
    std::string path = folder + "/" + library;
    if (access(path.c_str(), F_OK) != 0)
        path = folder + "/" TIDEWELL_PARTS_DIR "/" + library;
    // Loaded once and kept: what the part hands out (the clock's forms) is its code.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        throw PartMissing(dlerror());
    void* address = dlsym(handle, symbol);
    if (!address)
        throw PartMissing(dlerror());
    return address;
}

template<class Function> Function* entryOf(const char* library, const char* symbol)
{
    return reinterpret_cast<Function*>(entry(library, symbol));
}

constexpr const char* kLocaleLibrary = "libtidewell_locale.so";

} // namespace

int runWindow(int argc, char** argv)
{
    return entryOf<int(int, char**)>("libtidewell_window.so", "tidewell_window_main")(argc, argv);
}

char decimalSeparator()
{
    static char (*const read)() = entryOf<char()>(kLocaleLibrary, "tidewell_decimal_separator");
    return read();
}

Clock localeClock()
{
    static void (*const read)(Clock*) = entryOf<void(Clock*)>(kLocaleLibrary, "tidewell_locale_clock");
    Clock clock;
    read(&clock);
    return clock;
}

} // namespace tw::parts
