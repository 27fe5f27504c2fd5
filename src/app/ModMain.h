// SPDX-License-Identifier: MIT
#pragma once

#include "base/AppContext.h"
#include "base/Clock.h"
#include "session/OpenRegistry.h"
#include "session/Session.h"
#include "ui/main/MainServices.h"

#include <QStringList>
#include <memory>

namespace tw {

class DesktopService;
class FrmMain;
class MessageService;
class PrefixCatalogue;

// Everything one run of the program holds: the context start-up fixed, the open registry, the
// clock, the message service and the desktop's handlers. The main window gets them as MainServices.
struct Application
{
    AppContext context;
    Session session;
    Clock clock;
    MessageService* messages = nullptr;
    DesktopService* desktop = nullptr;
    std::unique_ptr<DesktopService> ownDesktop; // the desktop's own, when the caller gave none
    std::unique_ptr<PrefixCatalogue> prefixes; // File > Open Prefix, where prefixes are found
    std::unique_ptr<FrmMain> mainWindow;

    Application();
    ~Application();
    // Takes over an opened registry, with what the front-ends say about its prefix; the system's Wine
    // runs in a prefix made with another only once the user has agreed.
    void adopt(OpenedRegistry opened);
    MainServices services();
};

// The main module. Start-up: reads the command line, opens the registry, fixes the context and shows the main
// window. Returns the running application, or nullptr with the exit code to end with (0 after
// --help, --version or --list, 2 when the registry cannot be opened). Links and the help page open through
// `desktop`, or through the desktop's own handlers when it is nullptr.
std::unique_ptr<Application> Main(
    const QStringList& arguments, MessageService& messages, int& exitCode, DesktopService* desktop = nullptr);

} // namespace tw
