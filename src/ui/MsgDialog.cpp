#include "ui/MsgDialog.h"

#include "ui/ScreenFit.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QHideEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>

#include <optional>

namespace qz {

namespace {

constexpr TMsgDlgBtn AllButtons[] = {mbYes,    mbNo,  mbOK,      mbCancel,   mbAbort, mbRetry,
                                     mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp,  mbClose};

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

// The buttons that answer (Help only asks for help), in the dialog's order.
std::vector<TMsgDlgBtn> AnswersOf(TMsgDlgButtons btns) {
    std::vector<TMsgDlgBtn> answers;
    for (const TMsgDlgBtn b : AllButtons)
        if (b != mbHelp && btns.contains(b))
            answers.push_back(b);
    return answers;
}

// What Escape and the window's close button answer: Cancel, else No, else
// OK, else the dialog's only answer. A dialog with none of these has to be
// answered with one of its buttons; Escape and the close button then do
// nothing.
std::optional<TMsgDlgBtn> EscapeAnswerOf(TMsgDlgButtons btns) {
    for (const TMsgDlgBtn b : {mbCancel, mbNo, mbOK})
        if (btns.contains(b))
            return b;
    const std::vector<TMsgDlgBtn> answers = AnswersOf(btns);
    if (answers.size() == 1)
        return answers.front();
    return std::nullopt;
}

} // namespace

// A message box that takes its place once it knows its final size, which
// QMessageBox settles only while it is being shown, and that ends the
// modal loop of Execute when it goes away.
class TMsgDialog::Box : public QMessageBox {
public:
    using QMessageBox::QMessageBox;
    std::function<QRect(QSize)> FPlacement;
    QEventLoop* FLoop = nullptr;

protected:
    void showEvent(QShowEvent* e) override {
        QMessageBox::showEvent(e);
        if (!FPlacement)
            return;
        const QSize inner = size();
        const QSize margins = frameGeometry().size() - inner;
        const QRect outer = FPlacement(inner + margins);
        move(outer.topLeft());
        // QMessageBox fixes its own size; a dialog cut to the screen needs
        // the cut size fixed instead.
        if (outer.size() != inner + margins)
            setFixedSize(outer.size() - margins);
    }

    void hideEvent(QHideEvent* e) override {
        QMessageBox::hideEvent(e);
        if (FLoop)
            FLoop->quit();
    }
};

TMsgDialog::TMsgDialog(QWidget* parent, TMsgDlgType dlgType, const QString& caption,
                       const QString& text, TMsgDlgButtons btns, TMsgDlgBtn defButton)
    : FBox(std::make_unique<Box>(IconOf(dlgType), caption, text, QMessageBox::NoButton, parent)) {
    FBox->setTextFormat(Qt::PlainText); // an "&" in a message is shown as it is
    // A dialog must offer an answer; Help alone is none.
    if (AnswersOf(btns).empty())
        btns += mbOK;
    if (!btns.contains(defButton)) {
        for (const TMsgDlgBtn b : AllButtons)
            if (btns.contains(b)) {
                defButton = b;
                break;
            }
    }
    // A dialog that ends without a click (the program is asked to quit)
    // answers as Escape would; where Escape does nothing, as Enter would.
    const std::optional<TMsgDlgBtn> escapeAnswer = EscapeAnswerOf(btns);
    FEndAnswer = escapeAnswer          ? *escapeAnswer
                 : defButton != mbHelp ? defButton
                                       : AnswersOf(btns).front();
    for (const TMsgDlgBtn b : AllButtons) {
        if (!btns.contains(b))
            continue;
        // One role for all keeps the buttons in the program's order.
        QPushButton* button = FBox->addButton(MsgDlgBtnCaption(b), QMessageBox::ActionRole);
        // Help does not end the dialog. The program has no help viewer, so
        // the dialog simply stays open for one of the answers.
        if (b == mbHelp)
            QObject::disconnect(button, &QAbstractButton::clicked, nullptr, nullptr);
        FButtons.emplace_back(button, b);
        if (b == defButton)
            FBox->setDefaultButton(button);
        if (b == escapeAnswer)
            FBox->setEscapeButton(button);
    }
}

TMsgDialog::~TMsgDialog() = default;

void TMsgDialog::SetPlacement(std::function<QRect(QSize)> placement) {
    FBox->FPlacement = std::move(placement);
}

int TMsgDialog::Execute() {
    // A loop of our own rather than QDialog::exec, which cannot be left by
    // an exception: it would keep a pointer to its finished loop and crash
    // when the dialog is destroyed.
    QEventLoop loop;
    struct LoopLink {
        Box& box;
        ~LoopLink() { box.FLoop = nullptr; }
    } link{*FBox};
    FBox->FLoop = &loop;
    FBox->setWindowModality(Qt::ApplicationModal);
    FBox->show();
    if (FBox->isVisible())
        loop.exec(QEventLoop::DialogExec);

    for (const auto& [button, b] : FButtons)
        if (FBox->clickedButton() == button && b != mbHelp)
            return ModalResultOf(b);
    return ModalResultOf(FEndAnswer);
}

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
        return QCoreApplication::translate("qz::MsgDialog", "&Ja");
    case mbNo:
        return QCoreApplication::translate("qz::MsgDialog", "&Nein");
    case mbOK:
        return QStringLiteral("OK");
    case mbCancel:
        return QCoreApplication::translate("qz::MsgDialog", "Abbrechen");
    case mbAbort:
        return QCoreApplication::translate("qz::MsgDialog", "&Abbrechen");
    case mbRetry:
        return QCoreApplication::translate("qz::MsgDialog", "&Wiederholen");
    case mbIgnore:
        return QCoreApplication::translate("qz::MsgDialog", "&Ignorieren");
    case mbAll:
        return QCoreApplication::translate("qz::MsgDialog", "&Alle");
    case mbNoToAll:
        return QCoreApplication::translate("qz::MsgDialog", "&Alle Nein");
    case mbYesToAll:
        return QCoreApplication::translate("qz::MsgDialog", "A&lle Ja");
    case mbHelp:
        return QCoreApplication::translate("qz::MsgDialog", "&Hilfe");
    case mbClose:
        return QCoreApplication::translate("qz::MsgDialog", "S&chließen");
    }
    return {};
}

} // namespace qz
