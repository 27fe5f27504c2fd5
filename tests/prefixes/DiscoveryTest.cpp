// SPDX-License-Identifier: MIT
// Each test lays out a home folder as the front-ends leave it, in a temporary folder, and checks
// the prefixes found as lines "<prefix> <front-end>:<name> [<runner>] -> <wine>", paths relative to
// the temporary folder.
#include "prefixes/Discovery.h"

#include "FakeHome.h"

#include <gtest/gtest.h>

using namespace tw::prefixes;
namespace fs = std::filesystem;

namespace {

class DiscoveryTest : public testing::Test, protected tw::test::FakeHome
{
protected:
    Environment env() const { return Environment { path("home"), {}, {}, {}, {} }; }

    std::vector<std::string> found(const Environment& e) const
    {
        const Discovery d = discover(e);
        warnings = d.warnings;
        for (std::string& w : warnings)
            w = relative(w);
        std::vector<std::string> lines;
        for (const Prefix& p : d.prefixes) {
            for (const Owner& o : p.owners) {
                lines.push_back(relative(p.path) + " " + o.frontEnd + ":" + o.name
                    + (o.runner.empty() ? "" : " [" + o.runner + "]")
                    + (o.winePath.empty() ? "" : " -> " + relative(o.winePath)));
            }
        }
        return lines;
    }
    std::vector<std::string> found() const { return found(env()); }

    std::string relative(std::string s) const
    {
        const std::string base = m_root.string() + "/";
        if (s.starts_with(base))
            s.erase(0, base.size());
        return s;
    }

    mutable std::vector<std::string> warnings;
};

using Lines = std::vector<std::string>;

} // namespace

TEST_F(DiscoveryTest, findsNothingWithoutFrontEndsOrHome)
{
    EXPECT_EQ(found(), Lines {});
    EXPECT_EQ(found(Environment {}), Lines {});
    EXPECT_EQ(warnings, Lines {});
}

TEST_F(DiscoveryTest, aPrefixHoldsSystemRegAndDriveC)
{
    prefix("home/.local/share/wineprefixes/real");
    write("home/.local/share/wineprefixes/no-drive/system.reg", "");
    fs::create_directories(home(".local/share/wineprefixes/no-registry/drive_c"));
    fs::create_directories(home(".local/share/wineprefixes/registry-folder/system.reg"));
    fs::create_directories(home(".local/share/wineprefixes/registry-folder/drive_c"));
    EXPECT_EQ(found(), Lines { "home/.local/share/wineprefixes/real winetricks:real" });
    EXPECT_TRUE(isPrefix(path("home/.local/share/wineprefixes/real")));
}

TEST_F(DiscoveryTest, wineWinetricksAndPlayOnLinux)
{
    prefix("home/.wine");
    prefix("elsewhere/app");
    prefix("tricks/b");
    prefix("tricks/a");
    prefix("home/.local/share/wineprefixes/ignored"); // WINE_PREFIXES replaces the default
    prefix("home/.PlayOnLinux/wineprefix/Office");
    write("home/.PlayOnLinux/wineprefix/Office/playonlinux.cfg", "ARCH=amd64\r\nVERSION=4.0.3\r\n");
    write("home/.PlayOnLinux/wine/linux-amd64/4.0.3/bin/wine", "");
    Environment e = env();
    e.winePrefix = path("elsewhere/app/");
    e.winePrefixes = path("tricks");
    EXPECT_EQ(found(e),
        (Lines { "home/.wine Wine:.wine", "elsewhere/app Wine:app", "tricks/a winetricks:a",
            "tricks/b winetricks:b",
            "home/.PlayOnLinux/wineprefix/Office PlayOnLinux:Office [4.0.3] -> "
            "home/.PlayOnLinux/wine/linux-amd64/4.0.3/bin/wine" }));
}

