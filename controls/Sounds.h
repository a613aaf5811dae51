// The controls' sounds and beeps, through one replaceable player, so that tests can observe
// what would be heard (and when) without a sound device.
#pragma once

#include <functional>

namespace quennet {

enum class ControlSound {
    Click, // the check box's "KLIK", synchronous
    Hover, // a gradient button's "WAVE" number, asynchronous
    Beep,  // MessageBeep(0)
};

using SoundPlayer = std::function<void(ControlSound sound, int waveNumber)>;

// Plays (or hands to the installed player) one sound.
void PlayControlSound(ControlSound sound, int waveNumber = 0);

// Installs a player in place of the real one; an empty function restores the real one.
// Returns the previous player.
SoundPlayer SetControlSoundPlayer(SoundPlayer player);

} // namespace quennet
