#pragma once
// What a screen reader hears of the game's pictures. The sound switch and
// the preview are images that a click switches; the well is a drawing.
// Here each gets a name, a role and a state the accessibility tree can tell
// (QAccessible), and the switches an action that a screen reader can
// trigger. The texts come from the window, which knows the game.
//
//   DescribeSwitch(FUi->ImageSound, "Ton", "Klänge an oder aus (Alt+T)",
//                  [this] { return FWithSound; }, [this] { ImageSoundClick(); });
//   NotifySwitched(FUi->ImageSound); // after the state changed

#include <QString>

#include <functional>

class QWidget;

namespace stakko {

// A picture that works as a checkable button: `checked` tells its state,
// `toggle` switches it (what a click does).
void DescribeSwitch(QWidget* widget, const QString& name, const QString& description,
                    std::function<bool()> checked, std::function<void()> toggle);

// A drawing whose content `describe` puts into words, asked for whenever a
// screen reader reads it.
void DescribeDrawing(QWidget* widget, const QString& name, std::function<QString()> describe);

// Tells a screen reader that the switch `widget` changed its state.
void NotifySwitched(QWidget* widget);
// Tells a screen reader that what the drawing `widget` shows changed.
void NotifyDrawingChanged(QWidget* widget);

} // namespace stakko
