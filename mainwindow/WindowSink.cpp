#include "mainwindow/WindowSink.h"

#include <algorithm>

namespace quennet {

WindowSink::WindowSink(std::function<void()> wake, std::size_t rowsPerWakeUp)
    : wake_(std::move(wake)), rowsPerWakeUp_(std::clamp<std::size_t>(rowsPerWakeUp, 1, kMaxRowsInFlight)) {}

void WindowSink::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    rows_.clear();
    wakePending_ = false;
    finished_ = false;
    finishTaken_ = false;
    fault_.reset();
    faultOutOfMemory_ = false;
    notRead_.Clear();
    filteredOut_ = 0;
}

void WindowSink::Wake(std::unique_lock<std::mutex>& lock) {
    if (wakePending_)
        return; // the pending wake-up takes the new rows too
    wakePending_ = true;
    lock.unlock();
    try {
        wake_();
    } catch (...) {
        // No memory to post it: the next batch, or the window's timer, takes the rows.
        lock.lock();
        wakePending_ = false;
    }
}

void WindowSink::Row(const ResultRow& row) {
    std::unique_lock<std::mutex> lock(mutex_);
    room_.wait(lock, [this] { return rows_.size() < kMaxRowsInFlight; });
    rows_.push_back(row);
    if (rows_.size() >= rowsPerWakeUp_)
        Wake(lock);
}

void WindowSink::Error(const SearchError& error) {
    std::lock_guard<std::mutex> lock(mutex_);
    try {
        if (!error.BreaksOff())
            notRead_.Add(error);
        else if (!fault_ && !faultOutOfMemory_) {
            fault_ = error;
        }
    } catch (const std::bad_alloc&) {
        if (error.BreaksOff())
            faultOutOfMemory_ = true;
    }
}

void WindowSink::FilteredOut(std::uint64_t files) {
    std::lock_guard<std::mutex> lock(mutex_);
    filteredOut_ = files;
}

void WindowSink::Finish() {
    std::unique_lock<std::mutex> lock(mutex_);
    finished_ = true;
    Wake(lock); // a wake-up still pending for rows takes the end with them
}

WindowSink::Taken WindowSink::Take() {
    Taken taken;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        taken.Rows.swap(rows_);
        wakePending_ = false;
        if (finished_ && !finishTaken_) {
            finishTaken_ = true;
            taken.Finished = true;
            if (faultOutOfMemory_)
                taken.Fault = SearchError{SearchError::Kind::OutOfMemory, "Out of memory.", {}};
            else
                taken.Fault = std::move(fault_);
        }
    }
    room_.notify_all();
    return taken;
}

std::size_t WindowSink::NotReadCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return notRead_.Count();
}

SearchError WindowSink::FirstNotRead() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return notRead_.First();
}

std::string WindowSink::NotReadText() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return notRead_.Text();
}

std::uint64_t WindowSink::FilteredOutCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return filteredOut_;
}

} // namespace quennet
