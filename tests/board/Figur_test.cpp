// The well, the piece table and the piece object.
#include "board/Figur.h"

#include "common/TestHelpers.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

using namespace stakko;

namespace {

struct Block {
    int x, y, size;
    TElement value;
    bool operator==(const Block&) const = default;
};

class RecordingSurface : public TBlockSurface {
public:
    std::vector<Block> blocks;
    void DrawBlock(int x, int y, int size, TElement value) override {
        blocks.push_back({x, y, size, value});
    }
};

class RecordingSink : public TRowsRemovedSink {
public:
    std::vector<int> counts;
    void RowsRemoved(int count) override { counts.push_back(count); }
};

void FillRow(int y, TElement value = EL) {
    for (int x = 0; x < TField::PlayColumns; ++x)
        Field.Set(x, y, value);
}

class FigurTest : public ::testing::Test {
protected:
    void SetUp() override { Field.Reset(); }
    RecordingSurface surface;
    RecordingSink sink;
    TFigur piece{&surface};
};

} // namespace

TEST_F(FigurTest, ResetLaysATwoCellFrameStoredColumnByColumn) {
    const auto& bytes = Field.Bytes();
    ASSERT_EQ(bytes.size(), 13u * 22u);
    int frames = 0;
    for (int column = 0; column < 13; ++column)
        for (int row = 0; row < 22; ++row) {
            const bool frame = column < 2 || column > 10 || row > 19;
            EXPECT_EQ(bytes[column * 22 + row], frame ? EFrame : ENone)
                << "column " << column << " row " << row;
            frames += frame;
        }
    EXPECT_EQ(frames, 4 * 20 + 2 * 13);
    Field.Set(0, 0, EJ); // playing (0, 0) is grid column 2, row 0
    EXPECT_EQ(bytes[2 * 22 + 0], EJ);
    Field.ClearPlayingArea();
    EXPECT_EQ(bytes[2 * 22 + 0], ENone);
    EXPECT_EQ(bytes[1 * 22 + 0], EFrame);
}

TEST_F(FigurTest, ShapeTableKeepsTheShapesTheGameReliesOn) {
    for (int kind = EI; kind <= ES; ++kind)
        for (int spin = 0; spin < 4; ++spin)
            for (const TOffset& o : ShapeOf(TElement(kind), spin)) {
                EXPECT_TRUE(o.dx >= 0 && o.dx <= 3) << kind << "/" << spin;
                EXPECT_TRUE(o.dy >= -1 && o.dy <= 2) << kind << "/" << spin;
                if (spin == 0) {
                    EXPECT_TRUE(o.dy == 0 || o.dy == 1) << kind;
                }
            }
    auto same = [](const TShape& a, const TShape& b) {
        for (int i = 0; i < 4; ++i)
            if (a[i].dx != b[i].dx || a[i].dy != b[i].dy)
                return false;
        return true;
    };
    for (TElement kind : {EI, EZ, ES}) {
        EXPECT_TRUE(same(ShapeOf(kind, 0), ShapeOf(kind, 2))) << kind;
        EXPECT_TRUE(same(ShapeOf(kind, 1), ShapeOf(kind, 3))) << kind;
        EXPECT_FALSE(same(ShapeOf(kind, 0), ShapeOf(kind, 1))) << kind;
    }
    for (int spin = 1; spin < 4; ++spin)
        EXPECT_TRUE(same(ShapeOf(EO, 0), ShapeOf(EO, spin)));
}

TEST_F(FigurTest, InitPutsThePieceAtItsStartAndDrawHideGoThroughTheSurface) {
    piece.X = 7;
    piece.Y = 9;
    piece.Spin = 2;
    piece.init(ET);
    EXPECT_EQ(piece.X, 3);
    EXPECT_EQ(piece.Y, 1);
    EXPECT_EQ(piece.Spin, 0);
    EXPECT_FALSE(piece.visible);

    piece.Draw(24);
    const std::vector<Block> drawn = {
        {3, 2, 24, ET}, {4, 1, 24, ET}, {4, 2, 24, ET}, {5, 2, 24, ET}};
    EXPECT_EQ(surface.blocks, drawn);
    EXPECT_TRUE(piece.visible);
    surface.blocks.clear();
    piece.Hide(24);
    const std::vector<Block> erased = {
        {3, 2, 24, ENone}, {4, 1, 24, ENone}, {4, 2, 24, ENone}, {5, 2, 24, ENone}};
    EXPECT_EQ(surface.blocks, erased);
    EXPECT_FALSE(piece.visible);

    // No piece: nothing is drawn and the flag stays.
    surface.blocks.clear();
    piece.init(ENone);
    piece.Draw(24);
    EXPECT_TRUE(surface.blocks.empty());
    EXPECT_FALSE(piece.visible);
    EXPECT_TRUE(piece.Fit());
}

