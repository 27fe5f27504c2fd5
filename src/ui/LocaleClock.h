// SPDX-License-Identifier: MIT
#pragma once

#include "base/Clock.h"

#include <QLocale>

namespace tw {

// The system clock with the locale's short date and long time, the forms of the log and reports.
Clock localeClock(const QLocale& locale = QLocale::system());

} // namespace tw
