// SPDX-License-Identifier: MIT
#pragma once

#include "app/AppContext.h"
#include "app/Clock.h"
#include "registry/Registry.h"

#include <QStringList>
#include <memory>

namespace tw {

class FrmMain;
class MessageService;
class RegistryApi;

// Everything one run of the program holds: the context start-up fixed, the open registry, the
// clock and the message service. Windows reach them through it.
struct Application
{
    AppContext context;
    std::unique_ptr<RegistryApi> registryApi;
    std::unique_ptr<Registry> registry;
    Clock clock;
    MessageService* messages = nullptr;
    std::unique_ptr<FrmMain> mainWindow;

    Application();
    ~Application();
};

// Start-up: reads the command line, opens the registry, fixes the context and shows the main
// window. Returns the running application, or nullptr with the exit code to end with (0 after
// --help or --version, 2 when the registry cannot be opened).
std::unique_ptr<Application> Main(const QStringList& arguments, MessageService& messages, int& exitCode);

} // namespace tw