struct RotateCase : NamedRow {
    TElement kind;
    qint8 spin;
    int x, y;
    qint8 direction;
    std::vector<std::pair<int, int>> blocks; // occupied playing cells
};

class RotateRefused : public ::testing::TestWithParam<RotateCase> {};

TEST_P(RotateRefused, LeavesThePieceAsItWas) {
    const RotateCase& c = GetParam();
    Field.Reset();
    for (auto [x, y] : c.blocks)
        Field.Set(x, y, EL);
    TFigur piece(nullptr);
    piece.init(c.kind);
    piece.Spin = c.spin;
    piece.X = c.x;
    piece.Y = c.y;
    ASSERT_TRUE(piece.Fit());
    piece.Rotate(c.direction);
    EXPECT_EQ(piece.Spin, c.spin);
    EXPECT_EQ(piece.X, c.x);
    EXPECT_EQ(piece.Y, c.y);
}

INSTANTIATE_TEST_SUITE_P(
    Figur, RotateRefused,
    ::testing::Values(RotateCase{"square", EO, 0, 3, 5, 1, {}},
                      RotateCase{"directionZero", EJ, 1, 3, 5, 0, {}},
                      RotateCase{"directionTwo", EJ, 1, 3, 5, 2, {}},
                      RotateCase{"directionMinusTwo", ET, 0, 3, 5, -2, {}},
                      RotateCase{"uprightStraightAtLeftEdge", EI, 1, -1, 5, 1, {}},
                      RotateCase{"straightIntoRightFrame", EI, 1, 6, 5, -1, {}},
                      RotateCase{"straightIntoFloor", EI, 0, 3, 19, 1, {}},
                      RotateCase{"ontoBlock", ET, 0, 3, 5, 1, {{4, 7}}},
                      RotateCase{"oneCellOfFourBlocked", EJ, 0, 3, 5, -1, {{4, 6}}}),
    RowName());

TEST_F(FigurTest, RotateTurnsWithinTheFourOrientations) {
    piece.init(EJ);
    piece.Y = 5;
    piece.Rotate(-1);
    EXPECT_EQ(piece.Spin, 3);
    piece.Rotate(1);
    piece.Rotate(1);
    EXPECT_EQ(piece.Spin, 1);
    // An upright straight piece one column further right has room to turn.
    piece.init(EI);
    piece.Spin = 1;
    piece.X = 0;
    piece.Y = 5;
    piece.Rotate(1);
    EXPECT_EQ(piece.Spin, 2);
}

TEST_F(FigurTest, MovHorizStopsAtFrameAndBlocksAndIgnoresOtherValues) {
    piece.init(EO);
    piece.Y = 5;
    for (int i = 0; i < 10; ++i)
        piece.MovHoriz(-1);
    EXPECT_EQ(piece.X, -1); // the square's cells start at dx 1: still inside
    EXPECT_EQ(Field.At(0, 5), ENone);
    for (int i = 0; i < 10; ++i)
        piece.MovHoriz(1);
    EXPECT_EQ(piece.X, 6);
    piece.MovHoriz(2);
    piece.MovHoriz(-2);
    piece.MovHoriz(0);
    EXPECT_EQ(piece.X, 6);

    Field.Set(4, 6, ES);
    piece.X = 1; // cells in columns 2 and 3
    piece.MovHoriz(1);
    EXPECT_EQ(piece.X, 1);
}

TEST_F(FigurTest, CanFallDownTestsTheRowBelowWithoutMoving) {
    piece.init(EI);
    piece.Y = 18;
    EXPECT_TRUE(piece.CanFallDown());
    EXPECT_EQ(piece.Y, 18);
    piece.Y = 19;
    EXPECT_FALSE(piece.CanFallDown());
    Field.Set(5, 19, ET);
    piece.Y = 18;
    EXPECT_FALSE(piece.CanFallDown());
    EXPECT_EQ(piece.Y, 18);
}

TEST_F(FigurTest, FitTreatsPlacesOutsideTheGridAsTaken) {
    piece.init(EI);
    piece.X = -5;
    EXPECT_FALSE(piece.Fit());
    piece.X = 12;
    EXPECT_FALSE(piece.Fit());
    piece.X = 3;
    piece.Y = 25;
    EXPECT_FALSE(piece.Fit());
}

