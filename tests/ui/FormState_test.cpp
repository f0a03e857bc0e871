#include "ui/FormState.h"

#include "common/FakeUserSettings.h"
#include "common/TestHelpers.h"
#include "ui/ScreenFit.h"

#include <QFont>
#include <QGuiApplication>
#include <QVBoxLayout>
#include <QWidget>

#include <tuple>

using namespace qz;

namespace stakko {
// Stands for the game's main window: namespaced, named with a "T".
class T_Stakko : public QWidget {
    Q_OBJECT
};
} // namespace stakko

class TWinner : public QWidget {
    Q_OBJECT
};

namespace {

const QString Sect = QStringLiteral("_Stakko");

// Remembers the order in which keys are first written, as the settings
// file appends new keys in that order.
class OrderedSettings : public FakeUserSettings {
public:
    QStringList written;
    void writeInteger(const QString& sect, const QString& key, qint32 value) override {
        written << key + QLatin1Char('=') + QString::number(value);
        FakeUserSettings::writeInteger(sect, key, value);
    }
    void writeString(const QString& sect, const QString& key, const QString& value) override {
        written << key + QLatin1Char('=') + value;
        FakeUserSettings::writeString(sect, key, value);
    }
};

class FormStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto fake = std::make_unique<OrderedSettings>();
        settings = fake.get();
        SetUserSettings(std::move(fake));
        desktop = GetVirtualScreenRect();
        // The window's design bounds, well inside any desktop.
        form.move(desktop.topLeft() + QPoint(20, 10));
        form.resize(200, 150);
    }
    void TearDown() override { FreeUserSettings(); }

    void store(const QString& key, const QString& value) {
        settings->values[{Sect.toLower(), key.toLower()}] = value;
    }

    OrderedSettings* settings = nullptr;
    QRect desktop;
    stakko::T_Stakko form;
};

TEST(FormSectionNameTest, IsTheClassNameWithoutNamespaceAndFirstLetter) {
    stakko::T_Stakko main;
    TWinner winner;
    QWidget plain;
    EXPECT_EQ(FormSectionName(&main), QStringLiteral("_Stakko"));
    EXPECT_EQ(FormSectionName(&winner), QStringLiteral("Winner"));
    EXPECT_EQ(FormSectionName(&plain), QStringLiteral("Widget"));
}

TEST_F(FormStateTest, StoredBoundsAreFittedAndOnlyMaximizedIsTakenOver) {
    store(QStringLiteral("Left"), QStringLiteral("40"));
    store(QStringLiteral("Top"), QStringLiteral("30"));
    store(QStringLiteral("Width"), QStringLiteral("120"));
    store(QStringLiteral("Height"), QStringLiteral("90"));

    for (const char* winState : {"0", "1", "3", "-2", "x"}) {
        SCOPED_TRACE(winState);
        store(QStringLiteral("WinState"), QString::fromLatin1(winState));
        stakko::T_Stakko w;
        EXPECT_EQ(RestoreFormStateByClass(&w), wsNormal);
        EXPECT_EQ(w.windowState() & Qt::WindowMaximized, 0);
        EXPECT_EQ(QRect(w.pos(), w.size()), FitRectToScreen(QRect(40, 30, 120, 90)));
    }

    store(QStringLiteral("WinState"), QStringLiteral("2"));
    EXPECT_EQ(RestoreFormStateByClass(&form), wsMaximized);
    EXPECT_TRUE(form.windowState() & Qt::WindowMaximized);
    form.show();
    form.showNormal();
    EXPECT_EQ(form.size(), QSize(120, 90));

    // A stored position on a monitor that is gone puts the window back
    // inside the remaining desktop, keeping its size.
    store(QStringLiteral("Left"), QString::number(desktop.x() + desktop.width() + 700));
    store(QStringLiteral("Top"), QString::number(desktop.y() - 5000));
    stakko::T_Stakko lost;
    RestoreFormState(&lost, Sect);
    EXPECT_EQ(lost.pos(), QPoint(desktop.x() + desktop.width() - 120, desktop.y()));
    EXPECT_EQ(lost.size(), QSize(120, 90));
}

