#include "controls/Sounds.h"

#include <windows.h>

#include "runtime/Resources.h"

#include <utility>

namespace quennet {
namespace {

SoundPlayer& InstalledPlayer() {
    static SoundPlayer player;
    return player;
}

void PlayForReal(ControlSound sound, int waveNumber) {
    // Results deliberately untested: a machine without sound just stays silent.
    switch (sound) {
    case ControlSound::Click:
        PlayWaveResource("klik", "WAV", false);
        break;
    case ControlSound::Hover:
        PlayWaveResourceAsync(waveNumber);
        break;
    case ControlSound::Beep:
        MessageBeep(0);
        break;
    }
}

} // namespace

void PlayControlSound(ControlSound sound, int waveNumber) {
    if (InstalledPlayer())
        InstalledPlayer()(sound, waveNumber);
    else
        PlayForReal(sound, waveNumber);
}

SoundPlayer SetControlSoundPlayer(SoundPlayer player) {
    return std::exchange(InstalledPlayer(), std::move(player));
}

} // namespace quennet