TEST_F(FigurTest, InsertEWritesTheKindAndRemovesFullRows) {
    piece.init(ENone);
    FillRow(19);
    const auto before = Field.Bytes();
    piece.InsertE(&sink);
    EXPECT_EQ(Field.Bytes(), before) << "ENone writes nothing";
    EXPECT_TRUE(sink.counts.empty()) << "and does not look for full rows";

    Field.Reset();
    piece.init(EZ);
    piece.Y = 10;
    piece.InsertE(&sink);
    EXPECT_EQ(Field.At(3, 10), EZ);
    EXPECT_EQ(Field.At(4, 10), EZ);
    EXPECT_EQ(Field.At(4, 11), EZ);
    EXPECT_EQ(Field.At(5, 11), EZ);
    EXPECT_EQ(piece.Typ, EZ) << "the piece object is not changed";
    EXPECT_TRUE(sink.counts.empty());
}

TEST_F(FigurTest, RemoveFullRowsTakesNonAdjacentRowsAndMovesTheRestDown) {
    FillRow(19);
    FillRow(17);
    Field.Set(2, 18, ET); // row 18 not full
    Field.Set(6, 16, EJ);
    Field.Set(0, 15, ES);
    EXPECT_EQ(RemoveFullRows(&sink), 2);
    EXPECT_EQ(sink.counts, std::vector<int>{2});
    EXPECT_EQ(Field.At(2, 19), ET);
    EXPECT_EQ(Field.At(6, 18), EJ);
    EXPECT_EQ(Field.At(0, 17), ES);
    int blocks = 0;
    for (int x = 0; x < 9; ++x)
        for (int y = 0; y < 20; ++y)
            blocks += Field.At(x, y) != ENone;
    EXPECT_EQ(blocks, 3);
    EXPECT_EQ(Field.Grid(1, 19), EFrame);
    EXPECT_EQ(Field.Grid(11, 19), EFrame);

    sink.counts.clear();
    EXPECT_EQ(RemoveFullRows(&sink), 0);
    EXPECT_TRUE(sink.counts.empty());
}

TEST_F(FigurTest, FourFullRowsGoTogether) {
    for (int y = 16; y < 20; ++y)
        FillRow(y, EI);
    Field.Set(4, 15, EO);
    EXPECT_EQ(RemoveFullRows(&sink), 4);
    EXPECT_EQ(sink.counts, std::vector<int>{4});
    EXPECT_EQ(Field.At(4, 19), EO);
}

TEST_F(FigurTest, RowZeroEmptiesAfterARemovalAndAFullRowZeroGoesToo) {
    // Content of row 0 moves down; an empty row comes in at the top.
    Field.Set(3, 0, EL);
    FillRow(5);
    EXPECT_EQ(RemoveFullRows(&sink), 1);
    EXPECT_EQ(Field.At(3, 1), EL);
    EXPECT_EQ(Field.At(3, 0), ENone);

    // A full row 0 is removed like any other, and the scan ends.
    Field.Reset();
    sink.counts.clear();
    FillRow(0, EJ);
    FillRow(19, EJ);
    EXPECT_EQ(RemoveFullRows(&sink), 2);
    EXPECT_EQ(sink.counts, std::vector<int>{2});
    for (int x = 0; x < 9; ++x) {
        EXPECT_EQ(Field.At(x, 0), ENone);
        EXPECT_EQ(Field.At(x, 1), ENone);
        EXPECT_EQ(Field.At(x, 19), ENone);
    }
    RemoveRow(0);
    EXPECT_EQ(Field.At(0, 0), ENone);
}

TEST(RandomElement, SeededDrawsRepeatAndCoverTheSevenKindsEvenly) {
    SeedRandom(1234);
    std::vector<TElement> first;
    for (int i = 0; i < 50; ++i)
        first.push_back(RandomElement());
    SeedRandom(1234);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(RandomElement(), first[i]);

    constexpr int draws = 70000;
    std::map<int, int> counts;
    std::map<std::pair<int, int>, int> pairs;
    int previous = RandomElement();
    for (int i = 0; i < draws; ++i) {
        const int kind = RandomElement();
        ASSERT_GE(kind, EI);
        ASSERT_LE(kind, ES);
        ++counts[kind];
        ++pairs[{previous, kind}];
        previous = kind;
    }
    // Each kind 1/7 (10000 expected) and every kind can follow every kind
    // (about 1429 expected): loose bounds that a biased or repeating
    // generator fails.
    for (int kind = EI; kind <= ES; ++kind)
        EXPECT_NEAR(counts[kind], 10000, 500) << kind;
    EXPECT_EQ(pairs.size(), 49u);
    for (const auto& [pair, n] : pairs)
        EXPECT_NEAR(n, 1429, 250) << pair.first << "->" << pair.second;
}
