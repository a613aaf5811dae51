// A window timer, off until enabled. Changing Enabled or Interval restarts it; OnTimer runs on the
// user-interface thread. Like any handler, an exception from OnTimer goes to the error box.
//
//   TTimer counter;                      // a member of the form that uses it
//   counter.SetInterval(1000);
//   counter.OnTimer = [this](TTimer&) { ... };
//   counter.SetEnabled(true);
#pragma once

#include <windows.h>

#include <functional>

namespace quennet {

class TTimer {
  public:
    TTimer();
    ~TTimer();
    TTimer(const TTimer&) = delete;
    TTimer& operator=(const TTimer&) = delete;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    UINT Interval() const { return interval_; }
    void SetInterval(UINT milliseconds);

    std::function<void(TTimer& Sender)> OnTimer;

    // Called by the runtime's window for WM_TIMER.
    static void Dispatch(UINT_PTR id);

  private:
    void Restart();

    bool enabled_ = false;
    UINT interval_ = 1000;
    UINT_PTR id_;
    bool running_ = false;
};

} // namespace quennet
