// The About box as a user meets it: what it shows and where, how it closes,
// what its links open, its background, and its pictures. The dialog runs
// modally; each test looks at it and closes it through the event loop.
#include "ui/AboutBx.h"

#include "common/TestHelpers.h"
#include "system/QZ_Win_cmn.h"
#include "system/VersionInfo.h"
#include "text/EQZError.h"
#include "text/QZ_cmn.h"
#include "ui/AboutForm.h"
#include "ui/AboutPictures.h"
#include "ui/ScreenFit.h"

#include <QApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <map>

using namespace qz;

namespace {

// Runs about.Execute() and hands its window to `whileShown` once it shows;
// `whileShown` must close it. A window that does not show within ten
// seconds fails the test, as does one left open for ten more.
bool ExecuteWith(TAbout& about, const std::function<void(QWidget* form)>& whileShown) {
    bool seen = false;
    QElapsedTimer waiting;
    waiting.start();
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [&, poll] {
        QWidget* form = about.Form();
        if (form && form->isVisible()) {
            poll->stop();
            poll->deleteLater();
            seen = true;
            QTimer::singleShot(10000, form, [form] {
                ADD_FAILURE() << "the About box was left open";
                form->close();
            });
            whileShown(form);
        } else if (waiting.elapsed() > 10000) {
            poll->stop();
            poll->deleteLater();
            ADD_FAILURE() << "the About box did not show";
        }
    });
    poll->start(5);
    const bool result = about.Execute();
    EXPECT_TRUE(seen);
    return result;
}

template <typename T = QWidget>
T* Child(QWidget* form, const char* name) {
    return form->findChild<T*>(QLatin1String(name));
}

void ClickOk(QWidget* form) {
    Child<QPushButton>(form, "FOkBtn")->click();
}

// The geometry of every control while the window shows; absent ones are missing.
std::map<std::string, QRect> Layout(TAbout& about) {
    std::map<std::string, QRect> layout;
    ExecuteWith(about, [&](QWidget* form) {
        for (QWidget* w : form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (w->objectName().startsWith('F'))
                layout[w->objectName().toStdString()] = w->geometry();
        layout["form"] = form->geometry();
        ClickOk(form);
    });
    return layout;
}

QString ProgramYear() {
    return QFileInfo(QCoreApplication::applicationFilePath()).lastModified().toString("yyyy");
}

// A version record of made-up values.
TAbout::TVersionSource Record(const QString& fixed, const QString& file) {
    return [fixed, file](const QString& name) {
        return name == "VS_VERSION" ? fixed : name == "FileVersion" ? file : QString();
    };
}

// Catches what the desktop is asked to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    explicit UrlCatcher(const QStringList& schemes) : FSchemes(schemes) {
        for (const QString& s : FSchemes)
            QDesktopServices::setUrlHandler(s, this, "open");
    }
    ~UrlCatcher() override {
        for (const QString& s : FSchemes)
            QDesktopServices::unsetUrlHandler(s);
    }
    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls << url; }

private:
    QStringList FSchemes;
};

TEST(About, StartValuesFromTheProgramAndItsRecord) {
    TAbout about(nullptr);
    EXPECT_EQ(about.Head1(), QGuiApplication::applicationDisplayName());
    EXPECT_EQ(about.Copyright(), GetVersionInfoValue("LegalCopyright")) << "from the record";
    EXPECT_EQ(about.eMail(), DefaultMailAddress() + "?subject=" + ExeBaseName());
    EXPECT_EQ(about.VersionDate(), QFileInfo(QCoreApplication::applicationFilePath())
                                       .lastModified()
                                       .toString("dd.MM.yy hh:mm:ss"));
    EXPECT_TRUE(DefaultWebAddress().contains("example.com"));
}

struct CopyrightRow : NamedRow {
    QString given; // "{Y}" stands for the program file's year
    QString stored;
};

class CopyrightRows : public ::testing::TestWithParam<CopyrightRow> {};

