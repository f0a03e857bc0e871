#include "text/MsgBox.h"

#include "text/EQZError.h"

namespace qz {

int ModalResultOf(TMsgDlgBtn b) {
    switch (b) {
    case mbYes:
        return mrYes;
    case mbNo:
        return mrNo;
    case mbOK:
        return mrOk;
    case mbCancel:
        return mrCancel;
    case mbAbort:
        return mrAbort;
    case mbRetry:
        return mrRetry;
    case mbIgnore:
        return mrIgnore;
    case mbAll:
        return mrAll;
    case mbNoToAll:
        return mrNoToAll;
    case mbYesToAll:
        return mrYesToAll;
    case mbHelp:
        return mrNone;
    case mbClose:
        return mrClose;
    }
    return mrNone;
}

int TMsgBox::Dlg(const QString& msg, TMsgDlgType, TMsgDlgButtons, TMsgDlgBtn) {
    return Info(msg);
}

int TMsgBox::Info(const QString& msg) {
    throw EQZError(msg + QLatin1Char('\r') + QStringLiteral("MsgBox not assigned"));
}

int TMsgBox::ErrInfo(const QString& msg) {
    return Info(msg);
}

int TMsgBox::YesNo(const QString& msg) {
    Info(msg);
    return mrYes;
}

int TMsgBox::YesCancel(const QString& msg) {
    Info(msg);
    return mrYes;
}

int TMsgBox::NoYes(const QString& msg) {
    Info(msg);
    return mrNo;
}

int TMsgBox::YesNoCancel(const QString& msg, bool) {
    Info(msg);
    return mrYes;
}

int TMsgBox::NoYesCancel(const QString& msg, bool) {
    Info(msg);
    return mrNo;
}

int TMsgBox::YesNoAllCancel(const QString& msg, bool) {
    Info(msg);
    return mrYes;
}

int TMsgBox::YesToAllNoCancel(const QString& msg, TMsgDlgBtn, bool) {
    Info(msg);
    return mrYes;
}

int TMsgBox::IgnoreCancel(const QString& msg) {
    return Info(msg);
}

int TMsgBox::OkCancel(const QString& msg) {
    Info(msg);
    return mrCancel;
}

int TMsgBox::TestInfo(const QString&) {
    return mrNone;
}

namespace {

std::unique_ptr<TMsgBox>& Slot() {
    static std::unique_ptr<TMsgBox> instance = std::make_unique<TMsgBox>();
    return instance;
}

} // namespace

TMsgBox* MsgBox() {
    return Slot().get();
}

void SetMsgBox(std::unique_ptr<TMsgBox> box) {
    Slot() = box ? std::move(box) : std::make_unique<TMsgBox>();
}

} // namespace qz
