// The game's eight recordings as the program carries them.
#include "board/GameSounds.h"
#include "common/RecordingChecks.h"

namespace {

const RecordingRow GameRecordings[] = {
    {"space", 1, 22050, 11.3}, {"ding", 1, 22050, 0.5},     {"xylophon", 1, 22050, 0.7},
    {"nice", 1, 11025, 0.5},   {"klingel1", 2, 22050, 4.5}, {"loser", 1, 22050, 1.8},
    {"gefahr", 1, 11025, 1.5}, {"gewonn1", 2, 22050, 6.6},
};

class GameRecording : public ::testing::TestWithParam<RecordingRow> {};

TEST_P(GameRecording, IsPleasantPcmOfItsFormatAndLength) {
    ExpectPleasantRecording(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Sounds, GameRecording, ::testing::ValuesIn(GameRecordings), RowName());

TEST(GameRecording, EverySoundNumberNamesOneOfThem) {
    ASSERT_EQ(stakko::SoundNames.size(), std::size(GameRecordings));
    for (std::size_t n = 0; n < stakko::SoundNames.size(); ++n)
        EXPECT_EQ(stakko::SoundNames[n].toStdString(), GameRecordings[n].name) << n;
}

} // namespace
