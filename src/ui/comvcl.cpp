#include "ui/comvcl.h"

#include "settings/ScreenFit.h"
#include "text/QZ_cmn.h"

#include <QApplication>
#include <QDateTime>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>

#include <utility>
#include <vector>

namespace qz {

namespace {

constexpr TMsgDlgBtn AllButtons[] = {mbYes,    mbNo,  mbOK,      mbCancel,   mbAbort, mbRetry,
                                     mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp,  mbClose};

TDateTime Now() {
    return ToDateTime(QDateTime::currentDateTime());
}

QMessageBox::Icon IconOf(TMsgDlgType t) {
    switch (t) {
    case mtWarning:
        return QMessageBox::Warning;
    case mtError:
        return QMessageBox::Critical;
    case mtInformation:
        return QMessageBox::Information;
    case mtConfirmation:
        return QMessageBox::Question;
    case mtCustom:
        return QMessageBox::NoIcon;
    }
    return QMessageBox::NoIcon;
}

// Messages separate their lines with CR (often alone); the label knows LF.
QString DisplayText(QString msg) {
    msg.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    msg.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return msg + QLatin1Char('\n');
}

// Runs the end notification on every way out of Dlg, exceptions included.
class EndNotifier {
public:
    EndNotifier(const TMsgBoxWin::TNotifyEvent& event, TMsgBox* sender)
        : FEvent(event), FSender(sender) {}
    EndNotifier(const EndNotifier&) = delete;
    EndNotifier& operator=(const EndNotifier&) = delete;
    ~EndNotifier() {
        if (FEvent)
            FEvent(FSender);
    }

private:
    const TMsgBoxWin::TNotifyEvent& FEvent;
    TMsgBox* FSender;
};

// The reference for placing a dialog: the active window, else the main
// (first visible ordinary) window, else a plain 799 x 599 area at the origin.
QRect ReferenceRect() {
    if (const QWidget* active = QApplication::activeWindow())
        return active->frameGeometry();
    for (const QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowType() == Qt::Window)
            return w->frameGeometry();
    return QRect(0, 0, 799, 599);
}

// A message box that takes its place once it knows its final size, which
// QMessageBox settles only while it is being shown.
class PlacedMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;
    std::function<QRect(QSize)> placement;

protected:
    void showEvent(QShowEvent* e) override {
        QMessageBox::showEvent(e);
        if (placement) {
            const QRect r = placement(size());
            move(r.topLeft());
            if (r.size() != size())
                resize(r.size());
        }
    }
};

} // namespace

QRect MsgDlgPlacement(TMsgAlign align, bool useAlign, const QRect& reference, const QSize& dialog,
                      const QRect& virtualScreen) {
    const int w = dialog.width();
    const int h = dialog.height();
    const int refLeft = reference.x();
    const int refTop = reference.y();
    const int refRight = refLeft + reference.width();
    const int refBottom = refTop + reference.height();
    // Integer division truncates toward zero, as the placement rule wants.
    const int centreLeft = refLeft + (reference.width() - w) / 2;
    const int centreTop = refTop + (reference.height() - h) / 2;
    if (!useAlign || align == ma_Center)
        return QRect(centreLeft, centreTop, w, h);

    int left = refLeft;
    int top = refTop;
    switch (align) {
    case ma_Center:
    case ma_leftTop:
        break;
    case ma_RightTop:
        left = refRight - w;
        break;
    case ma_CenterTop:
        left = centreLeft;
        break;
    case ma_LeftCenter:
        top = centreTop;
        break;
    case ma_RightCenter:
        left = refRight - w;
        top = centreTop;
        break;
    case ma_LeftBottom:
        top = refBottom - h;
        break;
    case ma_RightBottom:
        left = refRight - w;
        top = refBottom - h;
        break;
    case ma_CenterBottom:
        left = centreLeft;
        top = refBottom - h;
        break;
    }
    return FitRectToScreen(left, top, w, h, virtualScreen);
}

QString MsgDlgBtnCaption(TMsgDlgBtn b) {
    switch (b) {
    case mbYes:
        return QStringLiteral("&Ja");
    case mbNo:
        return QStringLiteral("&Nein");
    case mbOK:
        return QStringLiteral("OK");
    case mbCancel:
        return QStringLiteral("Abbrechen");
    case mbAbort:
        return QStringLiteral("&Abbrechen");
    case mbRetry:
        return QStringLiteral("&Wiederholen");
    case mbIgnore:
        return QStringLiteral("&Ignorieren");
    case mbAll:
        return QStringLiteral("&Alle");
    case mbNoToAll:
        return QStringLiteral("&Alle Nein");
    case mbYesToAll:
        return QStringLiteral("A&lle Ja");
    case mbHelp:
        return QStringLiteral("&Hilfe");
    case mbClose:
        return QStringLiteral("S&chließen");
    }
    return {};
}

