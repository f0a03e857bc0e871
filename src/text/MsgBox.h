#pragma once
// The process-wide message box. Any part of the program tells the user
// something, or asks a question with a fixed set of answers, through
// qz::MsgBox() without knowing whether a window system is there.
//
// TMsgBox is the window-less base: every question goes to its own Info,
// and its Info throws. A subclass that overrides only Info (a console, a
// log, a test) gets fixed default answers for all questions. The windowed
// TMsgBoxWin (ui/comvcl.h) overrides every operation and shows a dialog.
//
//   if (qz::MsgBox()->YesNo(QStringLiteral("Neues Spiel?")) == qz::mrYes) ...

#include "text/DateTime.h"

#include <QString>
#include <QtGlobal>

#include <initializer_list>
#include <memory>

namespace qz {

// Placement of the next dialog relative to the active window.
enum TMsgAlign : quint8 {
    ma_Center,
    ma_leftTop,
    ma_RightTop,
    ma_CenterTop,
    ma_LeftCenter,
    ma_RightCenter,
    ma_LeftBottom,
    ma_RightBottom,
    ma_CenterBottom,
};

enum TMsgDlgType : quint8 { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// The buttons in the order a dialog shows them.
enum TMsgDlgBtn : quint8 {
    mbYes,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp,
    mbClose,
};

// Result codes of the message-box operations: the chosen button, or
// mrNone when no dialog was shown.
enum TModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrClose = 8,
    mrAll = 12,
    mrNoToAll = 13,
    mrYesToAll = 14,
};

// A set of buttons; bit n stands for the n-th TMsgDlgBtn (mbYes is bit 0).
class TMsgDlgButtons {
public:
    constexpr TMsgDlgButtons() = default;
    constexpr TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> btns) {
        for (const TMsgDlgBtn b : btns)
            FBits |= Bit(b);
    }

    [[nodiscard]] constexpr bool contains(TMsgDlgBtn b) const { return (FBits & Bit(b)) != 0; }
    [[nodiscard]] constexpr bool isEmpty() const { return FBits == 0; }
    [[nodiscard]] constexpr quint16 bits() const { return FBits; }

    constexpr TMsgDlgButtons& operator+=(TMsgDlgBtn b) {
        FBits |= Bit(b);
        return *this;
    }
    [[nodiscard]] constexpr TMsgDlgButtons operator+(TMsgDlgBtn b) const {
        TMsgDlgButtons r = *this;
        return r += b;
    }
    [[nodiscard]] friend constexpr bool operator==(TMsgDlgButtons, TMsgDlgButtons) = default;

private:
    static constexpr quint16 Bit(TMsgDlgBtn b) { return quint16(1u << b); }
    quint16 FBits = 0;
};

// The result a button gives when the user chooses it; mbHelp gives none
// (it does not end the dialog) and answers mrNone here.
[[nodiscard]] int ModalResultOf(TMsgDlgBtn b);

class TMsgBox {
public:
    TMsgBox() = default;
    TMsgBox(const TMsgBox&) = delete;
    TMsgBox& operator=(const TMsgBox&) = delete;
    virtual ~TMsgBox() = default;

    // The base passes each question to Info and then gives the fixed answer
    // a user would most likely have chosen; Info itself throws EQZError
    // with the text, "\r" and "MsgBox not assigned".
    virtual int Dlg(const QString& msg, TMsgDlgType dlgType, TMsgDlgButtons btns,
                    TMsgDlgBtn defButton);
    virtual int Info(const QString& msg);
    virtual int ErrInfo(const QString& msg);
    virtual int YesNo(const QString& msg);
    virtual int YesCancel(const QString& msg);
    virtual int NoYes(const QString& msg);
    virtual int YesNoCancel(const QString& msg, bool withRetry);
    virtual int NoYesCancel(const QString& msg, bool withRetry);
    virtual int YesNoAllCancel(const QString& msg, bool withRetry);
    virtual int YesToAllNoCancel(const QString& msg, TMsgDlgBtn defButton, bool withRetry);
    virtual int IgnoreCancel(const QString& msg);
    virtual int OkCancel(const QString& msg);

    // Shows nothing and answers mrNone, whatever the subclass.
    int TestInfo(const QString& msg);

    [[nodiscard]] TMsgAlign Align() const { return FAlign; }
    // Arms a one-shot placement for the next dialog that is actually shown.
    void setAlign(TMsgAlign align) {
        FAlign = align;
        FUseNextAlign = true;
    }
    // True exactly while a dialog waits for the user.
    [[nodiscard]] bool Prompting() const { return FPrompting; }

    // Sum of the durations of all dialogs shown so far, in days.
    TDateTime DialogDurationTotal = 0.0;

protected:
    bool FUseNextAlign = false;
    TMsgAlign FAlign = ma_Center;
    bool FPrompting = false;
};

// The process-wide message box: a plain TMsgBox until the windowed one is
// installed at start-up. Never null.
[[nodiscard]] TMsgBox* MsgBox();

// Installs `box` and destroys the previous object; a null `box` puts a
// plain TMsgBox back, so that MsgBox() stays usable.
void SetMsgBox(std::unique_ptr<TMsgBox> box);

} // namespace qz
