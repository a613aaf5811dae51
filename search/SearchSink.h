// What a search hands out, and the one way it hands it out: the front end (the window, the
// command line, a test) gives the searcher a SearchSink and the searcher pushes into it. The
// searcher never calls back for anything; the request is complete before it starts.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <thread>

namespace quennet {

// The line that holds a file's first match, as a results list shows it: UTF-8 text, and where
// the matched part stands in it (bytes of Text).
struct MatchLine {
    std::string Text;
    std::int32_t Start = 0;
    std::int32_t Length = 0;
};

struct ResultRow {
    std::string Name;
    std::string Folder; // with its trailing separator
    std::int64_t Size = 0;
    std::int64_t MatchOffset = 0; // first match; 0 without a content criterion
    std::int32_t MatchLength = 0; // bytes matched there: twice the phrase in a UTF-16 file
    MatchLine Line = {};          // empty without a content criterion
};

struct SearchError {
    enum class Kind {
        // A file or folder the search could not read for a reason other than "it is not
        // there" or "this user may not read it" (a path too long, no descriptor or memory
        // left, an I/O error). It is reported, never taken for "no match" or "an empty
        // folder" in silence; the search goes on.
        NotRead,
        // The faults that break a search off. The kind lets a front end react without
        // reading the text: the command line gives a bad pattern the status of bad input.
        InvalidMask,
        OutOfMemory,
        Other,
    };
    Kind Fault = Kind::Other;
    std::string Message; // for NotRead: the reason
    std::string Path;    // NotRead only: what was not read

    bool BreaksOff() const { return Fault != Kind::NotRead; }
};

// The window's note at the end of a search that left `count` files or folders out, `first`
// the first of them; empty when nothing was left out.
std::string UnreadSummary(std::size_t count, const SearchError& first);

// Starts a thread running `body`; throws std::system_error when the system has none to give.
// Tests pass their own to see a pool with fewer threads than asked for.
using ThreadStarter = std::function<std::thread(std::function<void()>)>;

class SearchSink {
  public:
    virtual ~SearchSink() = default;

    // The searcher's first call, from its own thread, before any folder is walked.
    virtual void Begin() {}
    // An accepted file, in walk order. Calls never overlap, but may come from any thread of
    // the search. A sink may make the caller wait (to bound the rows in flight).
    virtual void Row(const ResultRow& row) = 0;
    // A file or folder left out (the search goes on), or the fault that broke the search off
    // (at most one, just before Finish). Calls may come from several threads at once.
    virtual void Error(const SearchError& error) = 0;
    // Just before Finish, when the filters (masks and dates) left files out: how many, so
    // that a search they emptied can say why.
    virtual void FilteredOut(std::uint64_t /*files*/) {}
    // The last call, from the searcher's own thread, however the search ended.
    virtual void Finish() = 0;
};

} // namespace quennet
