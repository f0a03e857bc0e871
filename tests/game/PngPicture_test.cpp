// The program's PNG pictures are read by Qt's own PNG reader alone: no
// image format plug-in of the system is loaded for them.
#include "game/PngPicture.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace stakko;

TEST(PngPicture, ReadsTheProgramsPicturesWithoutLoadingImagePlugins) {
    Q_INIT_RESOURCE(stakko);
    const QPixmap on = PngPicture(QStringLiteral(":/icons/SoundOn.png"));
    EXPECT_EQ(on.size(), QSize(32, 32));
    EXPECT_TRUE(PngPicture(QStringLiteral(":/icons/NoSuchPicture.png")).isNull());
    EXPECT_TRUE(PngPicture(QStringLiteral(":/sounds/ding.wav")).isNull()) << "not a PNG";

    QFile maps(QStringLiteral("/proc/self/maps"));
    ASSERT_TRUE(maps.open(QIODevice::ReadOnly));
    EXPECT_FALSE(maps.readAll().contains("/imageformats/"));
}
