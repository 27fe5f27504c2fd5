// SPDX-License-Identifier: MIT
#include "ui/LocaleClock.h"

#include <QDateTime>

namespace tw {
namespace {

QDateTime toLocal(Clock::TimePoint t)
{
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count();
    return QDateTime::fromMSecsSinceEpoch(ms);
}

// Qt's long time form names the time zone; the classic long time does not.
QString longTimeFormat(const QLocale& locale)
{
    QString f = locale.timeFormat(QLocale::LongFormat);
    f.remove(QLatin1Char('t'));
    return f.trimmed();
}

} // namespace

Clock localeClock(const QLocale& locale)
{
    Clock c;
    c.now = [] { return std::chrono::system_clock::now(); };
    c.generalDateTime = [locale](Clock::TimePoint t) {
        const QDateTime dt = toLocal(t);
        return (locale.toString(dt.date(), QLocale::ShortFormat) + QLatin1Char(' ')
            + locale.toString(dt.time(), longTimeFormat(locale)))
            .toStdString();
    };
    c.shortDate = [locale](Clock::TimePoint t) {
        return locale.toString(toLocal(t).date(), QLocale::ShortFormat).toStdString();
    };
    return c;
}

} // namespace tw
