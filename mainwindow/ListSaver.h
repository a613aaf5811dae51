// "Save list as...": asks for a file with the standard save dialog, takes the rows as they
// are at that moment and writes them on a thread of their own, so the window goes on (a
// search may keep adding rows meanwhile; the file holds the rows as they were when chosen).
// A save that fails is told in an error box once it has ended.
#pragma once

#include "mainwindow/ListSnapshot.h"
#include "runtime/Timer.h"

#include <windows.h>

#include <functional>
#include <future>
#include <string>
#include <vector>

namespace quennet {

class ListSaver {
  public:
    ListSaver();
    ~ListSaver(); // waits for the saves still running

    // Shows the save dialog owned by `owner`; once a file is chosen, `takeRows` gives the rows
    // to write there.
    void SaveAs(HWND owner, const std::function<ListSnapshot()>& takeRows);
    // Starts writing `rows` to `path` in the form its name asks for.
    void Start(const std::string& path, ListSnapshot rows);
    bool Busy() const { return !jobs_.empty(); }
    // Waits for every save still running and tells their failures (the window is closing).
    void Finish();

  private:
    struct Job {
        std::string Path;
        std::future<std::string> Failure; // empty text once the file is complete
    };
    void doneTimer(); // tells the saves that have ended
    void Tell(Job& job);

    std::vector<Job> jobs_;
    TTimer done_;
};

// The standard save dialog for the list: a tab-separated .txt or a .csv for spreadsheets.
// False when the user cancelled.
bool ChooseListFile(HWND owner, std::string& path);

} // namespace quennet
