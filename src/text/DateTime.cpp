#include "text/DateTime.h"

#include <cmath>

namespace qz {

namespace {

constexpr qint64 kMsPerDay = 86400000;

const QDate& Epoch() {
    static const QDate epoch(1899, 12, 30);
    return epoch;
}

} // namespace

TDateTime ToDateTime(const QDateTime& dt) {
    if (!dt.isValid())
        return 0;
    const QDateTime local = dt.toLocalTime();
    return ToDateTime(local.date(), local.time());
}

TDateTime ToDateTime(const QDate& localDate, const QTime& localTime) {
    const qint64 days = Epoch().daysTo(localDate);
    const double fraction = double(localTime.msecsSinceStartOfDay()) / kMsPerDay;
    // The fraction is the time of day in both directions from the epoch.
    return days >= 0 ? double(days) + fraction : double(days) - fraction;
}

namespace {

// The calendar date and time of day a value names, as UTC fields.
QDateTime CalendarFields(TDateTime value) {
    if (!std::isfinite(value) || value < -693593.0 || value >= 2958466.0)
        return {};
    const double whole = std::trunc(value);
    qint64 ms = std::llround(std::fabs(value - whole) * kMsPerDay);
    qint64 days = qint64(whole);
    if (ms >= kMsPerDay) {
        // Rounded up to midnight of the following day, in both directions.
        ms = 0;
        ++days;
    }
    const QDate date = Epoch().addDays(days);
    if (!date.isValid())
        return {};
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(ms)), Qt::UTC);
}

} // namespace

QDateTime ToQDateTime(TDateTime value) {
    const QDateTime fields = CalendarFields(value);
    if (!fields.isValid())
        return {};
    return QDateTime(fields.date(), fields.time(), Qt::LocalTime);
}

QString FormatTDateTime(const QString& format, TDateTime value) {
    // UTC fields have no gaps or folds, so the text is the value as written.
    const QDateTime fields = CalendarFields(value);
    return fields.isValid() ? fields.toString(format) : QString();
}

} // namespace qz
