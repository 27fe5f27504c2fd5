// SPDX-License-Identifier: MIT
#pragma once

#include "app/Commands.h"

namespace tw {

// The user's locale as Qt reads it (QLocale::system()): the forms the commands have always printed.
class QtLocaleForms : public LocaleForms
{
public:
    char decimalSeparator() override;
    Clock clock() override;
};

} // namespace tw

// The same for the program file, which loads this part only when a command asks for the locale.
extern "C" {
char tidewell_decimal_separator();
void tidewell_locale_clock(tw::Clock* clock);
}
