// Which language the program's texts take from the user's interface
// languages, in the order QLocale::system().uiLanguages() gives them.
#include "board/UiLanguage.h"

#include "common/TestHelpers.h"

using namespace stakko;

namespace {

struct LanguageRow : NamedRow {
    QStringList uiLanguages;
    TUiLanguage expected;
};

class PreferredLanguageTest : public ::testing::TestWithParam<LanguageRow> {};

TEST_P(PreferredLanguageTest, IsTheFirstEnglishOrGermanEntry) {
    EXPECT_EQ(PreferredLanguage(GetParam().uiLanguages), GetParam().expected);
}

const auto German = TUiLanguage::German;
const auto English = TUiLanguage::English;

INSTANTIATE_TEST_SUITE_P(
    Entries, PreferredLanguageTest,
    ::testing::Values(LanguageRow{{"none"}, {}, German}, LanguageRow{{"c_locale"}, {"C"}, German},
                      LanguageRow{{"posix"}, {"POSIX"}, German},
                      LanguageRow{{"german"}, {"de-DE", "de-Latn-DE", "de"}, German},
                      LanguageRow{{"swiss_german"}, {"de-CH"}, German},
                      LanguageRow{{"english"}, {"en"}, English},
                      LanguageRow{{"british"}, {"en-GB", "en-Latn-GB"}, English},
                      LanguageRow{{"locale_name"}, {"en_US.UTF-8"}, English},
                      LanguageRow{{"upper_case"}, {"EN-us"}, English},
                      LanguageRow{{"gettext_variant"}, {"en@quot"}, English},
                      LanguageRow{{"not_a_prefix"}, {"eng", "enx-US"}, German},
                      LanguageRow{{"other_only"}, {"fr-FR", "fr"}, German},
                      LanguageRow{{"other_then_english"}, {"fr-FR", "en-GB", "de"}, English},
                      LanguageRow{{"german_before_english"}, {"de", "en-US"}, German},
                      LanguageRow{{"english_before_german"}, {"en-GB", "de-DE"}, English},
                      LanguageRow{{"c_before_english"}, {"C", "en"}, German},
                      LanguageRow{{"empty_entry_skipped"}, {"", "en"}, English}),
    RowName());

} // namespace
