// SPDX-License-Identifier: MIT
#pragma once

#include "inventory/ProgramRow.h"

#include <optional>

namespace tw {

// What the dialogs read from the main window's program list: the selected row and, for the report,
// every row in the order shown.
class ProgramSelection
{
public:
    virtual ~ProgramSelection() = default;
    virtual std::optional<ProgramRow> selectedProgram() const = 0;
    virtual int rowCount() const = 0;
    // Row `position` as shown, from 0.
    virtual ProgramRow program(int position) const = 0;
};

} // namespace tw
