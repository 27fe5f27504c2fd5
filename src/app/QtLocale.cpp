// SPDX-License-Identifier: MIT
#include "app/QtLocale.h"

#include "ui/LocaleClock.h"

#include <QLocale>

namespace tw {

char QtLocaleForms::decimalSeparator()
{
    const QString point = QLocale::system().decimalPoint();
    // The core takes one ASCII character; any other separator prints as '.'.
    return point.size() == 1 && point[0].unicode() < 0x80 ? point[0].toLatin1() : '.';
}

Clock QtLocaleForms::clock()
{
    return localeClock();
}

} // namespace tw

char tidewell_decimal_separator()
{
    return tw::QtLocaleForms().decimalSeparator();
}

void tidewell_locale_clock(tw::Clock* clock)
{
    *clock = tw::QtLocaleForms().clock();
}
