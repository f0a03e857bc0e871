// Hostile record names through the real window: whatever a settings file
// or the record dialog holds, the record line reads no file, keeps the
// panel's layout and direction, and the name itself stays as it was.
#include "game/Stakko.h"

#include "board/ScoreObj.h"
#include "common/FakeUserSettings.h"
#include "common/SilentPlayer.h"
#include "common/TestHelpers.h"
#include "game/Winner.h"

#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextLayout>

#include <sys/inotify.h>
#include <unistd.h>

#include <functional>

using namespace stakko;

namespace {

const QString Fsi = QString(QChar(0x2068));
const QString Pdi = QString(QChar(0x2069));

// Tells whether anything opened or read a file since the watch began.
class FileWatch {
public:
    explicit FileWatch(const QString& path)
        : FFd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)),
          FWatch(inotify_add_watch(FFd, QFile::encodeName(path).constData(), IN_OPEN | IN_ACCESS)) {
    }
    FileWatch(const FileWatch&) = delete;
    FileWatch& operator=(const FileWatch&) = delete;
    ~FileWatch() { close(FFd); }
    [[nodiscard]] bool Valid() const { return FFd >= 0 && FWatch >= 0; }
    [[nodiscard]] bool Touched() const {
        alignas(inotify_event) char buffer[4096];
        return read(FFd, buffer, sizeof buffer) > 0;
    }

private:
    int FFd;
    int FWatch;
};

struct HostileName : NamedRow {
    // The name, given the path of an image file that must not be read.
    std::function<QString(const QString& image)> holder;
    // What the record line shows of it.
    std::function<QString(const QString& image)> shown;
};

struct TPanel {
    QRect window, panel, total, restLines, best;
    bool operator==(const TPanel&) const = default;
};

class RecordNameTest : public ::testing::TestWithParam<HostileName> {
protected:
    void TearDown() override { qz::FreeUserSettings(); }

    // A shown window whose settings hold `name` as the record's holder.
    std::unique_ptr<T_Stakko> Open(const QString& name) {
        auto fake = std::make_unique<FakeUserSettings>();
        settings = fake.get();
        settings->values[{"score", "best"}] = name;
        settings->values[{"score", "highest"}] = QStringLiteral("1234");
        qz::SetUserSettings(std::move(fake));
        auto window = std::make_unique<T_Stakko>(std::make_unique<SilentPlayer>());
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return window;
    }

    static QLabel* Line(T_Stakko& w, const char* name) {
        return w.findChild<QLabel*>(QLatin1String(name));
    }

    static TPanel Panel(T_Stakko& w) {
        return {w.geometry(), w.findChild<QGroupBox*>(QStringLiteral("GroupBox1"))->geometry(),
                Line(w, "Total")->geometry(), Line(w, "RestLines")->geometry(),
                Line(w, "theBest")->geometry()};
    }

    // The record line is plain text in one line whose own words keep
    // their left-to-right order around the name, and painting it reads
    // no file.
    static void ExpectSafeRecordLine(T_Stakko& w, const QString& shown, const FileWatch& watch) {
        QLabel* best = Line(w, "theBest");
        // Before anything paints: a label that reads markup would read
        // the images too.
        ASSERT_EQ(best->textFormat(), Qt::PlainText);
        const QString text = best->text();
        EXPECT_EQ(text, QStringLiteral("Rekord: ") + shown + QStringLiteral(" (1.234 Pkt.)"));
        for (const QChar breaker : {QChar(u'\n'), QChar(u'\r'), QChar(0x2028), QChar(0x2029)})
            EXPECT_FALSE(text.contains(breaker)) << "the line breaks at " << int(breaker.unicode());

        (void)w.grab(); // paints the whole window now
        EXPECT_FALSE(watch.Touched()) << "painting the record line read the image";

        QTextLayout layout(text, best->font());
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        const qsizetype open = text.lastIndexOf(QStringLiteral(" (1.234"));
        const int anchors[] = {
            0, 6, int(open) + 1, int(open) + 2, int(text.size()) - 5, int(text.size()) - 1};
        qreal last = -1;
        for (const int at : anchors) {
            const qreal x = layout.lineAt(0).cursorToX(at);
            EXPECT_GT(x, last) << "the line's own words are reordered at " << at;
            last = x;
        }
    }

