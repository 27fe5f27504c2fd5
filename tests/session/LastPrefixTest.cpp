// SPDX-License-Identifier: MIT
#include "session/LastPrefix.h"

#include "../registry/TestFiles.h"
#include "base/AppContext.h"
#include "session/OpenRegistry.h"

using namespace tw;

TEST(LastPrefix, opensAfterWhatNamesARegistryAndBeforeWinePrefixWhileItHoldsOne)
{
    test::TempDir dir;
    for (const char* prefix : { "chosen", "environment" }) {
        std::filesystem::create_directories(dir.path() / prefix);
        test::writeAll(dir.path() / prefix / "system.reg", test::readAll(test::dataPath("wine/system.reg")));
    }
    setenv("XDG_DATA_HOME", dir.file("data").c_str(), 1);
    setenv("WINEPREFIX", dir.file("environment").c_str(), 1);
    unsetenv("TIDEWELL_REGISTRY");
    // The prefix whose registry opens.
    const auto opened = [&](const RegistryRequest& request) {
        return std::filesystem::path(openRegistry(request, dir.file("app")).file).parent_path().string();
    };

    EXPECT_EQ(rememberedPrefix(paths::userDataFolder()), "");
    ASSERT_TRUE(rememberPrefix(paths::userDataFolder(), dir.file("chosen")));
    EXPECT_EQ(opened({}), dir.file("chosen"));
    RegistryRequest named;
    named.prefix = dir.file("environment");
    EXPECT_EQ(opened(named), dir.file("environment"));
    setenv("TIDEWELL_REGISTRY", dir.file("environment/system.reg").c_str(), 1);
    EXPECT_EQ(opened({}), dir.file("environment"));
    unsetenv("TIDEWELL_REGISTRY");

    std::filesystem::remove(dir.path() / "chosen" / "system.reg");
    EXPECT_EQ(opened({}), dir.file("environment"));
    unsetenv("WINEPREFIX");
    unsetenv("XDG_DATA_HOME");
}
