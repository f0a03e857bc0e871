#include "ui/ScreenFit.h"

#include "common/TestHelpers.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <climits>

using namespace qz;

namespace {

struct FitCase : NamedRow {
    QRect desktop;
    int left, top, width, height;
    QRect expected;
};

class FitRectToScreenTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitRectToScreenTest, KeepsTheRectangleOnTheDesktop) {
    const FitCase& c = GetParam();
    EXPECT_EQ(FitRectToScreen(c.left, c.top, c.width, c.height, c.desktop), c.expected);
}

const QRect FullHd(0, 0, 1920, 1080);
// A monitor left of the primary one: the desktop starts at a negative x.
const QRect TwoMonitors(-1280, 0, 3200, 1080);

INSTANTIATE_TEST_SUITE_P(
    Cases, FitRectToScreenTest,
    ::testing::Values(
        FitCase{"wider_than_desktop", FullHd, 100, 50, 5000, 300, QRect(0, 50, 1920, 300)},
        FitCase{"taller_than_desktop", FullHd, 10, 500, 300, 2000, QRect(10, 0, 300, 1080)},
        FitCase{"on_detached_right_monitor", FullHd, 2500, 100, 400, 300,
                QRect(1520, 100, 400, 300)},
        FitCase{"on_detached_left_monitor", FullHd, -1500, 200, 400, 300, QRect(0, 200, 400, 300)},
        FitCase{"partly_below", FullHd, 300, 900, 400, 300, QRect(300, 780, 400, 300)},
        FitCase{"fully_inside", FullHd, 120, 80, 390, 434, QRect(120, 80, 390, 434)},
        FitCase{"exactly_the_desktop", FullHd, 0, 0, 1920, 1080, FullHd},
        FitCase{"zero_size_stays_zero", FullHd, 50, 60, 0, 0, QRect(50, 60, 0, 0)},
        FitCase{"zero_size_beyond_corner", FullHd, 3000, 2000, 0, 0, QRect(1920, 1080, 0, 0)},
        FitCase{"negative_origin_desktop", TwoMonitors, -1400, -50, 300, 200,
                QRect(-1280, 0, 300, 200)},
        FitCase{"on_left_monitor_inside", TwoMonitors, -1000, 100, 300, 200,
                QRect(-1000, 100, 300, 200)},
        FitCase{"largest_values", FullHd, INT_MAX, INT_MAX, INT_MAX, INT_MAX, FullHd},
        FitCase{"smallest_values", FullHd, INT_MIN, INT_MIN, 100, 100, QRect(0, 0, 100, 100)},
        FitCase{"negative_size_counts_as_zero", FullHd, 10, 10, -5, INT_MIN, QRect(10, 10, 0, 0)},
        FitCase{"empty_desktop_uses_fallback", QRect(), 700, 10, 300, 200,
                QRect(500, 10, 300, 200)}),
    RowName());

TEST(ScreenFit, VirtualScreenCoversEveryScreenAndFormsAreFitted) {
    const QRect desktop = GetVirtualScreenRect();
    ASSERT_FALSE(desktop.isEmpty());
    for (const QScreen* screen : QGuiApplication::screens())
        EXPECT_TRUE(desktop.contains(screen->geometry())) << screen->name().toStdString();

    QWidget form;
    form.move(desktop.x() + desktop.width() + 200, desktop.y() + 10);
    form.resize(desktop.width() + 500, 100);
    FitFormToScreen(&form);
    EXPECT_EQ(form.pos(), QPoint(desktop.x(), desktop.y() + 10));
    EXPECT_EQ(form.size(), QSize(desktop.width(), 100));
}

} // namespace