TEST_F(DiscoveryTest, bottlesNativeFlatpakAndCustomFolders)
{
    const std::string native = "home/.local/share/bottles/";
    prefix(native + "bottles/Office");
    write(native + "bottles/Office/bottle.yml",
        "Name: Office Bottle\nPath: Office\nCustom_Path: false\nRunner: soda-7.0-9\nArch: win64\n");
    write(native + "runners/soda-7.0-9/bin/wine", "");
    prefix(native + "bottles/Broken");
    write(native + "bottles/Broken/bottle.yml", "Name: [unclosed\n");
    fs::create_directories(home(".local/share/bottles/bottles/Empty"));
    write(native + "data.yml", "custom_bottles_path: " + path("bottles2") + "\n");
    prefix("bottles2/Games");
    write("bottles2/Games/bottle.yml", "Name: Games\nPath: Games\nRunner: sys-wine-9.0\n");

    const std::string flatpak = "home/.var/app/com.usebottles.bottles/data/bottles/";
    prefix("elsewhere/flat");
    write(flatpak + "bottles/Flat/bottle.yml",
        "Name: Flat\nPath: " + path("elsewhere/flat") + "\nCustom_Path: true\n");
    write(flatpak + "data.yml", "custom_bottles_path: [");

    EXPECT_EQ(found(),
        (Lines { "home/.local/share/bottles/bottles/Broken Bottles:Broken", "elsewhere/flat Bottles:Flat",
            "bottles2/Games Bottles:Games [sys-wine-9.0]",
            "home/.local/share/bottles/bottles/Office Bottles:Office Bottle [soda-7.0-9] -> "
            "home/.local/share/bottles/runners/soda-7.0-9/bin/wine" }));
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_TRUE(warnings[0].starts_with("home/.local/share/bottles/bottles/Broken/bottle.yml: "))
        << warnings[0];
    EXPECT_TRUE(warnings[1].starts_with(flatpak + "data.yml: ")) << warnings[1];
}

TEST_F(DiscoveryTest, lutrisGamesFromTheConfigurationOrDataFolder)
{
    const std::string games = "home/.config/lutris/games/";
    prefix("home/Games/my-game");
    write(games + "my-game-1700000000.yml",
        "game:\n  exe: /x.exe\n  prefix: ~/Games/my-game\nwine:\n  version: lutris-8.0\n");
    write("home/.local/share/lutris/runners/wine/lutris-8.0/bin/wine", "");
    prefix("named");
    write(games + "named-1.yml", "name: Named Game\ngame:\n  prefix: " + path("named") + "\n");
    write(games + "native-2.yml", "game:\n  exe: /usr/bin/true\n");
    write(games + "broken-3.yml", "game: [unclosed\n");
    write(games + "list-4.yml", "- a\n- b\n");
    // With a configuration folder present, Lutris does not look at its data folder's games.
    prefix("stale");
    write("home/.local/share/lutris/games/stale-5.yml", "game:\n  prefix: " + path("stale") + "\n");
    prefix("flat");
    write("home/.var/app/net.lutris.Lutris/data/lutris/games/flat-6.yml",
        "game:\n  prefix: " + path("flat") + "\n");

    EXPECT_EQ(found(),
        (Lines { "flat Lutris:flat",
            "home/Games/my-game Lutris:my-game [lutris-8.0] -> "
            "home/.local/share/lutris/runners/wine/lutris-8.0/bin/wine",
            "named Lutris:Named Game" }));
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_TRUE(warnings[0].starts_with(games + "broken-3.yml: ")) << warnings[0];
    EXPECT_EQ(warnings[1], games + "list-4.yml: not a game's configuration");
}

TEST_F(DiscoveryTest, steamLibrariesManifestsAndProtonBuilds)
{
    // ~/.steam/steam links to the real folder: one Steam, not two.
    const std::string steam = "home/.local/share/Steam/";
    link(path(steam), "home/.steam/steam");
    write(steam + "steamapps/libraryfolders.vdf",
        "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + path(steam)
            + "\"\n\t\t\"apps\" { \"440\" \"1\" }\n\t}\n\t\"1\"\n\t{\n\t\t\"path\"\t\t\"" + path("library")
            + "\"\n\t}\n}\n");
    prefix(steam + "steamapps/compatdata/440/pfx");
    write(steam + "steamapps/compatdata/440/version", "8.0-104\n");
    write(steam + "steamapps/compatdata/440/config_info",
        "8.0-104\n" + path("library/steamapps/common/Proton 8.0/files/share/fonts/") + "\n"
            + path("library/steamapps/common/Proton 8.0/files/lib/") + "\n");
    write("library/steamapps/common/Proton 8.0/files/bin/wine", "");
    write("library/steamapps/appmanifest_440.acf",
        "\"AppState\"\n{\n\t\"appid\"\t\"440\"\n\t\"name\"\t\"Team Game\"\n}\n");
    // No config_info: the version names Valve's build, an old one with dist/.
    prefix("library/steamapps/compatdata/620/pfx");
    write("library/steamapps/compatdata/620/version", "7.0-6\n");
    write(steam + "steamapps/common/Proton 7.0/dist/bin/wine", "");
    write("library/steamapps/appmanifest_620.acf", "\"AppState\" { \"name\" \"Portal Game\" }");
    prefix("library/steamapps/compatdata/3000000000/pfx"); // added by hand: no manifest, no Proton yet
    fs::create_directories(path("library/steamapps/compatdata/999/pfx"));

    // The Flatpak's Steam, with the old layout of libraryfolders.vdf and a broken manifest.
    const std::string flatpak = "home/.var/app/com.valvesoftware.Steam/.local/share/Steam/";
    write(flatpak + "steamapps/libraryfolders.vdf",
        "\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\"1\"\n\t\"1\"\t\"" + path("flatlib") + "\"\n}\n");
    prefix("flatlib/steamapps/compatdata/10/pfx");
    write("flatlib/steamapps/appmanifest_10.acf", "\"AppState\" { \"name\" ");

    EXPECT_EQ(found(),
        (Lines { "flatlib/steamapps/compatdata/10/pfx Steam:10",
            "library/steamapps/compatdata/3000000000/pfx Steam:3000000000",
            "library/steamapps/compatdata/620/pfx Steam:Portal Game [7.0-6] -> "
            "home/.local/share/Steam/steamapps/common/Proton "
            "7.0/dist/bin/wine",
            "home/.local/share/Steam/steamapps/compatdata/440/pfx Steam:Team Game [8.0-104] -> "
            "library/steamapps/common/Proton 8.0/files/bin/wine" }));
    EXPECT_EQ(warnings, Lines { "flatlib/steamapps/appmanifest_10.acf: line 1: \"name\" has no value" });
}