TEST_P(CopyrightRows, YearOfTheProgramFile) {
    TAbout about(nullptr);
    const QString year = ProgramYear();
    about.setCopyright(QString(GetParam().given).replace("{Y}", year));
    EXPECT_EQ(about.Copyright(), QString(GetParam().stored).replace("{Y}", year));
}

INSTANTIATE_TEST_SUITE_P(
    Setter, CopyrightRows,
    ::testing::Values(
        CopyrightRow{{"year_after_the_comma"}, "© Vomb 1996, %yyyy%", "© Vomb 1996, {Y}"},
        CopyrightRow{{"year_named_comma_goes_blank_stays"}, "© {Y} Vomb, %yyyy%", "© {Y} Vomb "},
        CopyrightRow{{"year_named_no_comma"}, "{Y} - %yyyy%!", "{Y} - !"},
        CopyrightRow{{"no_placeholder"}, "© Vomb, 1996", "© Vomb, 1996"},
        CopyrightRow{{"only_the_first"}, "%yyyy%, %yyyy%", "{Y}, %yyyy%"},
        CopyrightRow{{"comma_too_close_to_the_start"}, ",%yyyy%{Y}", ",{Y}"}),
    RowName());

struct VersionRow : NamedRow {
    QString head2;
    QString versionNr;
    QString fixed, file;
    QString versionLine; // "" for no version line
    bool dateLine;       // the date line shows VersionDate
};

class VersionLineRows : public ::testing::TestWithParam<VersionRow> {};

TEST_P(VersionLineRows, VersionAndDateLines) {
    const VersionRow& row = GetParam();
    TAbout about(nullptr);
    about.setHead2(row.head2);
    about.setVersionNr(row.versionNr);
    about.setVersionDate("01.02.25 10:20:30");
    about.setVersionSource(Record(row.fixed, row.file));
    ExecuteWith(about, [&](QWidget* form) {
        const QString head2 = QString(row.head2).remove(QStringLiteral("°"));
        EXPECT_EQ(Child<TAboutLabel>(form, "FHeadLabel2")->text(), head2);
        auto* version = Child<TAboutLabel>(form, "FVersionLabel");
        EXPECT_EQ(version ? version->text() : QString(), row.versionLine);
        EXPECT_EQ(Child<TAboutLabel>(form, "FLabelExeDate")->text(),
                  row.dateLine ? "01.02.25 10:20:30" : "");
        ClickOk(form);
    });
    EXPECT_EQ(about.VersionNr(), row.versionLine) << "the last version line is kept";
}

INSTANTIATE_TEST_SUITE_P(
    BuildDate, VersionLineRows,
    ::testing::Values(
        VersionRow{{"build_date_after_the_version"},
                   "",
                   "",
                   "1.0.6000.21600",
                   "1.0.0",
                   "Version 1.0.0 / 05.06.2016 12:00:00",
                   false},
        VersionRow{
            {"same_versions_no_build_date"}, "", "", "2.0.0.0", "2.0.0.0", "Version 2.0.0.0", true},
        VersionRow{{"build_date_too_early"}, "", "", "1.0.5000.21600", "1.0", "Version 1.0", true},
        VersionRow{{"no_record"}, "Beta", "", "", "", "Version ", true},
        VersionRow{{"degree_sign_without_version_nr"}, "Beta°", "", "1.0.6000.0", "1.0", "", true},
        VersionRow{
            {"degree_sign_with_version_nr"}, "Beta°", "V 7", "1.0.6000.0", "1.0", "V 7", true}),
    RowName());

// The system line shows what the system says, letter for letter: an "&"
// is no accelerator, and nothing in it reorders the line.
struct LiteralRow : NamedRow {
    QString system;
    QString label;
};

class LiteralLabelRows : public ::testing::TestWithParam<LiteralRow> {};

