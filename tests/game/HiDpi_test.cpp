// The well, its pieces and the preview on a high-resolution screen: CTest
// runs this program with QT_SCALE_FACTOR 1.5 and 2. Every block is drawn
// at the screen's own pixels, so a block shows exactly its fill, border and
// light-edge colours, and the well and the preview hold no tone that comes
// from scaling a picture (a blend of two neighbouring colours).
#include "game/Stakko.h"

#include "common/FakeUserSettings.h"
#include "common/SilentPlayer.h"
#include "game/PaintBox.h"
#include "game/SysColors.h"
#include "ui/SoundPlayer.h"

#include <QSet>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

using namespace stakko;

namespace {

qreal ScaleOfTheRun() {
    return qEnvironmentVariable("QT_SCALE_FACTOR").toDouble();
}

// The colours of `image` inside `area` (device pixels), with their counts.
QHash<QRgb, int> Colours(const QImage& image, const QRect& area) {
    QHash<QRgb, int> colours;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++colours[image.pixel(x, y) | 0xFF000000u];
    return colours;
}

QString Names(const QHash<QRgb, int>& colours) {
    QStringList names;
    for (auto it = colours.begin(); it != colours.end(); ++it)
        names << QStringLiteral("%1 x%2").arg(QColor(it.key()).name()).arg(it.value());
    names.sort();
    return names.join(QStringLiteral(", "));
}

class HiDpiTest : public ::testing::Test {
protected:
    void SetUp() override {
        qz::SetUserSettings(std::make_unique<FakeUserSettings>());
        window = std::make_unique<T_Stakko>(std::make_unique<SilentPlayer>());
        QSignalSpy shown(window.get(), &T_Stakko::FirstFrameShown);
        window->show();
        ASSERT_TRUE(shown.wait(5000)) << "no first frame";
        window->Timer1().stop(); // the picture stands still

        // A known board: the square falling, a T and an L on the ground,
        // the straight piece next.
        Field.Reset();
        Field.Set(0, 19, ET);
        Field.Set(1, 19, ET);
        Field.Set(2, 19, ET);
        Field.Set(1, 18, ET);
        Field.Set(8, 19, EL);
        window->Game().SetPieces(EO, EI);
        shot = window->grab().toImage();
    }
    void TearDown() override {
        window.reset();
        qz::FreeUserSettings();
    }

    // Where a widget of the window lies in the shot, in device pixels.
    QRect DeviceArea(const QWidget* widget) const {
        const QRect logical(widget->mapTo(window.get(), QPoint(0, 0)), widget->size());
        const qreal r = shot.devicePixelRatio();
        return QRect(
            QPoint(int(std::lround(logical.left() * r)), int(std::lround(logical.top() * r))),
            QPoint(int(std::lround((logical.right() + 1) * r)) - 1,
                   int(std::lround((logical.bottom() + 1) * r)) - 1));
    }

    std::unique_ptr<T_Stakko> window;
    QImage shot;
};

} // namespace

TEST_F(HiDpiTest, TheRunHasTheScreenScaleItWasStartedWith) {
    const qreal scale = ScaleOfTheRun();
    ASSERT_GT(scale, 1.0) << "QT_SCALE_FACTOR is not set for this run";
    EXPECT_DOUBLE_EQ(window->devicePixelRatioF(), scale);
    EXPECT_DOUBLE_EQ(shot.devicePixelRatio(), scale);
    auto* well = window->findChild<PaintBox*>(QStringLiteral("FallArea"));
    EXPECT_DOUBLE_EQ(well->Canvas().devicePixelRatio(), scale);
    EXPECT_EQ(well->Canvas().size(), well->size() * scale) << "the canvas has the screen's pixels";
}

TEST_F(HiDpiTest, EachBlockOfTheWellShowsOnlyItsFillBorderAndLightEdge) {
    auto* well = window->findChild<PaintBox*>(QStringLiteral("FallArea"));
    const QPoint origin = DeviceArea(well).topLeft();
    const qreal r = shot.devicePixelRatio();
    const int s = window->CellSize();
    const struct {
        int x, y;
        TElement value;
    } blocks[] = {{0, 19, ET}, {1, 18, ET}, {8, 19, EL}, {4, 1, EO}, {5, 2, EO}};
    for (const auto& b : blocks) {
        const QRect area = PaintBox::DeviceBlockRect(b.x, b.y, s, r).translated(origin);
        const QHash<QRgb, int> colours = Colours(shot, area);
        const QSet<QRgb> expected = {clBtnShadow().rgb(), QColor(Qt::white).rgb(),
                                     well->FillColor(b.value).rgb()};
        EXPECT_EQ(QSet<QRgb>(colours.keyBegin(), colours.keyEnd()), expected)
            << "block " << b.x << "," << b.y << ": " << qPrintable(Names(colours));
        // The border and the light edge are as wide as one pixel scaled.
        const int line = PaintBox::DeviceLineWidth(r);
        EXPECT_EQ(colours.value(well->FillColor(b.value).rgb()),
                  (area.width() - 2 * line) * (area.height() - 2 * line));
    }
    // An empty block is its one colour.
    const QRect empty = PaintBox::DeviceBlockRect(4, 10, s, r).translated(origin);
    EXPECT_EQ(Colours(shot, empty).keys(), QList<QRgb>{clAppWorkSpace().rgb()});

    // The whole field of blocks, the lines between them included, holds
    // the colours drawn and the form's behind the lines, nothing between.
    const QRect field(PaintBox::DeviceBlockRect(0, 0, s, r).topLeft() + origin,
                      PaintBox::DeviceBlockRect(8, 19, s, r).bottomRight() + origin);
    QSet<QRgb> allowed = {clBtnFace().rgb(), clAppWorkSpace().rgb(), clBtnShadow().rgb(),
                          QColor(Qt::white).rgb()};
    for (TElement value : {ET, EL, EO})
        allowed.insert(well->FillColor(value).rgb());
    const QHash<QRgb, int> colours = Colours(shot, field);
    EXPECT_TRUE(QSet<QRgb>(colours.keyBegin(), colours.keyEnd()).subtract(allowed).isEmpty())
        << qPrintable(Names(colours));
}

TEST_F(HiDpiTest, ThePreviewShowsTheNextPieceWithoutBlendedTones) {
    auto* preview = window->findChild<PaintBox*>(QStringLiteral("PrevWind"));
    const QHash<QRgb, int> colours = Colours(shot, DeviceArea(preview));
    const QSet<QRgb> expected = {clBtnFace().rgb(), clBtnShadow().rgb(), QColor(Qt::white).rgb(),
                                 preview->FillColor(EI).rgb()};
    EXPECT_EQ(QSet<QRgb>(colours.keyBegin(), colours.keyEnd()), expected)
        << qPrintable(Names(colours));
    // Four blocks of 20 at the screen's scale: their fill is all there.
    const qreal r = shot.devicePixelRatio();
    const QRect one = PaintBox::DeviceBlockRect(0, 1, 20, r);
    const int line = PaintBox::DeviceLineWidth(r);
    EXPECT_EQ(colours.value(preview->FillColor(EI).rgb()),
              4 * (one.width() - 2 * line) * (one.height() - 2 * line));
}
