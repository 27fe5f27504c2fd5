// SPDX-License-Identifier: MIT
#pragma once

#include "app/AppContext.h"
#include "app/Clock.h"
#include "app/OpenRegistry.h"
#include "registry/Registry.h"

#include <QStringList>
#include <memory>

namespace tw {

class DesktopService;
class FrmMain;
class MessageService;
class ProcessCalls;
class RegistryApi;

// Everything one run of the program holds: the context start-up fixed, the open registry, the
// clock, the message service and the desktop's handlers. Windows reach them through it.
struct Application
{
    AppContext context;
    // Declared in this order so each is destroyed before what it refers to.
    std::unique_ptr<WineServer> wineServer; // the Wine prefix's server, when the registry is a prefix's
    std::unique_ptr<RegistryApi> registryApi; // the backend
    std::unique_ptr<RegistryView> registryView; // the 64-bit or the 32-bit view of it
    std::unique_ptr<Registry> registry; // the registry operations, on the view
    std::string registryDescription; // which registry is open, for the status bar
    Clock clock;
    MessageService* messages = nullptr;
    DesktopService* desktop = nullptr;
    std::unique_ptr<DesktopService> ownDesktop; // the desktop's own, when the caller gave none
    std::unique_ptr<ProcessCalls> processes;
    std::unique_ptr<FrmMain> mainWindow;

    Application();
    ~Application();
    // Takes over an opened registry and sets up the operations on it.
    void adopt(OpenedRegistry opened);
};

// The main module. Start-up: reads the command line, opens the registry, fixes the context and shows the main
// window. Returns the running application, or nullptr with the exit code to end with (0 after
// --help, --version or --list, 2 when the registry cannot be opened). Links and the help page open through
// `desktop`, or through the desktop's own handlers when it is nullptr.
std::unique_ptr<Application> Main(
    const QStringList& arguments, MessageService& messages, int& exitCode, DesktopService* desktop = nullptr);

// Whether the command line asks for no window (help, version, a command, or words that make no clear
// request), so that the program starts without a display.
bool runsWithoutWindow(const QStringList& arguments);

} // namespace tw
