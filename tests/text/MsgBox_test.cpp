#include "text/MsgBox.h"

#include "common/TestHelpers.h"
#include "text/EQZError.h"

#include <functional>
#include <vector>

using namespace qz;

namespace {

// One call of each overridable operation, so tables can run them all.
struct Operation : NamedRow {
    std::function<int(TMsgBox&, const QString&)> call;
    int answerAfterInfo; // what the base answers once Info returned; -1: Info's own result
};

const std::vector<Operation>& Operations() {
    static const std::vector<Operation> ops = {
        {"Dlg", [](TMsgBox& b, const QString& m) { return b.Dlg(m, mtWarning, {mbOK}, mbOK); }, -1},
        {"Info", [](TMsgBox& b, const QString& m) { return b.Info(m); }, -1},
        {"ErrInfo", [](TMsgBox& b, const QString& m) { return b.ErrInfo(m); }, -1},
        {"YesNo", [](TMsgBox& b, const QString& m) { return b.YesNo(m); }, 6},
        {"YesCancel", [](TMsgBox& b, const QString& m) { return b.YesCancel(m); }, 6},
        {"NoYes", [](TMsgBox& b, const QString& m) { return b.NoYes(m); }, 7},
        {"YesNoCancel", [](TMsgBox& b, const QString& m) { return b.YesNoCancel(m, true); }, 6},
        {"NoYesCancel", [](TMsgBox& b, const QString& m) { return b.NoYesCancel(m, false); }, 7},
        {"YesNoAllCancel", [](TMsgBox& b, const QString& m) { return b.YesNoAllCancel(m, true); },
         6},
        {"YesToAllNoCancel",
         [](TMsgBox& b, const QString& m) { return b.YesToAllNoCancel(m, mbNo, false); }, 6},
        {"IgnoreCancel", [](TMsgBox& b, const QString& m) { return b.IgnoreCancel(m); }, -1},
        {"OkCancel", [](TMsgBox& b, const QString& m) { return b.OkCancel(m); }, 2},
    };
    return ops;
}

// A console-like box: Info returns normally and remembers what it was told.
class RecordingMsgBox : public TMsgBox {
public:
    QStringList told;
    int Info(const QString& msg) override {
        told << msg;
        return 42;
    }
};

TEST(MsgBoxBase, EveryQuestionEndsInTheMissingBoxError) {
    TMsgBox box;
    const QString msg = QStringLiteral("Datei fehlt:\rä.ini");
    for (const Operation& op : Operations()) {
        SCOPED_TRACE(op.name);
        EXPECT_THROW_MSG(op.call(box, msg), EQZError,
                         QStringLiteral("Datei fehlt:\rä.ini\rMsgBox not assigned"));
    }
    EXPECT_EQ(box.TestInfo(msg), 0);
}

TEST(MsgBoxBase, SubclassInfoGetsEveryTextAndTheFixedAnswers) {
    for (const Operation& op : Operations()) {
        SCOPED_TRACE(op.name);
        RecordingMsgBox box;
        const int answer = op.call(box, QStringLiteral("Frage"));
        EXPECT_EQ(answer, op.answerAfterInfo < 0 ? 42 : op.answerAfterInfo);
        EXPECT_EQ(box.told, QStringList{QStringLiteral("Frage")});
    }
    RecordingMsgBox box;
    EXPECT_EQ(box.TestInfo(QStringLiteral("x")), 0);
    EXPECT_TRUE(box.told.isEmpty());
}

TEST(MsgBoxBase, AlignArmsAndButtonSetsUseTheButtonOrder) {
    TMsgBox box;
    EXPECT_EQ(box.Align(), ma_Center);
    EXPECT_FALSE(box.Prompting());
    EXPECT_EQ(box.DialogDurationTotal, 0.0);
    box.setAlign(ma_RightBottom);
    EXPECT_EQ(box.Align(), ma_RightBottom);

    EXPECT_EQ(TMsgDlgButtons({mbYes}).bits(), 0x001);
    EXPECT_EQ(TMsgDlgButtons({mbYes, mbNo, mbCancel}).bits(), 0x00B);
    EXPECT_EQ(TMsgDlgButtons({mbClose}).bits(), 0x800);
    EXPECT_EQ(TMsgDlgButtons({mbOK}) + mbCancel, TMsgDlgButtons({mbCancel, mbOK}));
    EXPECT_TRUE(TMsgDlgButtons().isEmpty());
}

TEST(MsgBoxGlobal, StartsWindowLessAndNeverBecomesNull) {
    SetMsgBox(nullptr);
    ASSERT_NE(MsgBox(), nullptr);
    EXPECT_THROW_MSG(MsgBox()->Info(QStringLiteral("a")), EQZError,
                     QStringLiteral("a\rMsgBox not assigned"));

    auto recording = std::make_unique<RecordingMsgBox>();
    RecordingMsgBox* raw = recording.get();
    SetMsgBox(std::move(recording));
    EXPECT_EQ(MsgBox(), raw);
    EXPECT_EQ(MsgBox()->NoYes(QStringLiteral("b")), 7);

    SetMsgBox(nullptr);
    ASSERT_NE(MsgBox(), nullptr);
    EXPECT_THROW_MSG(MsgBox()->Info(QStringLiteral("c")), EQZError,
                     QStringLiteral("c\rMsgBox not assigned"));
}

} // namespace
