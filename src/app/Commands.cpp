// SPDX-License-Identifier: MIT
#include "app/Commands.h"

#include "app/CommandLine.h"
#include "app/FoundPrefixes.h"
#include "app/ListCommand.h"
#include "app/PrefixesCommand.h"
#include "app/ReportCommand.h"
#include "app/UninstallCommand.h"
#include "base/AppContext.h"
#include "session/OpenRegistry.h"

#include <chrono>
#include <ostream>

namespace tw {

bool registryRequestOf(const CommandLine& line, RegistryRequest& request, std::string& error)
{
    request.file = line.registryFile();
    request.prefix = prefixFolder(line.prefix(), error);
    request.demo = line.demo();
    request.userFile = line.userRegistryFile();
    if (!line.view().empty())
        request.views = line.view() == "32" ? MachineViews::Only32 : MachineViews::Only64;
    return error.empty();
}

int runCommand(const CommandLine& line, LocaleForms& locale, std::ostream& out, std::ostream& err)
{
    if (line.help()) {
        out << line.helpText();
        out.flush();
        return 0;
    }
    if (line.version()) {
        out << "tidewell " << CommandLine::kVersion << '\n';
        out.flush();
        return 0;
    }

    RegistryRequest request;
    std::string error;
    if (!registryRequestOf(line, request, error)) {
        err << "tidewell: " << error << '\n';
        return 2;
    }
    if (line.prefixes())
        return runPrefixesCommand(request.views, out, err);
    const std::string appFolder = paths::applicationFolder();
    if (line.list())
        return runListCommand(request, appFolder, locale.decimalSeparator(), out, err);
    if (line.report())
        return runReportCommand(request, appFolder, line.reportFile(), line.longFormat(), locale.clock(),
            locale.decimalSeparator(), err);
    if (line.uninstall()) {
        UninstallOptions options;
        options.force = line.force();
        if (line.timeout())
            options.timeout = std::chrono::seconds(line.timeoutSeconds());
        return runUninstallCommand(
            request, appFolder, line.uninstallKey(), options, locale.clock(), out, err, ownersOf);
    }
    return 0;
}

} // namespace tw
