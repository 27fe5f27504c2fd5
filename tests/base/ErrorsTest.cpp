// SPDX-License-Identifier: MIT
#include "base/Errors.h"

#include "ScriptedReporter.h"

#include <gtest/gtest.h>
#include <vector>

using namespace tw;
using test::ScriptedReporter;

TEST(CommonErrorReport, retryRunsTheFailingStatementAgainAndIgnoreGoesOn)
{
    ScriptedReporter reporter({ ErrorAction::Retry, ErrorAction::Ignore });
    Procedure proc("cmdOk_Click");
    int attempts = 0;
    std::vector<int> ran;
    const int failingLine = __LINE__ + 1;
    EXPECT_TRUE(proc.step(__LINE__, [&] {
        if (++attempts == 1)
            throw Error(53, "File not found");
        ran.push_back(1);
    }));
    EXPECT_TRUE(proc.step(__LINE__, [&] { throw Error(70, "Permission denied"); }));
    EXPECT_TRUE(proc.step(__LINE__, [&] { ran.push_back(3); }));
    EXPECT_EQ(attempts, 2);
    EXPECT_EQ(ran, (std::vector<int> { 1, 3 }));
    ASSERT_EQ(reporter.reports.size(), 2u);
    EXPECT_EQ(reporter.reports[0].line, failingLine);
    EXPECT_EQ(errorReportText(reporter.reports[0]),
        "Error 53: File not found\r\nin cmdOk_Click\r\nThe error occured at line: "
            + std::to_string(failingLine));
    EXPECT_EQ(reporter.pointerResets, 0);
}

TEST(CommonErrorReport, abortLeavesTheProcedureAndResetsThePointer)
{
    ScriptedReporter reporter({ ErrorAction::Abort });
    Procedure proc("Main");
    bool after = false;
    EXPECT_FALSE(proc.step(__LINE__, [&] { throw std::out_of_range("x"); }));
    EXPECT_EQ(reporter.pointerResets, 1);
    EXPECT_EQ(reporter.reports.at(0).number, 9);
    EXPECT_EQ(reporter.reports.at(0).description, "Subscript out of range");
    EXPECT_FALSE(after);
}

TEST(CommonErrorReport, silentPoliciesAskNobody)
{
    ScriptedReporter reporter({});
    Procedure skip("showUnInstallList", OnError::Skip);
    int ran = 0;
    EXPECT_TRUE(skip.step(__LINE__, [] { throw Error(13, "Type mismatch"); }));
    EXPECT_TRUE(skip.step(__LINE__, [&] { ++ran; }));
    Procedure leave("getIcon", OnError::Leave);
    EXPECT_FALSE(leave.step(__LINE__, [] { throw std::bad_alloc(); }));
    EXPECT_TRUE(leave.failed());
    EXPECT_EQ(ran, 1);
    EXPECT_TRUE(reporter.reports.empty());
}
