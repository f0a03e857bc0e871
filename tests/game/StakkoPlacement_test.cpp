// The main window keeps its placement in the settings section "_Stakko".
#include "game/Stakko.h"

#include "common/FakeUserSettings.h"
#include "common/SilentPlayer.h"
#include "common/TestHelpers.h"
#include "ui/SoundPlayer.h"

using namespace stakko;

namespace {

TEST(StakkoPlacement, RestoredWhenCreatedAndSavedWhenClosed) {
    auto owned = std::make_unique<FakeUserSettings>();
    FakeUserSettings* settings = owned.get();
    qz::SetUserSettings(std::move(owned));
    const auto store = [&](const char* key, int value) {
        settings->values[{QStringLiteral("_stakko"), QString::fromLatin1(key).toLower()}] =
            QString::number(value);
    };
    store("Left", 30);
    store("Top", 40);
    store("Width", 378);
    store("Height", 408);
    store("WinState", 1); // closed minimized: comes back normal

    {
        T_Stakko window(std::make_unique<SilentPlayer>());
        EXPECT_EQ(window.pos(), QPoint(30, 40));
        EXPECT_EQ(window.size(), QSize(378, 408));
        EXPECT_FALSE(window.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));

        window.show();
        window.move(50, 60);
        settings->values.clear();
        window.close();
    }
    const QString sect = QStringLiteral("_Stakko");
    EXPECT_EQ(settings->text(sect, QStringLiteral("WinState")), QStringLiteral("0"));
    EXPECT_EQ(settings->text(sect, QStringLiteral("Width")), QStringLiteral("378"));
    EXPECT_EQ(settings->text(sect, QStringLiteral("Height")), QStringLiteral("408"));
    EXPECT_EQ(settings->text(sect, QStringLiteral("Left")), QStringLiteral("50"));
    EXPECT_EQ(settings->text(sect, QStringLiteral("Top")), QStringLiteral("60"));
    // The font is not stored.
    EXPECT_EQ(settings->text(sect, QStringLiteral("Font")), QString());
    qz::FreeUserSettings();
}

} // namespace
