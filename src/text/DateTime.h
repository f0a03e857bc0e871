#pragma once
// Dates and times as the stored formats keep them: days since 30 December
// 1899 as a double, the fraction being the time of day. Before that day
// the whole part counts days back and the fraction still runs forward
// from midnight: -1.25 is 29 December 1899, 06:00.
//
//   qz::ToDateTime(QDateTime(QDate(2000, 1, 1), QTime(12, 0))) == 36526.5

#include <QDateTime>

namespace qz {

using TDateTime = double;

// Local time. An invalid QDateTime gives 0.
[[nodiscard]] TDateTime ToDateTime(const QDateTime& dt);
// The same for a local date and time of day given as fields.
[[nodiscard]] TDateTime ToDateTime(const QDate& localDate, const QTime& localTime);

// Local time, to the nearest millisecond. A value that is not finite or
// lies outside the years 1 to 9999 gives an invalid QDateTime.
[[nodiscard]] QDateTime ToQDateTime(TDateTime value);

// The calendar value as written with a QDateTime format ("dd.MM.yyyy"),
// without any time-zone shifting; "" where ToQDateTime is invalid.
//   FormatTDateTime(QStringLiteral("dd.MM.yyyy hh:mm"), 41689.5) == "19.02.2014 12:00"
[[nodiscard]] QString FormatTDateTime(const QString& format, TDateTime value);

} // namespace qz
