// SPDX-License-Identifier: MIT
#include "app/ReportCommand.h"

#include "app/ListCommand.h"
#include "base/AppContext.h"
#include "inventory/Inventory.h"
#include "registry/Registry.h"
#include "reports/AuditReport.h"
#include "reports/TextFiles.h"
#include "session/OpenRegistry.h"
#include "system/clsSystem.h"

#include <ostream>

namespace tw {

int runReportCommand(const RegistryRequest& request, const std::string& appFolder,
    const std::string& outputFile, bool longFormat, const Clock& clock, char decimalSeparator,
    std::ostream& err)
{
    // The report lists what --list does, and reads no more of the registry.
    OpenedRegistry opened = openForListing(request, appFolder, err);
    if (!opened.views)
        return 2;
    auto calls = opened.systemCalls();
    clsSystem system(*calls);
    AuditHeader header;
    header.osName = system.sysInfo();
    Inventory inventory(
        *opened.views, header.osName, PathMapping::forRegistryFile(opened.file), decimalSeparator);
    const std::vector<ProgramRow> rows = inventory.scan();

    header.computerName = system.computerName();
    header.date = clock.shortDate(clock.now());
    header.productName = AppContext().productName;
    header.userName = system.userName();
    header.programCount = static_cast<int>(rows.size());
    const std::string document = auditReportDocument(auditReportHeader(header), rows,
        longFormat ? ReportFormat::Long : ReportFormat::Short, header.osName);

    std::string error;
    if (!writeTextFile(outputFile, document, error)) {
        err << "tidewell: " << error << '\n';
        return 2;
    }
    return 0;
}

} // namespace tw
