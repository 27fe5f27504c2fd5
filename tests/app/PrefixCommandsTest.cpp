// SPDX-License-Identifier: MIT
// The commands over prefix discovery, on fake home folders: --prefixes, --prefix by name, and whose
// Wine --uninstall starts.
#include "app/FoundPrefixes.h"
#include "app/PrefixesCommand.h"
#include "app/UninstallCommand.h"
#include "session/OpenRegistry.h"

#include "../base/PinnedClock.h"
#include "../prefixes/FakeHome.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>

using namespace tw;

namespace {

// A registry listing one program per key, each uninstalled by C:\u.exe.
std::string registry(const std::vector<std::string>& keys)
{
    std::string text = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n";
    for (const std::string& key : keys)
        text += "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\" + key
            + "] 1\n\"DisplayName\"=\"" + key + "\"\n\"UninstallString\"=\"C:\\\\u.exe\"\n\n";
    return text;
}

class PrefixCommandsTest : public testing::Test, protected test::FakeHome
{
protected:
    PrefixCommandsTest()
    {
        setenv("HOME", home("").c_str(), 1);
        for (const char* name : { "XDG_DATA_HOME", "XDG_CONFIG_HOME", "WINEPREFIX", "WINE_PREFIXES",
                 "TIDEWELL_REGISTRY", "TIDEWELL_WINE" })
            unsetenv(name);
    }

    std::string prefixes()
    {
        std::ostringstream out;
        std::ostringstream e;
        EXPECT_EQ(runPrefixesCommand(false, out, e), 0);
        err = e.str();
        return out.str();
    }

    int uninstall(const std::string& prefix)
    {
        RegistryRequest request;
        request.prefix = prefix;
        std::ostringstream out;
        std::ostringstream e;
        const int status
            = runUninstallCommand(request, path(""), "app", {}, test::pinnedClock(), out, e, ownersOf);
        err = e.str();
        return status;
    }

    // A Bottles bottle whose runner's Wine records what it was asked to start, when `withWine`.
    std::string bottle(const std::string& name, bool withWine)
    {
        const std::string folder = prefix("home/.local/share/bottles/bottles/" + name, registry({ "app" }));
        write("home/.local/share/bottles/bottles/" + name + "/drive_c/u.exe", "MZ");
        write("home/.local/share/bottles/bottles/" + name + "/bottle.yml",
            "Name: " + name + "\nPath: " + name + "\nRunner: kron-4\n");
        if (withWine) {
            write("home/.local/share/bottles/runners/kron-4/bin/wine",
                "#!/bin/sh\necho \"$0 $*\" > '" + path("record") + "'\n");
            std::filesystem::permissions(
                path("home/.local/share/bottles/runners/kron-4/bin/wine"), std::filesystem::perms::owner_all);
        }
        return folder;
    }

    std::string err;
};

} // namespace

TEST_F(PrefixCommandsTest, noPrefixIsAnEmptyListAndSuccess)
{
    EXPECT_EQ(prefixes(), "");
    EXPECT_EQ(err, "");
}

TEST_F(PrefixCommandsTest, oneLinePerPrefixWithItsOwnersJoinedAndItsProgramsCounted)
{
    prefix("home/.wine", registry({ "a", "b" }));
    const std::string shared = prefix("home/.local/share/wineprefixes/shared", registry({ "c" }));
    link(shared, "home/Games/linked");
    write("home/.config/lutris/games/game-1.yml", "name: My Game\ngame:\n  prefix: ~/Games/linked\n");
    write("home/.config/lutris/games/broken-2.yml", "game: [\n");
    const std::string tab = prefix("home/.local/share/wineprefixes/tab\tname", registry({}));
    const std::string broken
        = prefix("home/.local/share/wineprefixes/unreadable", "WINE REGISTRY Version 2\n[x");

    EXPECT_EQ(prefixes(),
        home(".wine") + "\tWine\t.wine\t2\n" + shared + "\twinetricks, Lutris\tshared, My Game\t1\n"
            + home(".local/share/wineprefixes/tab\\tname") + "\twinetricks\ttab\\tname\t0\n" + broken
            + "\twinetricks\tunreadable\t\n");
    EXPECT_NE(err.find(path("home/.config/lutris/games/broken-2.yml: ")), std::string::npos) << err;
    EXPECT_NE(err.find(broken + "/system.reg, line 2"), std::string::npos) << err;
}

TEST_F(PrefixCommandsTest, prefixTakesAFolderOrTheNameOfExactlyOnePrefix)
{
    const std::string games = bottle("Games", false);
    const std::string other = prefix("home/other");
    write("home/.config/lutris/games/g-1.yml", "name: Games\ngame:\n  prefix: " + other + "\n");
    write("home/.config/lutris/games/h-2.yml", "name: Hollow\ngame:\n  prefix: " + other + "\n");
    std::string error;
    EXPECT_EQ(prefixFolder("Hollow", error), other);
    EXPECT_EQ(prefixFolder(path("nowhere"), error), path("nowhere"));
    EXPECT_EQ(error, "");

    EXPECT_EQ(prefixFolder("Games", error), "");
    EXPECT_EQ(error,
        "\"Games\" names 2 Wine prefixes; give the folder of the one meant:\n  " + games
            + " (Bottles: Games)\n  " + other + " (Lutris: Games, Lutris: Hollow)");
    EXPECT_EQ(prefixFolder("Gams", error), "");
    EXPECT_EQ(error,
        "\"Gams\" is neither a folder nor the name of a Wine prefix found here; the names found are:\n"
        "  Games (Bottles)\n  Games (Lutris)\n  Hollow (Lutris)");
}

TEST_F(PrefixCommandsTest, theUninstallerRunsWithThePrefixsOwnWineAndNotTheSystemsUnasked)
{
    const std::string office = bottle("Office", true);
    EXPECT_EQ(uninstall(office), 1); // the stand-in removes nothing
    EXPECT_EQ(read("record"), path("home/.local/share/bottles/runners/kron-4/bin/wine") + " C:\\u.exe\n");

    std::filesystem::remove(path("home/.local/share/bottles/runners/kron-4/bin/wine"));
    EXPECT_EQ(uninstall(office), 2);
    EXPECT_EQ(err,
        "tidewell: This prefix was made by Bottles with its own Wine (kron-4), which was not found. Running "
        "the "
        "system's Wine in it may upgrade the prefix and break it for Bottles. Name the Wine to use in "
        "TIDEWELL_WINE to run the uninstaller anyway.\n");
    const std::string log = read("UnLog.log");
    EXPECT_EQ(log.find("Uninstalling app"), log.rfind("Uninstalling app")) << "the refusal logged a start";

    write("named", "#!/bin/sh\necho named > '" + path("record") + "'\n");
    std::filesystem::permissions(path("named"), std::filesystem::perms::owner_all);
    setenv("TIDEWELL_WINE", path("named").c_str(), 1);
    EXPECT_EQ(uninstall(office), 1);
    EXPECT_EQ(read("record"), "named\n");
}
