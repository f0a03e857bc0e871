// The program's PNG pictures are read by Qt's own PNG reader alone: no
// image format plug-in of the system is loaded for them.
#include "game/GameInfo.h"
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

// The application icon decodes a size when asked: each of its sizes is the
// picture of that size as it is, sizes between them are the next larger
// one scaled down, and larger requests get the largest.
TEST(ApplicationIcon, GivesEachSizeFromItsOwnPicture) {
    Q_INIT_RESOURCE(stakko);
    const QIcon icon = ApplicationIcon();
    const QList<QSize> sizes = icon.availableSizes();
    ASSERT_EQ(sizes.size(), 8);
    for (const QSize& size : sizes) {
        const QImage expected =
            PngPicture(QStringLiteral(":/appicon/%1.png").arg(size.width())).toImage();
        ASSERT_EQ(expected.size(), size);
        EXPECT_EQ(icon.pixmap(size).toImage(), expected) << size.width();
    }
    EXPECT_EQ(icon.pixmap(QSize(40, 40)).size(), QSize(40, 40));
    EXPECT_EQ(icon.pixmap(QSize(512, 512)).size(), QSize(256, 256));
    EXPECT_EQ(icon.actualSize(QSize(512, 512)), QSize(256, 256));
    EXPECT_TRUE(icon.pixmap(QSize(0, 0)).isNull());
}
