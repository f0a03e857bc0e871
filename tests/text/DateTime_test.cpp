#include "text/DateTime.h"

#include "common/TestHelpers.h"

#include <cmath>
#include <limits>

namespace {

struct DateRow : NamedRow {
    QDateTime local;
    double value;
};

class DateTimeTest : public ::testing::TestWithParam<DateRow> {};

TEST_P(DateTimeTest, ConvertsBothWays) {
    EXPECT_DOUBLE_EQ(qz::ToDateTime(GetParam().local), GetParam().value);
    EXPECT_EQ(qz::ToQDateTime(GetParam().value), GetParam().local);
}

QDateTime Local(int y, int m, int d, int h = 0, int min = 0, int s = 0, int ms = 0) {
    return QDateTime(QDate(y, m, d), QTime(h, min, s, ms), Qt::LocalTime);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DateTimeTest,
    ::testing::Values(DateRow{"epoch", Local(1899, 12, 30), 0.0},
                      DateRow{"epochNoon", Local(1899, 12, 30, 12), 0.5},
                      DateRow{"year2000", Local(2000, 1, 1), 36526.0},
                      DateRow{"year2000Evening", Local(2000, 1, 1, 18), 36526.75},
                      DateRow{"build5163", Local(2014, 2, 19), 41689.0},
                      // Before the epoch the fraction still counts forward from midnight.
                      DateRow{"dayBeforeSixAm", Local(1899, 12, 29, 6), -1.25},
                      DateRow{"twoDaysBeforeSixPm", Local(1899, 12, 28, 18), -2.75},
                      DateRow{"firstDayOfYearOne", Local(1, 1, 1), -693593.0}),
    RowName());

TEST(DateTime, MillisecondsRoundAndCarryIntoTheNextDay) {
    EXPECT_EQ(qz::ToQDateTime(36526.0 + 1.0 / 86400000.0), Local(2000, 1, 1, 0, 0, 0, 1));
    EXPECT_EQ(qz::ToQDateTime(36526.9999999999), Local(2000, 1, 2));
    EXPECT_EQ(qz::ToQDateTime(-1.9999999999), Local(1899, 12, 30));
    // A negative value above -1 still lies on the epoch day.
    EXPECT_EQ(qz::ToQDateTime(-0.25), Local(1899, 12, 30, 6));
    const QDateTime t = Local(2023, 7, 14, 13, 45, 12, 345);
    EXPECT_EQ(qz::ToQDateTime(qz::ToDateTime(t)), t);
}

TEST(DateTime, InvalidInputsGiveZeroOrInvalid) {
    EXPECT_EQ(qz::ToDateTime(QDateTime()), 0.0);
    EXPECT_FALSE(qz::ToQDateTime(std::numeric_limits<double>::quiet_NaN()).isValid());
    EXPECT_FALSE(qz::ToQDateTime(std::numeric_limits<double>::infinity()).isValid());
    EXPECT_FALSE(qz::ToQDateTime(-693594.0).isValid());
    EXPECT_FALSE(qz::ToQDateTime(2958466.0).isValid());
    EXPECT_EQ(qz::ToQDateTime(2958465.5), Local(9999, 12, 31, 12));
}

TEST(DateTime, UtcInputIsTakenInLocalTime) {
    const QDateTime utc(QDate(2020, 6, 1), QTime(10, 0), Qt::UTC);
    EXPECT_DOUBLE_EQ(qz::ToDateTime(utc), qz::ToDateTime(utc.toLocalTime()));
    EXPECT_EQ(qz::ToQDateTime(qz::ToDateTime(utc)), utc.toLocalTime());
}

} // namespace

namespace {

TEST(DateTime, FormatShowsTheCalendarValueAsWritten) {
    EXPECT_EQ(qz::FormatTDateTime(QStringLiteral("dd.MM.yyyy hh:mm:ss"), 41689.5),
              QStringLiteral("19.02.2014 12:00:00"));
    EXPECT_EQ(qz::FormatTDateTime(QStringLiteral("dd.MM.yyyy hh:mm"), -1.25),
              QStringLiteral("29.12.1899 06:00"));
    EXPECT_EQ(qz::FormatTDateTime(QStringLiteral("dd.MM.yyyy"), 0.0), QStringLiteral("30.12.1899"));
    EXPECT_EQ(
        qz::FormatTDateTime(QStringLiteral("dd.MM.yyyy"), std::numeric_limits<double>::quiet_NaN()),
        QString());
}

} // namespace
