// The buttons' own glyphs: drawn at the pixels asked for, so a glyph at a
// screen scale of 2 has twice the pixels; a disabled glyph is grey.
#include "game/ButtonGlyphs.h"

#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

using namespace stakko;

namespace {

struct GlyphCase {
    const char* name;
    TGlyph glyph;
};

class ButtonGlyphTest : public ::testing::TestWithParam<GlyphCase> {};

// Opaque pixels of the picture, and whether any of them has a colour.
std::pair<int, bool> Ink(const QImage& image) {
    int opaque = 0;
    bool coloured = false;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qAlpha(p) < 128)
                continue;
            ++opaque;
            coloured |= qAbs(qRed(p) - qGreen(p)) > 30 || qAbs(qGreen(p) - qBlue(p)) > 30;
        }
    return {opaque, coloured};
}

} // namespace

TEST_P(ButtonGlyphTest, IsDrawnAtTheScreenPixelsAndGreyWhenDisabled) {
    const QIcon icon = ButtonGlyph(GetParam().glyph);
    const QPixmap one = icon.pixmap(QSize(16, 16), 1.0);
    const QPixmap two = icon.pixmap(QSize(16, 16), 2.0);
    EXPECT_EQ(one.size(), QSize(16, 16));
    EXPECT_EQ(two.size(), QSize(32, 32));
    EXPECT_DOUBLE_EQ(two.devicePixelRatio(), 2.0);

    const auto [inkOne, colouredOne] = Ink(one.toImage());
    const auto [inkTwo, colouredTwo] = Ink(two.toImage());
    EXPECT_GT(inkOne, 16) << "the glyph is drawn";
    EXPECT_TRUE(colouredOne);
    // Four times the pixels, drawn anew rather than enlarged.
    EXPECT_NEAR(inkTwo, 4 * inkOne, inkOne);

    const QPixmap disabled = icon.pixmap(QSize(16, 16), 1.0, QIcon::Disabled);
    const auto [inkDisabled, colouredDisabled] = Ink(disabled.toImage());
    EXPECT_EQ(inkDisabled, inkOne) << "the same shape";
    EXPECT_FALSE(colouredDisabled);
}

INSTANTIATE_TEST_SUITE_P(Glyphs, ButtonGlyphTest,
                         ::testing::Values(GlyphCase{"info", TGlyph::Info},
                                           GlyphCase{"new_game", TGlyph::NewGame},
                                           GlyphCase{"help", TGlyph::Help},
                                           GlyphCase{"end", TGlyph::End},
                                           GlyphCase{"ok", TGlyph::Ok}),
                         [](const auto& info) { return std::string(info.param.name); });
