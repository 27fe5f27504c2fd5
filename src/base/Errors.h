// SPDX-License-Identifier: MIT
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace tw {

// An unexpected error, numbered as the classic runtime errors were where one fits.
class Error : public std::runtime_error
{
public:
    Error(int number, const std::string& description)
        : std::runtime_error(description)
        , m_number(number)
    { }
    int number() const { return m_number; }
    std::string description() const { return what(); }

private:
    int m_number;
};

namespace errc {
inline constexpr int kInvalidCall = 5;
inline constexpr int kOverflow = 6;
inline constexpr int kOutOfMemory = 7;
inline constexpr int kSubscriptOutOfRange = 9;
inline constexpr int kTypeMismatch = 13;
inline constexpr int kFileNotFound = 53;
inline constexpr int kPermissionDenied = 70;
inline constexpr int kPathFileAccessError = 75;
inline constexpr int kObjectNotSet = 91;
} // namespace errc

enum class ErrorAction { Abort, Retry, Ignore, Other };

struct ErrorInfo
{
    int number = 0;
    std::string description;
    std::string procedure;
    int line = 0;
};

// Shows the common error report and answers with the user's choice. The UI installs one that asks
// through the message service; without a UI every error is reported on stderr and the procedure left.
class ErrorReporter
{
public:
    virtual ~ErrorReporter() = default;
    virtual ErrorAction report(const ErrorInfo& info) = 0;
    // Abort puts the mouse pointer back to the default before the procedure is left.
    virtual void resetPointer() { }
};

ErrorReporter& errorReporter();
// Installs a reporter (nullptr restores the default); the caller keeps ownership.
void setErrorReporter(ErrorReporter* reporter);

// The text of the common error report.
std::string errorReportText(const ErrorInfo& info);

// Turns whatever a statement threw into a number and a description.
ErrorInfo describeCurrentException(std::string_view procedure, int line);

enum class OnError {
    Report, // the common error report: Abort, Retry or Ignore
    Skip, // pass over the failing statement silently and go on with the next
    Leave, // leave the procedure silently with its fallback result
};

// Runs a procedure's statements one at a time under its error handler. step() returns false when
// the procedure must be left (Abort, any other answer, or the Leave policy).
class Procedure
{
public:
    explicit Procedure(std::string_view label, OnError policy = OnError::Report)
        : m_label(label)
        , m_policy(policy)
    { }

    const std::string& label() const { return m_label; }
    bool failed() const { return m_failed; }

    template<class Statement> bool step(int line, Statement&& statement)
    {
        for (;;) {
            try {
                statement();
                return true;
            } catch (...) {
                m_failed = true;
                switch (handle(line)) {
                case ErrorAction::Retry:
                    continue;
                case ErrorAction::Ignore:
                    return true;
                default:
                    return false;
                }
            }
        }
    }

private:
    ErrorAction handle(int line);

    std::string m_label;
    OnError m_policy;
    bool m_failed = false;
};

} // namespace tw
