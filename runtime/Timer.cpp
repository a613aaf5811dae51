#include "runtime/Timer.h"

#include "runtime/Application.h"

#include <map>

namespace quennet {

namespace {

std::map<UINT_PTR, TTimer*>& LiveTimers() {
    static std::map<UINT_PTR, TTimer*> timers;
    return timers;
}

UINT_PTR NextTimerId() {
    static UINT_PTR next = 0;
    return ++next;
}

} // namespace

TTimer::TTimer() : id_(NextTimerId()) {
    Application(); // the timers' window belongs to the user-interface thread
    LiveTimers()[id_] = this;
}

TTimer::~TTimer() {
    if (running_)
        KillTimer(Application().UtilityWindow(), id_);
    LiveTimers().erase(id_);
}

void TTimer::SetEnabled(bool value) {
    if (value == enabled_)
        return;
    enabled_ = value;
    Restart();
}

void TTimer::SetInterval(UINT milliseconds) {
    if (milliseconds == interval_)
        return;
    interval_ = milliseconds;
    Restart();
}

void TTimer::Restart() {
    HWND window = Application().UtilityWindow();
    if (running_) {
        KillTimer(window, id_);
        running_ = false;
    }
    if (enabled_ && interval_ > 0)
        running_ = SetTimer(window, id_, interval_, nullptr) != 0;
}

void TTimer::Dispatch(UINT_PTR id) {
    auto it = LiveTimers().find(id);
    if (it == LiveTimers().end())
        return;
    TTimer& timer = *it->second;
    if (timer.enabled_ && timer.OnTimer)
        timer.OnTimer(timer);
}

} // namespace quennet
