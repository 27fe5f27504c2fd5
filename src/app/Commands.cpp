// SPDX-License-Identifier: MIT
#include "app/Commands.h"

#include "app/CommandLine.h"
#include "app/ListCommand.h"
#include "app/ReportCommand.h"
#include "app/UninstallCommand.h"
#include "base/AppContext.h"
#include "session/OpenRegistry.h"

#include <ostream>

namespace tw {

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
    request.file = line.registryFile();
    request.prefix = line.prefix();
    request.demo = line.demo();
    request.wow32 = line.view() == "32";
    const std::string appFolder = paths::applicationFolder();
    if (line.list())
        return runListCommand(request, appFolder, locale.decimalSeparator(), out, err);
    if (line.report())
        return runReportCommand(request, appFolder, line.reportFile(), line.longFormat(), locale.clock(),
            locale.decimalSeparator(), err);
    if (line.uninstall())
        return runUninstallCommand(
            request, appFolder, line.uninstallKey(), line.force(), locale.clock(), out, err);
    return 0;
}

} // namespace tw
