// SPDX-License-Identifier: MIT
#pragma once

#include "inventory/ProgramRow.h"

#include <string>
#include <string_view>
#include <vector>

namespace tw {

// What the software audit report's header says when the report dialog opens. Text is UTF-8.
struct AuditHeader
{
    std::string computerName;
    std::string date; // the short date
    std::string productName;
    std::string userName;
    std::string osName;
    int programCount = 0;
};

enum class ReportFormat {
    Short, // program names only
    Long, // names, sizes and uninstall commands; no sizes on the 98 family
};

// The nine header lines joined by CR LF, the last without a line end. Labels are 27 characters:
// the label, spaces to column 25, the colon and a space.
std::string auditReportHeader(const AuditHeader& header);

// The report as it is saved and printed: the header as given (its line breaks CR LF), a line end, an
// empty line, then one block per row separated by empty lines; every line ends with CR LF. The
// operating-system name decides whether the long format shows sizes.
std::string auditReportDocument(std::string_view header, const std::vector<ProgramRow>& rows,
    ReportFormat format, std::string_view osName);

// Whether the system belongs to the 98 family, whose usage records hold no sizes.
bool isNinetyEightFamily(std::string_view osName);

} // namespace tw