TEST_F(FormStateTest, MissingValuesKeepTheWindowsOwn) {
    QFont own = form.font();
    EXPECT_EQ(RestoreFormState(&form, Sect), wsNormal);
    EXPECT_EQ(form.pos(), desktop.topLeft() + QPoint(20, 10));
    EXPECT_EQ(form.size(), QSize(200, 150));
    EXPECT_EQ(form.font(), own);
    EXPECT_FALSE(form.testAttribute(Qt::WA_SetFont));
    EXPECT_EQ(form.property(CharSetProperty).toInt(), 0);

    // Without a settings object the design bounds are only fitted.
    FreeUserSettings();
    stakko::T_Stakko wide;
    wide.move(desktop.topLeft() + QPoint(10, 10));
    wide.resize(desktop.width() + 300, 100);
    EXPECT_EQ(RestoreFormState(&wide, Sect), wsNormal);
    EXPECT_EQ(wide.pos(), desktop.topLeft() + QPoint(0, 10));
    EXPECT_EQ(wide.size(), QSize(desktop.width(), 100));
}

TEST_F(FormStateTest, FontStyleAndCharSetAreClamped) {
    struct Row {
        const char* style;
        bool bold, italic, underline, strikeOut;
    };
    for (const Row& r :
         {Row{"5", true, false, true, false}, Row{"15", true, true, true, true},
          Row{"16", false, false, false, false}, Row{"-1", false, false, false, false},
          Row{"65538", false, true, false, false}}) {
        SCOPED_TRACE(r.style);
        store(QStringLiteral("FONTSTYLE"), QString::fromLatin1(r.style));
        stakko::T_Stakko w;
        w.setFont(QFont(QStringLiteral("Liberation Sans"), 10, QFont::Bold, true));
        RestoreFormState(&w, Sect);
        EXPECT_EQ(w.font().bold(), r.bold);
        EXPECT_EQ(w.font().italic(), r.italic);
        EXPECT_EQ(w.font().underline(), r.underline);
        EXPECT_EQ(w.font().strikeOut(), r.strikeOut);
    }

    for (const auto& [stored, expected] :
         {std::pair{"300", 0}, std::pair{"-1", 0}, std::pair{"255", 255}, std::pair{"0", 0}}) {
        SCOPED_TRACE(stored);
        store(QStringLiteral("CharSet"), QString::fromLatin1(stored));
        stakko::T_Stakko w;
        RestoreFormState(&w, Sect);
        EXPECT_EQ(w.property(CharSetProperty).toInt(), expected);
    }

    store(QStringLiteral("Font"), QStringLiteral("Liberation Serif"));
    store(QStringLiteral("FontSize"), QStringLiteral("14"));
    RestoreFormState(&form, Sect);
    EXPECT_EQ(form.font().family(), QStringLiteral("Liberation Serif"));
    EXPECT_EQ(form.font().pointSize(), 14);
}

TEST_F(FormStateTest, SavingWritesKeysInOrderOnlyForWhatItCanSee) {
    // Hidden: nothing at all, whatever is asked for.
    SaveFormStateByClass(&form, wpSizeAndState | wpPosition);
    EXPECT_TRUE(settings->written.isEmpty());

    form.show();
    SaveFormStateByClass(&form, wpSizeAndState | wpPosition);
    const QPoint pos = form.pos();
    EXPECT_EQ(settings->written,
              QStringList({QStringLiteral("WinState=0"), QStringLiteral("Width=200"),
                           QStringLiteral("Height=150"),
                           QStringLiteral("Left=") + QString::number(pos.x()),
                           QStringLiteral("Top=") + QString::number(pos.y())}));

    // Closing while maximized writes only the state; the normal bounds stay.
    settings->written.clear();
    form.showMaximized();
    SaveFormStateByClass(&form, wpSizeAndState | wpPosition);
    EXPECT_EQ(settings->written, QStringList{QStringLiteral("WinState=2")});
    EXPECT_EQ(settings->text(Sect, QStringLiteral("Width")), QStringLiteral("200"));
    EXPECT_EQ(settings->text(Sect, QStringLiteral("Left")), QString::number(pos.x()));

    settings->written.clear();
    form.showMinimized();
    SaveFormState(&form, wpSizeAndState | wpPosition, Sect);
    EXPECT_EQ(settings->written, QStringList{QStringLiteral("WinState=1")});

    // The font comes first, its size written as an absolute value.
    settings->written.clear();
    form.showNormal();
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(13);
    f.setItalic(true);
    f.setStrikeOut(true);
    form.setFont(f);
    form.setProperty(CharSetProperty, 238);
    SaveFormState(&form, wpFont | wpSizeAndState, Sect);
    EXPECT_EQ(settings->written,
              QStringList({QStringLiteral("Font=Liberation Sans"), QStringLiteral("Fontsize=13"),
                           QStringLiteral("Fontstyle=10"), QStringLiteral("CharSet=238"),
                           QStringLiteral("WinState=0"), QStringLiteral("Width=200"),
                           QStringLiteral("Height=150")}));

    settings->written.clear();
    SaveFormState(&form, wpPosition, Sect);
    EXPECT_EQ(settings->written.size(), 2);
    EXPECT_TRUE(settings->written.at(0).startsWith(QStringLiteral("Left=")));
}

