// SPDX-License-Identifier: MIT
#pragma once

namespace tw {

// Lets another owner of a registry file keep writes out while it works on the file: a write goes
// ahead only between a successful enter() and its leave().
class WriteGate
{
public:
    virtual ~WriteGate() = default;
    virtual bool enter() = 0;
    virtual void leave() = 0;
};

} // namespace tw
