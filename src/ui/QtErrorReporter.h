// SPDX-License-Identifier: MIT
#pragma once

#include "base/Errors.h"

namespace tw {

class MessageService;

// Lets the core's procedures show the common error report through the message service, over
// whichever window is active when the error happens.
class QtErrorReporter : public ErrorReporter
{
public:
    explicit QtErrorReporter(MessageService& messages);

    ErrorAction report(const ErrorInfo& info) override;
    void resetPointer() override;

private:
    MessageService& m_messages;
};

} // namespace tw
