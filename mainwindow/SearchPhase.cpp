#include "mainwindow/SearchPhase.h"

namespace quennet {

SearchPhase::Press SearchPhase::Pressed() const {
    switch (state_) {
    case State::Idle:
        return Press::Start;
    case State::Running:
        return Press::Stop;
    default:
        return Press::Ignore;
    }
}

void SearchPhase::Started() {
    if (state_ == State::Idle)
        state_ = State::Running;
}

void SearchPhase::StopAsked() {
    if (state_ == State::Running)
        state_ = State::Stopping;
}

void SearchPhase::Ended() {
    state_ = State::Idle;
}

const char* SearchPhase::Caption() const {
    switch (state_) {
    case State::Running:
        return "Stop";
    case State::Stopping:
        return "Stopping...";
    default:
        return "Search";
    }
}

} // namespace quennet
