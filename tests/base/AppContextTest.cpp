// SPDX-License-Identifier: MIT
#include "base/AppContext.h"

#include "../registry/TestFiles.h"
#include "base/FsPath.h"
#include "registry/RegistryFactory.h"

#include <fstream>

using namespace tw;

TEST(AppContext, logAndHelpLiveWhereStartUpPutsThem)
{
    const std::string sep(1, paths::separator());
    const AppContext ctx = makeAppContext("app", "data", "Microsoft Windows XP");
    EXPECT_EQ(ctx.logPath, "data" + sep + "UnLog.log");
    EXPECT_EQ(ctx.helpFile.rfind("app" + sep, 0), 0u);
}

TEST(AppContext, helpIsTheCompiledFileOnlyWhereItOpensAndIsThereElseThePage)
{
    namespace fs = std::filesystem;
    const auto help = [](const std::string& app, bool compiledFirst) {
        return fs::path(paths::helpFile(app, compiledFirst)).lexically_normal();
    };
    test::TempDir dir;
    const fs::path app = dir.file("bin");
    const fs::path installedPage = fs::path(dir.file("share")) / "tidewell" / "help" / "tidewell.html";
    fs::create_directories(installedPage.parent_path());
    fs::create_directories(app / "help");
    std::ofstream(installedPage) << "<html>";
    EXPECT_EQ(help(app.string(), true), installedPage.lexically_normal());
    std::ofstream(app / "Tidewell.chm") << "ITSF";
    EXPECT_EQ(help(app.string(), true), (app / "Tidewell.chm").lexically_normal());
    EXPECT_EQ(help(app.string(), false), installedPage.lexically_normal());
    std::ofstream(app / "help" / "tidewell.html") << "<html>";
    EXPECT_EQ(help(app.string(), false), (app / "help" / "tidewell.html").lexically_normal());
    // Two levels down, so that no ../share holds a page (Windows resolves .. in a folder that is not there).
    const fs::path elsewhere = fs::path(dir.file("x")) / "y" / "bin";
    EXPECT_EQ(help(elsewhere.string(), false), (elsewhere / "Tidewell.chm").lexically_normal());
}

TEST(AppContext, dataFolderIsTheProgramsFolderOnlyWhenItCanBeWritten)
{
    test::TempDir dir;
    const std::string user = dir.file("user/tidewell");
    EXPECT_EQ(paths::chooseDataFolder(dir.path().string(), user), dir.path().string());
    EXPECT_EQ(paths::chooseDataFolder("app", user, [](const std::string&) { return false; }), user);
    EXPECT_TRUE(std::filesystem::is_directory(user));
    EXPECT_FALSE(paths::isWritableFolder(dir.file("missing")));
}

TEST(RegistryChoice, commandLineThenEnvironmentThenSystemThenWineThenDemo)
{
    const auto none = [](const std::string&) { return false; };
    const auto all = [](const std::string&) { return true; };
    const RegistrySources everything { "a.reg", "/p1", "b.reg", "/p2", "/home/u" };
    EXPECT_EQ(chooseRegistry(everything, true, "demo.reg", none).file, "a.reg");

    RegistrySources s = everything;
    s.commandLineFile.clear();
    const RegistryChoice named = chooseRegistry(s, true, "demo.reg", none);
    EXPECT_EQ(named.file, "/p1/system.reg");
    EXPECT_EQ(named.prefix, "/p1");
    s.commandLinePrefix.clear();
    EXPECT_EQ(chooseRegistry(s, true, "demo.reg", none).file, "b.reg");
    s.environmentFile.clear();
    EXPECT_EQ(chooseRegistry(s, true, "demo.reg", none).origin, "system");
    // Off Windows: WINEPREFIX (with its trailing slash dropped), then ~/.wine only when it has a registry.
    s.environmentPrefix = "/p2/";
    EXPECT_EQ(chooseRegistry(s, false, "demo.reg", none).prefix, "/p2");
    s.environmentPrefix.clear();
    EXPECT_EQ(chooseRegistry(s, false, "demo.reg", all).file, "/home/u/.wine/system.reg");
    const RegistryChoice demo = chooseRegistry(s, false, "demo.reg", none);
    EXPECT_EQ(demo.file, "demo.reg");
    EXPECT_EQ(demo.origin, "demo");
    EXPECT_EQ(demo.prefix, "");
}

TEST(RegistryChoice, theDemoIsCopiedOnceAndTheShippedCopyNeverChanges)
{
    test::TempDir dir;
    const auto shipped = dir.path() / "shipped";
    std::filesystem::create_directories(shipped / "drive_c" / "App");
    test::writeAll(shipped / "system.reg", "WINE REGISTRY Version 2\n");
    test::writeAll(shipped / "drive_c" / "App" / "app.ico", "icon");
    std::filesystem::permissions(shipped / "system.reg", std::filesystem::perms::owner_read);

    std::string error;
    const std::string user = dir.file("user/demo");
    const std::string file = provideDemoCopy(shipped.string(), user, error);
    ASSERT_EQ(error, "");
    EXPECT_EQ(test::readAll(file), "WINE REGISTRY Version 2\n");
    EXPECT_EQ(test::readAll(dir.path() / "user/demo/drive_c/App/app.ico"), "icon");
    EXPECT_TRUE(paths::isWritableFolder(user));
    test::writeAll(file, "changed by the user");
    // A second start keeps the user's copy.
    EXPECT_EQ(provideDemoCopy(shipped.string(), user, error), file);
    EXPECT_EQ(test::readAll(file), "changed by the user");
    EXPECT_EQ(test::readAll(shipped / "system.reg"), "WINE REGISTRY Version 2\n");

    EXPECT_EQ(provideDemoCopy(dir.file("nowhere"), dir.file("user2"), error), "");
    EXPECT_NE(error, "");
}

TEST(AppContext, theApplicationFolderIsTheFolderOfTheProgramFile)
{
    const std::filesystem::path folder = toFsPath(paths::applicationFolder());
    std::error_code ec;
    EXPECT_TRUE(std::filesystem::exists(folder / "tidewell_core_tests", ec)
        || std::filesystem::exists(folder / "tidewell_core_tests.exe", ec))
        << paths::applicationFolder();
    EXPECT_NE(paths::applicationFolder().back(), paths::separator());
}