// A maximised window stored with a size of 0 was never shown, and kept
// that size for good. Sizes of 0 or below keep the window's own; small
// ones are raised to what shows the window's contents.
struct SizeRow : NamedRow {
    const char* width;
    const char* height;
    QSize expected; // of a 200 x 150 window whose controls reach to 150 x 100
};

class FormStateSize : public FormStateTest, public ::testing::WithParamInterface<SizeRow> {};

TEST_P(FormStateSize, StoredSizeGivesAWindowThatCanBeSeen) {
    const SizeRow& row = GetParam();
    store(QStringLiteral("WinState"), QStringLiteral("2"));
    store(QStringLiteral("Width"), QString::fromLatin1(row.width));
    store(QStringLiteral("Height"), QString::fromLatin1(row.height));
    auto* control = new QWidget(&form);
    control->setGeometry(10, 20, 140, 80);
    EXPECT_EQ(RestoreFormStateByClass(&form), wsMaximized);
    EXPECT_EQ(form.size(), row.expected);

    // A window with a layout is raised to what its layout needs.
    stakko::T_Stakko laidOut;
    laidOut.resize(200, 150);
    auto* layout = new QVBoxLayout(&laidOut);
    auto* content = new QWidget;
    content->setMinimumSize(170, 120);
    layout->addWidget(content);
    RestoreFormState(&laidOut, Sect);
    const QSize needed = laidOut.minimumSizeHint();
    EXPECT_EQ(laidOut.size(), row.expected.expandedTo(needed));
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, FormStateSize,
    ::testing::Values(SizeRow{{"zero"}, "0", "0", QSize(200, 150)},
                      SizeRow{{"negative"}, "-5", "-1", QSize(200, 150)},
                      SizeRow{{"not_a_number"}, "x", "", QSize(200, 150)},
                      SizeRow{{"tiny"}, "3", "4", QSize(150, 100)},
                      SizeRow{{"one_bad_one_small"}, "0", "7", QSize(200, 100)},
                      SizeRow{{"large_enough"}, "320", "240", QSize(320, 240)}),
    RowName());

// A font size nobody could read with keeps the window's own.
TEST_F(FormStateTest, UnreadableFontSizesKeepTheWindowsOwn) {
    for (const auto& [stored, points, pixels] :
         {std::tuple{"0", 10, -1}, std::tuple{"5", 10, -1}, std::tuple{"73", 10, -1},
          std::tuple{"-3", 10, -1}, std::tuple{"-2147483648", 10, -1}, std::tuple{"6", 6, -1},
          std::tuple{"72", 72, -1}, std::tuple{"-13", -1, 13}}) {
        SCOPED_TRACE(stored);
        store(QStringLiteral("FONTSIZE"), QString::fromLatin1(stored));
        stakko::T_Stakko w;
        w.setFont(QFont(QStringLiteral("Liberation Sans"), 10));
        RestoreFormState(&w, Sect);
        EXPECT_EQ(w.font().pointSize(), points);
        EXPECT_EQ(w.font().pixelSize(), pixels);
    }
}

TEST_F(FormStateTest, RestoringWhatWasSavedGivesTheSameWindow) {
    form.move(desktop.topLeft() + QPoint(33, 44));
    form.resize(210, 160);
    QFont f(QStringLiteral("Liberation Serif"), 11);
    f.setBold(true);
    form.setFont(f);
    form.show();
    SaveFormStateByClass(&form, wpFont | wpSizeAndState | wpPosition);

    stakko::T_Stakko again;
    EXPECT_EQ(RestoreFormStateByClass(&again), wsNormal);
    again.show();
    EXPECT_EQ(again.pos(), form.pos());
    EXPECT_EQ(again.size(), form.size());
    EXPECT_EQ(again.font().family(), f.family());
    EXPECT_EQ(again.font().pointSize(), 11);
    EXPECT_TRUE(again.font().bold());
}

} // namespace

#include "FormState_test.moc"