TEST_P(LiteralLabelRows, SystemTextOnALabel) {
    const QString text = LiteralLabelText(GetParam().system);
    EXPECT_EQ(text, GetParam().label);
    QWidget form;
    const QFont font = CellHeightFont("Segoe UI", 18);
    TAboutLabel shown(text, font, &form);
    TAboutLabel escaped(QString(GetParam().label).replace("&&", "&"), font, &form);
    if (GetParam().system.contains('&')) {
        EXPECT_GT(shown.width(), escaped.width()) << "the \"&\" was taken for an accelerator";
    }
}

INSTANTIATE_TEST_SUITE_P(
    System, LiteralLabelRows,
    ::testing::Values(
        LiteralRow{{"plain"}, "Debian GNU/Linux 12 (bookworm)", "Debian GNU/Linux 12 (bookworm)"},
        LiteralRow{{"ampersand"}, "Tom & Jerry OS 1", "Tom && Jerry OS 1"},
        LiteralRow{{"override_and_bell"}, "OS\u202E 1\u0007", "OS 1\u2407"},
        LiteralRow{{"right_to_left"},
                   "\u05D3\u05E0 & 2",
                   QString(QChar(0x2068)) + "\u05D3\u05E0 && 2" + QChar(0x2069)}),
    RowName());

TEST(About, EmptyLinesKeepTheirPlaceOrGive) {
    TAbout with(nullptr);
    with.setInstit("Vomb Spielwerkstatt, Musterstadt");
    with.setVersionSource(Record("", "1.0"));
    auto a = Layout(with);
    ASSERT_TRUE(a.count("FInstitLabel"));

    TAbout without(nullptr);
    without.setInstit("");
    without.setVersionSource(Record("", "1.0"));
    auto b = Layout(without);
    EXPECT_FALSE(b.count("FInstitLabel"));
    EXPECT_EQ(b["FCopyrightLabel"].top(), a["FInstitLabel"].top()) << "the copyright moves up";
    EXPECT_EQ(b["FWWWLabel"].top(), a["FCopyrightLabel"].top());

    // An empty second headline still takes a line, so the version stays below it.
    EXPECT_EQ(b["FHeadLabel2"].height(), b["FHeadLabel1"].height());
    EXPECT_EQ(b["FVersionLabel"].top(), b["FHeadLabel2"].top() + b["FHeadLabel2"].height());
    EXPECT_EQ(b["FHeadLabel2"].top(), b["FHeadLabel1"].top() + b["FHeadLabel1"].height());

    // Bottom row: OK 20 from the right, the date line 10 from the right,
    // the system line 10 from the left, the window 10 below them.
    const int w = b["form"].width();
    EXPECT_EQ(b["FOkBtn"].right() + 1, w - 20);
    EXPECT_FALSE(b.count("FHlpBtn")) << "no help context, no help button";
    EXPECT_EQ(b["FLabelExeDate"].right() + 1, w - 10);
    EXPECT_EQ(b["FLabelWinVersion"].left(), 10);
    EXPECT_EQ(b["FLabelWinVersion"].top(), b["FOkBtn"].bottom() + 1 + 6);
    EXPECT_EQ(b["form"].height(), b["FLabelExeDate"].bottom() + 1 + 10);
    EXPECT_EQ(b["FOkBtn"].top(), b["FEMailLabel"].bottom() + 1 + 10);
}

TEST(About, ANarrowContentIsAsWideAsTheBottomLines) {
    TAbout about(nullptr);
    about.setHead1("");
    about.setHead2("°");
    about.setInstit("");
    about.setCopyright("c");
    about.setWWW("w");
    about.seteMail("m");
    about.setImageName("");
    auto l = Layout(about);
    EXPECT_EQ(l["form"].width(), 40 + l["FLabelExeDate"].width() + l["FLabelWinVersion"].width());

    // A wide picture widens the window to 20 more than the picture (wider
    // than the bottom lines in the fonts a desktop may have, narrower than
    // the 800 pixels of the test screen).
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage wide(760, 10, QImage::Format_RGB32);
    wide.fill(Qt::blue);
    ASSERT_TRUE(wide.save(dir.filePath("wide.bmp")));
    about.setImageName(dir.filePath("wide.bmp"));
    auto p = Layout(about);
    EXPECT_EQ(p["FImage"].size(), QSize(760, 10));
    EXPECT_EQ(p["form"].width(), 780);
    EXPECT_EQ(p["FImage"].left(), 10);

    // A picture file that does not load leaves a thin strip.
    about.setImageName(dir.filePath("missing.BMP"));
    EXPECT_EQ(Layout(about)["FImage"].size(), QSize(280, 5));
}

