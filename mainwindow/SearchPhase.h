// The Search button's states, and what each asks of the window: the caption, whether the
// button can be pressed, and whether the criteria that shape a search are locked. The window
// applies them; the rules live here, apart from any window.
//
//   Idle     "Search"       enabled   criteria usable      a press starts a search
//   Running  "Stop"         enabled   criteria locked      a press asks the search to stop
//   Stopping "Stopping..."  disabled  criteria locked      a press (Enter in a field) does nothing
#pragma once

namespace quennet {

class SearchPhase {
  public:
    enum class State { Idle, Running, Stopping };
    enum class Press { Start, Stop, Ignore };

    State Now() const { return state_; }
    bool Searching() const { return state_ != State::Idle; }

    // What a press of the button, or Enter in a criterion, asks for now.
    Press Pressed() const;

    // A search has started (its checks passed): Idle to Running.
    void Started();
    // A stop was asked for: Running to Stopping.
    void StopAsked();
    // The search ended, however: any state to Idle.
    void Ended();

    const char* Caption() const;
    bool ButtonEnabled() const { return state_ != State::Stopping; }
    // maxbuf, selfadj, typeText, typeHEX, fname, ss, pathlist and the filters.
    bool CriteriaEnabled() const { return state_ == State::Idle; }
    // "Case sensitive" means nothing for a HEX phrase, which is matched byte for byte.
    bool CaseSensitiveEnabled(bool hexNotation) const { return CriteriaEnabled() && !hexNotation; }
    // Buffer auto-adjustment must not change the buffer under a running search.
    bool AutoAdjustEnabled() const { return state_ == State::Idle; }

  private:
    State state_ = State::Idle;
};

} // namespace quennet
