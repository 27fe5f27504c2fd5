// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string>

namespace tw {

// Values start-up fixes once for the run; everything else only reads them.
struct AppContext
{
    std::string appFolder; // the program file's folder, without a trailing separator
    std::string dataFolder; // where the log and the temporary print file live
    std::string title = "Tidewell";
    std::string productName = "Tidewell";
    int versionMajor = 1;
    int versionMinor = 0;
    int versionRevision = 6;
    std::string helpFile;
    std::string logPath;
    std::string osName;
    std::string registryFile; // the hive backend's file; empty for the system registry
};

namespace paths {

// Platform answers.
std::string applicationFolder();
std::string userDataFolder();
char separator();

std::string join(const std::string& folder, const std::string& name);
// Whether a file can be created in the folder (tried, not guessed from permission bits).
bool isWritableFolder(const std::string& folder);
// The application folder when it is writable, else the per-user data folder.
std::string chooseDataFolder(const std::string& appFolder, const std::string& userFolder,
    const std::function<bool(const std::string&)>& writable = isWritableFolder);
// The help to open: the compiled help file beside the program when `compiledFirst` (Windows, where it
// opens) and it is there; else the HTML page shipped beside the program (a build tree) or in the
// install's data folder; else the compiled help file's name, so a failure names what was looked for.
std::string helpFile(const std::string& appFolder, bool compiledFirst);

} // namespace paths

// Start-up's context: help file, log path in the data folder, operating-system name.
AppContext makeAppContext(
    const std::string& appFolder, const std::string& dataFolder, const std::string& osName);

} // namespace tw
