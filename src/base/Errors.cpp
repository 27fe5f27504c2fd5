// SPDX-License-Identifier: MIT
#include "base/Errors.h"

#include <iostream>
#include <new>

namespace tw {
namespace {

class StderrReporter : public ErrorReporter
{
public:
    ErrorAction report(const ErrorInfo& info) override
    {
        std::cerr << errorReportText(info) << '\n';
        return ErrorAction::Abort;
    }
};

StderrReporter g_stderrReporter;
ErrorReporter* g_reporter = &g_stderrReporter;

} // namespace

ErrorReporter& errorReporter()
{
    return *g_reporter;
}

void setErrorReporter(ErrorReporter* reporter)
{
    g_reporter = reporter ? reporter : &g_stderrReporter;
}

std::string errorReportText(const ErrorInfo& info)
{
    return "Error " + std::to_string(info.number) + ": " + info.description + "\r\nin " + info.procedure
        + "\r\nThe error occured at line: " + std::to_string(info.line);
}

ErrorInfo describeCurrentException(std::string_view procedure, int line)
{
    ErrorInfo info;
    info.procedure = std::string(procedure);
    info.line = line;
    try {
        throw;
    } catch (const Error& e) {
        info.number = e.number();
        info.description = e.description();
    } catch (const std::bad_alloc&) {
        info.number = errc::kOutOfMemory;
        info.description = "Out of memory";
    } catch (const std::out_of_range&) {
        info.number = errc::kSubscriptOutOfRange;
        info.description = "Subscript out of range";
    } catch (const std::overflow_error&) {
        info.number = errc::kOverflow;
        info.description = "Overflow";
    } catch (const std::exception& e) {
        info.number = errc::kInvalidCall;
        info.description = e.what();
    } catch (...) {
        info.number = errc::kInvalidCall;
        info.description = "Invalid procedure call or argument";
    }
    return info;
}

ErrorAction Procedure::handle(int line)
{
    switch (m_policy) {
    case OnError::Skip:
        return ErrorAction::Ignore;
    case OnError::Leave:
        return ErrorAction::Other;
    case OnError::Report:
        break;
    }
    ErrorInfo info = describeCurrentException(m_label, line);
    ErrorReporter& reporter = errorReporter();
    const ErrorAction action = reporter.report(info);
    if (action == ErrorAction::Abort)
        reporter.resetPointer();
    return action;
}

} // namespace tw