TEST(About, EscapeCancelsOkConfirms) {
    TAbout about(nullptr);
    EXPECT_FALSE(ExecuteWith(about, [](QWidget* form) {
        // The window sees the key first, even with the focus on OK.
        QTest::keyClick(Child(form, "FOkBtn"), Qt::Key_Escape);
    }));
    EXPECT_TRUE(ExecuteWith(about, [](QWidget* form) { ClickOk(form); }));
    EXPECT_TRUE(ExecuteWith(about, [](QWidget* form) { QTest::keyClick(form, Qt::Key_Return); }))
        << "OK is the default button";
    EXPECT_EQ(about.Form(), nullptr) << "the window goes with Execute";
}

TEST(About, LinksOpenTheirTargetAndClose) {
    UrlCatcher catcher({"mailto", "https", "http"});
    TAbout about(nullptr);
    about.seteMail("stakko@example.com?subject=Stakko&body=Hallo");
    about.setWWW("https://www.example.com/stakko/");
    EXPECT_FALSE(ExecuteWith(about, [](QWidget* form) {
        auto* mail = Child<TAboutLabel>(form, "FEMailLabel");
        EXPECT_EQ(mail->text(), "stakko@example.com") << "the window shows the address only";
        EXPECT_EQ(mail->toolTip(), "Eine Email an den Programmautor senden...");
        EXPECT_EQ(
            mail->width(),
            QFontMetrics(mail->font()).size(Qt::TextSingleLine, "stakko@example.com").width() + 12);
        EXPECT_EQ(mail->cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseClick(mail, Qt::LeftButton);
    }));
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls[0], QUrl("mailto:stakko@example.com?subject=Stakko&body=Hallo"))
        << "the link opens the whole value";

    about.setHintWWW("Zur Seite des Spiels");
    EXPECT_FALSE(ExecuteWith(about, [](QWidget* form) {
        auto* web = Child<TAboutLabel>(form, "FWWWLabel");
        EXPECT_EQ(web->toolTip(), "Zur Seite des Spiels");
        QTest::mouseClick(web, Qt::RightButton); // not a click on the link
        QTest::mouseClick(web, Qt::LeftButton);
    }));
    ASSERT_EQ(catcher.urls.size(), 2);
    EXPECT_EQ(catcher.urls[1], QUrl("https://www.example.com/stakko/"));

    about.setWWW("www.example.org");
    EXPECT_FALSE(ExecuteWith(
        about, [](QWidget* form) { QTest::mouseClick(Child(form, "FWWWLabel"), Qt::LeftButton); }));
    ASSERT_EQ(catcher.urls.size(), 3);
    EXPECT_EQ(catcher.urls[2], QUrl("http://www.example.org")) << "taken as a web address";
}

TEST(About, CentredOverItsOwnerAndKeptOnTheDesktop) {
    QWidget owner;
    owner.setGeometry(100, 50, 500, 500);
    TAbout about(&owner);
    QRect shown;
    ExecuteWith(about, [&](QWidget* form) {
        shown = QRect(form->pos(), form->size());
        ClickOk(form);
    });
    EXPECT_EQ(shown.left(), (100 + 600) / 2 - shown.width() / 2);
    EXPECT_EQ(shown.top(), (50 + 550) / 2 - shown.height() / 2);

    // The owner's centre near the desktop's bottom-right corner.
    const QRect desktop = GetVirtualScreenRect();
    owner.setGeometry(desktop.right() - 200, desktop.bottom() - 150, 400, 300);
    ExecuteWith(about, [&](QWidget* form) {
        shown = QRect(form->pos(), form->size());
        ClickOk(form);
    });
    EXPECT_EQ(shown.right(), desktop.right());
    EXPECT_EQ(shown.bottom(), desktop.bottom());
}

