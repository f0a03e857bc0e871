#pragma once
// Small helpers shared by the tests of every subsystem.

#include <QByteArray>
#include <QString>
#include <gtest/gtest.h>
#include <initializer_list>
#include <ostream>
#include <string>

// Lets GoogleTest print QStrings and QByteArrays in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QByteArray& b, std::ostream* os) {
    *os << "bytes[" << b.toHex(' ').toStdString() << ']';
}
QT_END_NAMESPACE

// A row of a table-driven test: its unique name names the test case in
// listings (pass RowName() to INSTANTIATE_TEST_SUITE_P) and is what a
// failure prints, instead of a dump of the row's bytes.
struct NamedRow {
    std::string name;
};
inline std::ostream& operator<<(std::ostream& os, const NamedRow& row) {
    return os << row.name;
}
struct RowName {
    template <typename Row>
    std::string operator()(const ::testing::TestParamInfo<Row>& info) const {
        return info.param.name;
    }
};

// Bytes from their values: Bytes({0xEF, 0xBB, 0xBF}).
inline QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

// The text of the error a strict decoding raises when non-empty bytes give
// no characters at all.
inline const QString kNoMapping =
    QStringLiteral("Keine Zuordnung für Unicode-Zeichen in der Multibyte-Zielcodeseite vorhanden");

// Expects `statement` to throw `ExceptionType` whose message() equals `expected`
// (a QString), in the spirit of fmt's EXPECT_THROW_MSG.
#define EXPECT_THROW_MSG(statement, ExceptionType, expected)                                       \
    do {                                                                                           \
        bool stakko_thrown_ = false;                                                               \
        try {                                                                                      \
            statement;                                                                             \
        } catch (const ExceptionType& e) {                                                         \
            stakko_thrown_ = true;                                                                 \
            EXPECT_EQ(e.message(), QString(expected));                                             \
        }                                                                                          \
        EXPECT_TRUE(stakko_thrown_) << #statement " did not throw " #ExceptionType;                \
    } while (false)
