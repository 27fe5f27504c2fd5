// SPDX-License-Identifier: MIT
#pragma once

#include "base/Errors.h"

#include <vector>

namespace tw::test {

// Answers the common error report from a script (Abort once it runs out) and records every report.
// Installed for its lifetime.
class ScriptedReporter : public ErrorReporter
{
public:
    explicit ScriptedReporter(std::vector<ErrorAction> answers)
        : m_answers(std::move(answers))
    {
        setErrorReporter(this);
    }
    ~ScriptedReporter() override { setErrorReporter(nullptr); }

    ErrorAction report(const ErrorInfo& info) override
    {
        reports.push_back(info);
        return m_next < m_answers.size() ? m_answers[m_next++] : ErrorAction::Abort;
    }
    void resetPointer() override { ++pointerResets; }

    std::vector<ErrorInfo> reports;
    int pointerResets = 0;

private:
    std::vector<ErrorAction> m_answers;
    std::size_t m_next = 0;
};

} // namespace tw::test