int TMsgBoxWin::Dlg(const QString& msg, TMsgDlgType dlgType, TMsgDlgButtons btns,
                    TMsgDlgBtn defButton) {
    const TDateTime start = Now();
    if (OnStartDialog)
        OnStartDialog(this);
    const EndNotifier endNotifier(OnEndDialog, this);

    QString text = msg;
    // "$name message": the name of a recorded sound to play first. The
    // program carries no recordings for dialogs, so the sound is skipped as
    // a missing one would be, and only the message remains.
    if (text.startsWith(QLatin1Char('$'))) {
        const qsizetype blank = text.indexOf(QLatin1Char(' '));
        if (blank < 0)
            return mrNone;
        text = text.mid(blank + 1);
    }
    if (text.startsWith(QLatin1Char('!')))
        text.remove(0, 1);
    if (text.isEmpty())
        return mrNone;
    if (btns.isEmpty())
        btns += mbOK;

    PlacedMessageBox box(IconOf(dlgType), ExeBaseName(), DisplayText(text), QMessageBox::NoButton,
                         QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText); // "&" in a message is shown as it is
    std::vector<std::pair<QPushButton*, TMsgDlgBtn>> shown;
    for (const TMsgDlgBtn b : AllButtons) {
        if (!btns.contains(b))
            continue;
        // One role for all keeps the buttons in the program's order.
        QPushButton* button = box.addButton(MsgDlgBtnCaption(b), QMessageBox::ActionRole);
        if (b == mbHelp) // the program has no help topics for dialogs: the button stays inert
            QObject::disconnect(button, &QAbstractButton::clicked, nullptr, nullptr);
        shown.emplace_back(button, b);
        if (b == defButton)
            box.setDefaultButton(button);
    }
    // Escape answers Cancel where there is one.
    for (const auto& [button, b] : shown)
        if (b == mbCancel)
            box.setEscapeButton(button);
    // A one-shot placement is used up by the dialog that is shown.
    const bool useAlign = FUseNextAlign;
    FUseNextAlign = false;
    const TMsgAlign align = FAlign;
    const QRect reference = ReferenceRect();
    box.placement = [=](QSize dialog) {
        return MsgDlgPlacement(align, useAlign, reference, dialog, GetVirtualScreenRect());
    };

    int result = mrCancel; // closing the dialog without a button cancels it
    FPrompting = true;
    try {
        box.exec();
    } catch (...) {
        FPrompting = false;
        DialogDurationTotal += Now() - start;
        throw;
    }
    FPrompting = false;
    for (const auto& [button, b] : shown)
        if (box.clickedButton() == button)
            result = ModalResultOf(b);
    DialogDurationTotal += Now() - start;
    return result;
}

int TMsgBoxWin::Info(const QString& msg) {
    return Dlg(msg, mtInformation, {mbOK}, mbOK);
}

int TMsgBoxWin::ErrInfo(const QString& msg) {
    return Dlg(msg, mtError, {mbOK}, mbOK);
}

int TMsgBoxWin::YesNo(const QString& msg) {
    return Dlg(msg, mtConfirmation, {mbYes, mbNo}, mbYes);
}

int TMsgBoxWin::YesCancel(const QString& msg) {
    return Dlg(msg, mtConfirmation, {mbYes, mbCancel}, mbYes);
}

int TMsgBoxWin::NoYes(const QString& msg) {
    return Dlg(msg, mtConfirmation, {mbYes, mbNo}, mbNo);
}

namespace {
TMsgDlgButtons WithRetry(TMsgDlgButtons btns, bool withRetry) {
    return withRetry ? btns + mbRetry : btns;
}
} // namespace

int TMsgBoxWin::YesNoCancel(const QString& msg, bool withRetry) {
    return Dlg(msg, mtConfirmation, WithRetry({mbYes, mbNo, mbCancel}, withRetry), mbYes);
}

int TMsgBoxWin::NoYesCancel(const QString& msg, bool withRetry) {
    return Dlg(msg, mtConfirmation, WithRetry({mbYes, mbNo, mbCancel}, withRetry), mbNo);
}

int TMsgBoxWin::YesNoAllCancel(const QString& msg, bool withRetry) {
    return Dlg(msg, mtConfirmation, WithRetry({mbYes, mbNo, mbCancel, mbAll}, withRetry), mbNo);
}

int TMsgBoxWin::YesToAllNoCancel(const QString& msg, TMsgDlgBtn defButton, bool withRetry) {
    return Dlg(msg, mtConfirmation, WithRetry({mbYes, mbNo, mbCancel, mbYesToAll}, withRetry),
               defButton);
}

int TMsgBoxWin::IgnoreCancel(const QString& msg) {
    return Dlg(msg, mtConfirmation, {mbCancel, mbIgnore}, mbIgnore);
}

int TMsgBoxWin::OkCancel(const QString& msg) {
    return Dlg(msg, mtInformation, {mbOK, mbCancel}, mbOK);
}

} // namespace qz
