#pragma once
// The About box: a component the main window owns and configures, whose
// Execute builds a borderless modal window on a painted gradient (the
// program's icon, one or two headlines, the version line, a picture, the
// institution and copyright lines, a web and a mail link, the OK button
// and an optional help button, the system line and the date line), sizes
// it to its contents, centres it over the main window and keeps it on the
// desktop. It can be dragged by its surface and closes with OK or Escape;
// a click on a link opens it with the desktop's handler and closes too.
// The pieces of the window are in AboutForm.h, its pictures in
// AboutPictures.h.
//
//   qz::TAbout about(mainWindow);
//   about.setHead1("Stakko");
//   about.setCopyright("© Vomb Spielwerkstatt 1996, %yyyy%"); // year of the program file
//   about.Execute(); // true for OK

#include <QObject>
#include <QPixmap>
#include <QString>

#include <functional>
#include <initializer_list>
#include <memory>

class QLabel;
class QPushButton;
class QWidget;

namespace qz {

class TAboutForm;
class TAboutLabel;

enum TAlignment : quint8 { taLeftJustify, taRightJustify, taCenter };

// A dialog that exists as a component and shows itself in Execute.
class TCommonDialog : public QObject {
    Q_OBJECT
public:
    explicit TCommonDialog(QObject* aOwner) : QObject(aOwner) {}

    [[nodiscard]] int HelpContext() const { return FHelpContext; }
    void setHelpContext(int value) { FHelpContext = value; }

    // Shows the dialog modally; true when the user confirmed it.
    virtual bool Execute() = 0;

private:
    int FHelpContext = 0;
};

class TAbout : public TCommonDialog {
    Q_OBJECT
public:
    // Reads a value of the program's version record by name.
    using TVersionSource = std::function<QString(const QString& name)>;

    explicit TAbout(QObject* aOwner);
    ~TAbout() override;

    bool Execute() override;

    [[nodiscard]] const QString& Caption() const { return FCaption; }
    void setCaption(const QString& value) { FCaption = value; }
    // A name ending in ".BMP" is a picture file (in the program's folder
    // unless the name is a path); any other names a bitmap resource, a
    // final ".BR" dropped; "" shows no picture.
    [[nodiscard]] const QString& ImageName() const { return FImageName; }
    void setImageName(const QString& value) { FImageName = value; }
    // How the institution, copyright and link lines sit in the window.
    [[nodiscard]] TAlignment Alignment() const { return FAlignment; }
    void setAlignment(TAlignment value) { FAlignment = value; }
    [[nodiscard]] const QString& Head1() const { return FHead1; }
    void setHead1(const QString& value) { FHead1 = value; }
    // A final "°" shows Head2 without it and VersionNr as the version line.
    [[nodiscard]] const QString& Head2() const { return FHead2; }
    void setHead2(const QString& value) { FHead2 = value; }
    [[nodiscard]] const QString& Instit() const { return FInstit; }
    void setInstit(const QString& value) { FInstit = value; }
    // The first "%yyyy%" becomes the year of the program file's last
    // change; where that year is named already, it goes instead, and with
    // it a comma two places before it: "1996, %yyyy%" -> "1996, 2025",
    // "2025 Vomb, %yyyy%" -> "2025 Vomb ".
    [[nodiscard]] const QString& Copyright() const { return FCopyright; }
    void setCopyright(const QString& value);
    [[nodiscard]] const QString& WWW() const { return FWWW; }
    void setWWW(const QString& value) { FWWW = value; }
    // A mail address, perhaps followed by "?" and mail parameters: the
    // window shows the address, the link opens all of it.
    [[nodiscard]] const QString& eMail() const { return FEMail; }
    void seteMail(const QString& value) { FEMail = value; }
    [[nodiscard]] const QString& helpBtnText() const { return FHelpBtnText; }
    void sethelpBtnText(const QString& value) { FHelpBtnText = value; }
    [[nodiscard]] const QString& VersionDate() const { return FVersionDate; }
    void setVersionDate(const QString& value) { FVersionDate = value; }
    // The version line Execute showed last (or the one to show after a "°").
    [[nodiscard]] const QString& VersionNr() const { return FVersionNr; }
    void setVersionNr(const QString& value) { FVersionNr = value; }
    [[nodiscard]] const QString& HintEmail() const { return FHintEmail; }
    void setHintEmail(const QString& value) { FHintEmail = value; }
    [[nodiscard]] const QString& HintWWW() const { return FHintWWW; }
    void setHintWWW(const QString& value) { FHintWWW = value; }
    // Shown instead of the program's icon when set.
    [[nodiscard]] const QPixmap& projectIcon() const { return FProjectIcon; }
    void setprojectIcon(const QPixmap& value) { FProjectIcon = value; }

    // Where the version values come from; the running program's record
    // unless a test hands in another.
    void setVersionSource(TVersionSource source) { FVersionSource = std::move(source); }

    // The window while Execute runs, else null; its controls carry the
    // names of their fields ("FHeadLabel1", "FOkBtn", ...).
    [[nodiscard]] QWidget* Form() const;

    // Margins pass through here; Qt already scales for the monitor.
    [[nodiscard]] int scaled(int value) const { return value; }

signals:
    // The help button was pressed; the owner shows the help for the context.
    void HelpRequested(int helpContext);

private:
    [[nodiscard]] int GetFormWidthNeeded() const;
    void ReAlignAll();
    [[nodiscard]] int RightMostX(std::initializer_list<const TAboutLabel*> labels) const;
    void OnWWWClick();
    void OnEMailClick();
    void BuildPicture(int& y);
    [[nodiscard]] QString VersionValue(const QString& name) const;

    QObject* FOwner;
    QString FCaption;
    QString FImageName;
    std::unique_ptr<TAboutForm> FForm;
    QString FHead1, FHead2;
    QString FCopyright;
    QString FWWW;
    QString FEMail;
    QString FHelpBtnText;
    QString FYear;
    QString FVersionDate;
    QString FVersionNr;
    QString FHintEmail, FHintWWW;
    QString FInstit;
    QLabel* FImage = nullptr;
    TAboutLabel *FHeadLabel1 = nullptr, *FHeadLabel2 = nullptr, *FVersionLabel = nullptr,
                *FInstitLabel = nullptr, *FCopyrightLabel = nullptr, *FWWWLabel = nullptr,
                *FEMailLabel = nullptr;
    QPushButton *FOkBtn = nullptr, *FHlpBtn = nullptr;
    QLabel* FAppIcon = nullptr;
    TAboutLabel *FLabelWinVersion = nullptr, *FLabelExeDate = nullptr;
    TAlignment FAlignment = taCenter;
    QPixmap FProjectIcon;
    TVersionSource FVersionSource;
};

// The defaults of the makers' About box.
[[nodiscard]] QString DefaultInstitution();     // "Vomb Spielwerkstatt"
[[nodiscard]] QString DefaultCopyrightHolder(); // "Vomb Spielwerkstatt"
[[nodiscard]] QString DefaultWebAddress();      // "https://www.example.com/"
[[nodiscard]] QString DefaultMailAddress();     // "info@example.com"

} // namespace qz