TEST(About, BackgroundBandsAndEdges) {
    // 30 pixels: ten bands; each channel steps by (difference * 128) div 10.
    TAboutForm form(nullptr);
    form.resize(100, 30);
    const QImage image = form.grab().toImage();
    auto at = [&](int x, int y) { return QColor(image.pixel(x, y)); };
    EXPECT_EQ(at(50, 2), QColor(244, 220, 196)) << "band 0";
    EXPECT_EQ(at(50, 3), QColor(243, 222, 201)) << "band 1";
    EXPECT_EQ(at(50, 16), QColor(243, 233, 225)) << "band 5";
    EXPECT_EQ(at(50, 27), QColor(242, 245, 249)) << "band 9, short of the bottom colour";
    for (int y : {1, 15, 27}) {
        EXPECT_EQ(at(0, y), QColor(Qt::white)) << y;
        EXPECT_EQ(at(1, y), QColor(Qt::white)) << y;
    }
    EXPECT_EQ(at(50, 0), QColor(Qt::white));
    for (int y : {1, 15, 28}) {
        EXPECT_EQ(at(98, y), QColor(128, 128, 128)) << y;
        EXPECT_EQ(at(99, y), QColor(128, 128, 128)) << y;
    }
    EXPECT_EQ(at(50, 28), QColor(128, 128, 128));
    EXPECT_EQ(at(50, 29), QColor(128, 128, 128));
}

TEST(AboutPictures, IconOnWhiteWithItsBottomLeftColourTransparent) {
    QImage drawn(4, 4, QImage::Format_ARGB32);
    drawn.fill(Qt::transparent);
    drawn.setPixelColor(1, 1, Qt::white);
    drawn.setPixelColor(2, 2, Qt::red);
    const QImage picture = IconPicture(QIcon(QPixmap::fromImage(drawn)), QSize(4, 4))
                               .toImage()
                               .convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(picture.pixel(0, 3)), 0);
    EXPECT_EQ(qAlpha(picture.pixel(3, 0)), 0);
    EXPECT_EQ(picture.pixel(1, 1), qRgb(255, 255, 255)) << "the icon's own white stays";
    EXPECT_EQ(picture.pixel(2, 2), qRgb(255, 0, 0));

    drawn.fill(Qt::blue);
    drawn.setPixelColor(2, 2, Qt::white);
    const QImage blue = IconPicture(QIcon(QPixmap::fromImage(drawn)), QSize(4, 4)).toImage();
    EXPECT_EQ(qAlpha(blue.pixel(1, 1)), 0) << "every pixel of the corner's colour";
    EXPECT_EQ(blue.pixel(2, 2), qRgb(255, 255, 255));
    EXPECT_TRUE(IconPicture(QIcon(), QSize(32, 32)).isNull());
}

TEST(AboutPictures, BitmapResourcesByNameInAnyCase) {
    TAbout about(nullptr);
    about.setImageName("test_pic.br");
    ExecuteWith(about, [](QWidget* form) {
        auto* image = Child<QLabel>(form, "FImage");
        EXPECT_EQ(image->size(), QSize(6, 4));
        const QImage shown = image->pixmap().toImage();
        EXPECT_EQ(qAlpha(shown.pixel(0, 3)), 0) << "the bottom-left colour is transparent";
        EXPECT_EQ(qAlpha(shown.pixel(0, 2)), 0);
        EXPECT_EQ(shown.pixel(1, 1), qRgb(255, 255, 255));
        EXPECT_EQ(shown.pixel(0, 0), qRgb(255, 0, 0));
        ClickOk(form);
    });

    about.setImageName("NO_SUCH_PIC");
    EXPECT_THROW_MSG((void)about.Execute(), EQZError, "Ressource NO_SUCH_PIC nicht gefunden");
    EXPECT_EQ(about.Form(), nullptr) << "no window is left behind";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace

#include "AboutBx_test.moc"