    FakeUserSettings* settings = nullptr;
};

TEST_P(RecordNameTest, ShowsTheNameSafelyAndKeepsIt) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString image = dir.filePath(QStringLiteral("face.png"));
    QImage face(8, 8, QImage::Format_RGB32);
    face.fill(Qt::red);
    ASSERT_TRUE(face.save(image));
    const QString name = GetParam().holder(image);
    const QString shown = GetParam().shown(image);

    TPanel plain;
    {
        auto window = Open(QStringLiteral("Anna"));
        plain = Panel(*window);
        window.reset();
        qz::FreeUserSettings();
    }

    FileWatch watch(image);
    ASSERT_TRUE(watch.Valid());
    auto window = Open(name);
    ExpectSafeRecordLine(*window, shown, watch);
    EXPECT_EQ(Panel(*window), plain) << "the panel's lines moved";
    EXPECT_EQ(window->ScoreObj().WinnerName, name);
    EXPECT_EQ(settings->text("Score", "Best"), name);

    // The same name typed into the record dialog is stored as typed.
    // The window makes the dialog once its first frame is shown.
    TWinnerForm* dialog = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (dialog = window->findChild<TWinnerForm*>()); }));
    TWinnerForm& form = *dialog;
    form.WinnerNameEdit()->setText(QStringLiteral("Anna"));
    form.BitBtn1Click();
    form.WinnerNameEdit()->setText(name);
    form.BitBtn1Click();
    ExpectSafeRecordLine(*window, shown, watch);
    EXPECT_EQ(Panel(*window), plain) << "the panel's lines moved";
    EXPECT_EQ(settings->text("Score", "Best"), name);
    EXPECT_EQ(window->ScoreObj().WinnerName, name);
}

INSTANTIATE_TEST_SUITE_P(
    Names, RecordNameTest,
    ::testing::Values(
        HostileName{
            {"markup_with_an_image"},
            [](const QString& image) {
                return QStringLiteral("<b>Bob</b><br><i>Anna</i><img src=\"%1\">").arg(image);
            },
            [](const QString& image) {
                return QStringLiteral("<b>Bob</b><br><i>Anna</i><img src=\"%1\">").arg(image);
            }},
        HostileName{{"image_of_dev_zero"},
                    [](const QString&) { return QStringLiteral("<img src=\"/dev/zero\">"); },
                    [](const QString&) { return QStringLiteral("<img src=\"/dev/zero\">"); }},
        // The override is left out; nothing right-to-left is left to isolate.
        HostileName{{"right_to_left_override"},
                    [](const QString&) { return QStringLiteral("\u202EBob"); },
                    [](const QString&) { return QStringLiteral("Bob"); }},
        HostileName{
            {"hebrew_with_digits_and_a_mark"},
            [](const QString&) { return QStringLiteral("\u05D3\u05E0\u05D9 7\u200F"); },
            [](const QString&) { return Fsi + QStringLiteral("\u05D3\u05E0\u05D9 7") + Pdi; }},
        HostileName{
            {"arabic_with_an_isolate_left_open"},
            [](const QString&) { return QStringLiteral("\u2067\u0639\u0644\u064A"); },
            [](const QString&) { return Fsi + QStringLiteral("\u0639\u0644\u064A") + Pdi; }},
        HostileName{
            {"controls_and_separators"},
            [](const QString&) { return QStringLiteral("Bo\u0007b\n\u0085x\u2028y\uFFF2\u007F"); },
            [](const QString&) { return QStringLiteral("Bo\u2407b\u240Axy\u2421"); }},
        HostileName{{"emoji_with_joiner_kept"},
                    [](const QString&) { return QStringLiteral("\U0001F469\u200D\U0001F467"); },
                    [](const QString&) { return QStringLiteral("\U0001F469\u200D\U0001F467"); }},
        HostileName{{"ten_thousand_characters"},
                    [](const QString&) { return QString(10000, QLatin1Char('W')); },
                    [](const QString&) { return QString(10000, QLatin1Char('W')); }}),
    RowName());

} // namespace
