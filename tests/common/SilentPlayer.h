#pragma once
// A sound player that plays nothing, for tests of windows that make sounds
// but whose sounds are not what the test is about.

#include "ui/SoundPlayer.h"

#include <QString>

class SilentPlayer : public qz::SoundPlayer {
public:
    void Play(const QString&) override {}
    void PlayToEnd(const QString&) override {}
};
