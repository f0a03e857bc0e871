#include "ui/AboutBx.h"

#include "platform/ProgramFile.h"
#include "settings/IniFile.h"
#include "system/QZ_Win_cmn.h"
#include "system/VersionInfo.h"
#include "text/DateTime.h"
#include "text/MsgBox.h"
#include "text/QZ_cmn.h"
#include "ui/AboutForm.h"
#include "ui/AboutPictures.h"
#include "ui/ScreenFit.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyle>
#include <QUrl>

namespace qz {

namespace {

const QString FontName = QStringLiteral("Segoe UI");
constexpr int TextCellHeight = 22;
constexpr int SmallCellHeight = 18;
// The size an icon of the program has in the window.
constexpr int IconSize = 32;
// A push button is at least this large, as the dialogs of the desktop make them.
const QSize MinButtonSize(75, 25);

QString YearPlaceholder() {
    return QStringLiteral("%yyyy%");
}

// Where the window centres itself: the window the component belongs to,
// else the active one.
QWidget* MainWindowOf(QObject* owner) {
    if (auto* widget = qobject_cast<QWidget*>(owner))
        return widget->window();
    return QApplication::activeWindow();
}

QPushButton* MakeButton(QWidget* form, const QString& caption, QStyle::StandardPixmap glyph,
                        const char* name) {
    auto* button = new QPushButton(form->style()->standardIcon(glyph), caption, form);
    button->setObjectName(QLatin1String(name));
    button->setFont(CellHeightFont(FontName, SmallCellHeight));
    button->resize(button->sizeHint().expandedTo(MinButtonSize));
    return button;
}

} // namespace

QString DefaultInstitution() {
    return QStringLiteral("Vomb Spielwerkstatt");
}
QString DefaultCopyrightHolder() {
    return QStringLiteral("Vomb Spielwerkstatt");
}
QString DefaultWebAddress() {
    return QStringLiteral("https://www.example.com/");
}
QString DefaultMailAddress() {
    return QStringLiteral("info@example.com");
}

TAbout::TAbout(QObject* aOwner) : TCommonDialog(aOwner), FOwner(aOwner) {
    // The time of the running image, as its version record is.
    const TDateTime programTime = FileTimeOf(platform::RunningProgramImage());
    FYear = FormatTDateTime(QStringLiteral("yyyy"), programTime);

    FCaption = QCoreApplication::translate("qz::TAbout", "Info");
    FHead1 = QGuiApplication::applicationDisplayName();
    FImageName = QStringLiteral("INFO_PIC");

    setCopyright(VersionValue(QStringLiteral("LegalCopyright")));
    if (FCopyright.isEmpty())
        setCopyright(VersionValue(QStringLiteral("Copyright")));
    if (FCopyright.isEmpty())
        setCopyright(QStringLiteral("© ") + DefaultCopyrightHolder() + QLatin1Char(' ') +
                     YearPlaceholder());

    FInstit = DefaultInstitution();
    FWWW = DefaultWebAddress();
    FEMail = DefaultMailAddress() + QStringLiteral("?subject=") + ExeBaseName();

    setHelpContext(0);
    FHelpBtnText = QCoreApplication::translate("qz::TAbout", "&Hilfe");
    FAlignment = taCenter;
    FVersionDate = FormatTDateTime(QStringLiteral("dd.MM.yy hh:mm:ss"), programTime);
}

TAbout::~TAbout() = default;

QString TAbout::VersionValue(const QString& name) const {
    return FVersionSource ? FVersionSource(name) : GetVersionInfoValue(name);
}

void TAbout::setCopyright(const QString& value) {
    QString text = value;
    const qsizetype at = text.indexOf(YearPlaceholder());
    if (at >= 0) {
        text.remove(at, YearPlaceholder().size());
        const qsizetype i = at + 1; // 1-based position of the placeholder
        if (!FYear.isEmpty() && text.contains(FYear)) {
            if (i > 2 && text[i - 3] == QLatin1Char(','))
                text.remove(i - 3, 1);
        } else {
            text.insert(at, FYear);
        }
    }
    FCopyright = text;
}

QWidget* TAbout::Form() const {
    return FForm.get();
}

bool TAbout::Execute() {
    // A new window with new controls on every call, gone again afterwards
    // whatever happens. A missing bitmap resource throws while the window
    // is built, before it shows.
    const auto cleanUp = qScopeGuard([this] {
        FForm.reset();
        FImage = FAppIcon = nullptr;
        FHeadLabel1 = FHeadLabel2 = FVersionLabel = FInstitLabel = FCopyrightLabel = FWWWLabel =
            FEMailLabel = FLabelWinVersion = FLabelExeDate = nullptr;
        FOkBtn = FHlpBtn = nullptr;
    });

    FForm = std::make_unique<TAboutForm>(MainWindowOf(FOwner));
    TAboutForm* form = FForm.get();
    form->setObjectName(QStringLiteral("AboutForm"));
    form->setWindowTitle(FCaption);
    form->resize(360, form->height());

    // The program's icon.
    int y = 10;
    y += 2;
    FAppIcon = new QLabel(form);
    FAppIcon->setObjectName(QStringLiteral("FAppIcon"));
    FAppIcon->setAttribute(Qt::WA_NoMousePropagation);
    FAppIcon->setScaledContents(true);
    const QPixmap icon = !FProjectIcon.isNull()
                             ? FProjectIcon
                             : IconPicture(QApplication::windowIcon(), QSize(IconSize, IconSize));
    FAppIcon->setPixmap(icon);
    FAppIcon->setGeometry(10, y, icon.width(), icon.height());
    const int iconBottom = FAppIcon->y() + FAppIcon->height() + 2;

    const QFont textFont = CellHeightFont(FontName, TextCellHeight);
    const QFont smallFont = CellHeightFont(FontName, SmallCellHeight);
    auto label = [form](const QString& text, const QFont& font, const char* name) {
        auto* l = new TAboutLabel(text, font, form);
        l->setObjectName(QLatin1String(name));
        return l;
    };

    FHeadLabel1 = label(FHead1, textFont, "FHeadLabel1");
    FHeadLabel1->move(0, y);
    y += FHeadLabel1->height();

    QString head2 = FHead2;
    QString versionText;
    bool buildDateShown = false;
    if (head2.endsWith(QStringLiteral("°"))) {
        head2.chop(1);
        versionText = FVersionNr;
    } else {
        const QString fileVersion = VersionValue(QStringLiteral("FileVersion"));
        versionText = QStringLiteral("Version ") + fileVersion;
        const QString fixedVersion = VersionValue(QStringLiteral("VS_VERSION"));
        if (!fixedVersion.isEmpty() && fixedVersion != fileVersion) {
            const QString buildDate = BuildDateText(fixedVersion);
            if (!buildDate.isEmpty()) {
                versionText += QStringLiteral(" / ") + buildDate;
                buildDateShown = true;
            }
        }
    }
    FVersionNr = versionText;
    FHeadLabel2 = label(head2, textFont, "FHeadLabel2");
    FHeadLabel2->move(0, y);
    y += FHeadLabel2->height();
    y = qMax(y, iconBottom);

    FVersionLabel = nullptr;
    if (!versionText.isEmpty()) {
        FVersionLabel = label(versionText, textFont, "FVersionLabel");
        FVersionLabel->move(0, y);
        y += FVersionLabel->height();
        y = qMax(y, iconBottom);
    }

    BuildPicture(y);

    y += 12;
    auto line = [&](const QString& text, const char* name) {
        TAboutLabel* l = label(text, textFont, name);
        l->move(10, y);
        y += l->height();
        return l;
    };
    FInstitLabel = FInstit.isEmpty() ? nullptr : line(FInstit, "FInstitLabel");
    FCopyrightLabel = line(FCopyright, "FCopyrightLabel");
    FWWWLabel = line(FWWW, "FWWWLabel");
    FEMailLabel = line(CutAtQuestionMark(FEMail), "FEMailLabel");
    const QColor linkColor(0, 0, 255);
    for (TAboutLabel* link : {FWWWLabel, FEMailLabel}) {
        link->setColor(linkColor);
        link->makeLink(12);
    }
    FWWWLabel->setToolTip(
        FHintWWW.isEmpty() ? QCoreApplication::translate(
                                 "qz::TAbout", "Hier finden Sie weitere Informationen im Internet.")
                           : FHintWWW);
    FEMailLabel->setToolTip(
        FHintEmail.isEmpty()
            ? QCoreApplication::translate("qz::TAbout", "Eine Email an den Programmautor senden...")
            : FHintEmail);
    connect(FWWWLabel, &TAboutLabel::clicked, this, &TAbout::OnWWWClick);
    connect(FEMailLabel, &TAboutLabel::clicked, this, &TAbout::OnEMailClick);

    FHlpBtn = nullptr;
    if (HelpContext() != 0) {
        FHlpBtn = MakeButton(form, FHelpBtnText, QStyle::SP_DialogHelpButton, "FHlpBtn");
        FHlpBtn->setAutoDefault(false);
        FHlpBtn->move(0, y + 10);
        connect(FHlpBtn, &QPushButton::clicked, this,
                [this] { emit HelpRequested(HelpContext()); });
    }
    FOkBtn = MakeButton(form, QStringLiteral("OK"), QStyle::SP_DialogOkButton, "FOkBtn");
    FOkBtn->setDefault(true);
    FOkBtn->move(0, y + 10);
    connect(FOkBtn, &QPushButton::clicked, form, [form] { form->done(mrOk); });
    y += 10 + FOkBtn->height() + 6;

    // The system names itself (os-release): its words, not accelerators.
    FLabelWinVersion = label(LiteralLabelText(SystemDescription(1)), smallFont, "FLabelWinVersion");
    FLabelWinVersion->move(10, y);
    FLabelExeDate = label(buildDateShown ? QString() : FVersionDate, smallFont, "FLabelExeDate");
    FLabelExeDate->move(0, y);

    ReAlignAll();

    const QWidget* mainWindow = MainWindowOf(FOwner);
    const QRect bounds = mainWindow ? mainWindow->frameGeometry() : GetVirtualScreenRect();
    const QPoint centre((bounds.left() + bounds.left() + bounds.width()) / 2,
                        (bounds.top() + bounds.top() + bounds.height()) / 2);
    form->move(centre.x() - form->width() / 2, centre.y() - form->height() / 2);
    FitFormToScreen(form);

    FOkBtn->setFocus();
    return form->exec() == mrOk;
}

void TAbout::BuildPicture(int& y) {
    TAboutForm* form = FForm.get();
    FImage = new QLabel(form);
    FImage->setObjectName(QStringLiteral("FImage"));
    FImage->setAttribute(Qt::WA_NoMousePropagation);
    FImage->setScaledContents(true);
    QString name = FImageName;
    if (EndsWithTextIgnoreCase(QStringLiteral(".BMP"), name)) {
        // A path of its own, or a file beside the program; one that does
        // not load leaves a thin empty strip.
        const bool isPath = name.contains(QLatin1Char(':')) || name.startsWith(QLatin1Char('/'));
        const QImage image(isPath ? name : ExeDir() + name);
        FImage->setPixmap(QPixmap::fromImage(image));
        FImage->resize(image.width() > 0 ? image.width() : 280,
                       image.height() > 0 ? image.height() : 5);
    } else {
        if (EndsWithTextIgnoreCase(QStringLiteral(".BR"), name))
            name.chop(3);
        if (name.isEmpty()) {
            FImage->resize(0, 0);
        } else {
            const QPixmap picture = TransparentPicture(LoadBitmapResource(name));
            FImage->setPixmap(picture);
            FImage->resize(picture.size());
        }
    }
    y += 10;
    FImage->move(0, y);
    y += FImage->height();
}

int TAbout::RightMostX(std::initializer_list<const TAboutLabel*> labels) const {
    const int iconWidth = FAppIcon->width();
    int need = 0;
    for (const TAboutLabel* l : labels) {
        if (!l)
            continue;
        // The headlines and the version line are left-justified, and the
        // headlines sit beside the icon.
        const bool head = l == FHeadLabel1 || l == FHeadLabel2;
        const bool leftJustified = head || l == FVersionLabel || FAlignment == taLeftJustify;
        int n = scaled(20) + l->width() + (leftJustified ? l->x() : 0);
        if (head)
            n += scaled(20) + iconWidth;
        need = qMax(need, n);
    }
    return qMax(need, scaled(40) + FLabelExeDate->width() + FLabelWinVersion->width());
}

int TAbout::GetFormWidthNeeded() const {
    const int labels = RightMostX({FHeadLabel1, FHeadLabel2, FVersionLabel, FInstitLabel,
                                   FCopyrightLabel, FWWWLabel, FEMailLabel});
    return qMax(labels, scaled(20) + FImage->width());
}

void TAbout::ReAlignAll() {
    TAboutForm* form = FForm.get();
    const int w = GetFormWidthNeeded();
    const int x0 = FAppIcon->x() + FAppIcon->width() + scaled(10);
    FHeadLabel1->move(x0, FHeadLabel1->y());
    FHeadLabel2->move(x0, FHeadLabel2->y());
    if (FVersionLabel)
        FVersionLabel->move((w - FVersionLabel->width()) / 2, FVersionLabel->y());
    form->resize(w, scaled(10) + FLabelExeDate->y() + FLabelExeDate->height());
    FLabelExeDate->move(w - FLabelExeDate->width() - scaled(10), FLabelExeDate->y());
    for (TAboutLabel* head : {FHeadLabel1, FHeadLabel2})
        head->move(qMax(x0, (w - head->width()) / 2), head->y());
    FImage->move((w - FImage->width()) / 2, FImage->y());
    FOkBtn->move(w - FOkBtn->width() - scaled(20), FOkBtn->y());
    if (FHlpBtn)
        FHlpBtn->move(scaled(20), FHlpBtn->y());
    for (TAboutLabel* l : {FInstitLabel, FCopyrightLabel, FWWWLabel, FEMailLabel}) {
        if (!l)
            continue;
        switch (FAlignment) {
        case taLeftJustify:
            l->move(scaled(10), l->y());
            break;
        case taRightJustify:
            l->move(w - l->width() - scaled(10), l->y());
            break;
        case taCenter:
            l->move((w - l->width()) / 2, l->y());
            break;
        }
    }
}

// The web address as the line shows it; one without a scheme
// ("www.example.com") is taken as a web address, as a browser would.
void TAbout::OnWWWClick() {
    QDesktopServices::openUrl(QUrl::fromUserInput(FWWWLabel->text()));
    FForm->done(mrCancel);
}

void TAbout::OnEMailClick() {
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + FEMail));
    FForm->done(mrCancel);
}

} // namespace qz