TEST_F(DiscoveryTest, steamWithoutALibraryList)
{
    write("home/.local/share/Steam/steamapps/libraryfolders.vdf", "\"libraryfolders\" {");
    prefix("home/.local/share/Steam/steamapps/compatdata/5/pfx");
    EXPECT_EQ(found(), Lines { "home/.local/share/Steam/steamapps/compatdata/5/pfx Steam:5" });
    EXPECT_EQ(warnings,
        Lines { "home/.local/share/Steam/steamapps/libraryfolders.vdf: line 1: the object opened here is not "
                "closed" });
}

TEST_F(DiscoveryTest, heroicWineAndProtonGames)
{
    const std::string heroic = "home/.config/heroic/";
    prefix("games/Fortress");
    write("wine-ge/bin/wine", "");
    write(heroic + "GamesConfig/Fortress.json",
        R"({"Fortress": {"winePrefix": ")" + path("games/Fortress") + R"(", "wineVersion": {"bin": ")"
            + path("wine-ge/bin/wine")
            + R"(", "name": "Wine-GE", "type": "wine"}}, "version": "v0", "explicit": true})");
    prefix("home/Games/Heroic/Prefixes/abc/pfx");
    write("proton/files/bin/wine", "");
    write(heroic + "GamesConfig/abc.json",
        R"({"abc": {"winePrefix": "~/Games/Heroic/Prefixes/abc", "wineVersion": {"bin": ")"
            + path("proton/proton") + R"(", "name": "Proton 8.0", "type": "proton"}}})");
    write(heroic + "store_cache/legendary_library.json",
        R"({"library": [{"app_name": "abc", "title": "Abc Quest"}]})");
    write(heroic + "GamesConfig/broken.json", "{ \"broken\": ");
    prefix("flat");
    write("home/.var/app/com.heroicgameslauncher.hgl/config/heroic/GamesConfig/g.json",
        R"({"g": {"winePrefix": ")" + path("flat") + R"("}})");

    EXPECT_EQ(found(),
        (Lines { "home/Games/Heroic/Prefixes/abc/pfx Heroic:Abc Quest [Proton 8.0] -> proton/files/bin/wine",
            "games/Fortress Heroic:Fortress [Wine-GE] -> wine-ge/bin/wine", "flat Heroic:g" }));
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_TRUE(warnings[0].starts_with(heroic + "GamesConfig/broken.json: ")) << warnings[0];
}

TEST_F(DiscoveryTest, aPrefixReachedTwiceIsListedOnceWithEveryOwner)
{
    prefix("home/.local/share/wineprefixes/shared");
    link(home(".local/share/wineprefixes/shared"), "home/Games/linked");
    write("home/.config/lutris/games/shared-1.yml", "game:\n  prefix: " + home("Games/linked") + "\n");
    write("home/.PlayOnLinux/wineprefix/x", ""); // a file, not a prefix folder
    prefix("home/.wine");
    Environment e = env();
    e.winePrefix = home(".wine");
    EXPECT_EQ(found(e),
        (Lines { "home/.wine Wine:.wine", "home/.local/share/wineprefixes/shared winetricks:shared",
            "home/.local/share/wineprefixes/shared Lutris:shared" }));
    EXPECT_EQ(warnings, Lines {});
}
