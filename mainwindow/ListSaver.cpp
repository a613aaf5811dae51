#include "mainwindow/ListSaver.h"

#include "mainwindow/FileActions.h"
#include "mainwindow/ListFile.h"
#include "runtime/MessageBoxes.h"
#include "base/WidePath.h"

#include <commdlg.h>

#include <chrono>

namespace quennet {

bool ChooseListFile(HWND owner, std::string& path) {
    // Long enough for the longest path the system's wide calls take.
    std::wstring file(32768, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter =
        L"Tab-separated text (*.txt)\0*.txt\0CSV for spreadsheets (*.csv)\0*.csv\0All files (*.*)\0*.*\0";
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = &file[0];
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = L"Save list as";
    // Without an extension typed, the chosen filter's is added.
    dialog.lpstrDefExt = L"txt";
    dialog.Flags =
        OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!GetSaveFileNameW(&dialog))
        return false;
    file.resize(file.find(L'\0'));
    path = WideToUtf8(file);
    return true;
}

ListSaver::ListSaver() {
    done_.SetInterval(50);
    done_.OnTimer = [this](TTimer&) { doneTimer(); };
}

ListSaver::~ListSaver() {
    for (Job& job : jobs_)
        job.Failure.wait();
}

void ListSaver::SaveAs(HWND owner, const std::function<ListSnapshot()>& takeRows) {
    std::string path;
    if (ChooseListFile(owner, path))
        Start(path, takeRows());
}

void ListSaver::Start(const std::string& path, ListSnapshot rows) {
    const ListFormat format = ListFormatForFileName(path);
    Job job;
    job.Path = path;
    job.Failure = std::async(std::launch::async, [path, format, rows = std::move(rows)] {
        return SaveListFile(path, rows, format);
    });
    jobs_.push_back(std::move(job));
    done_.SetEnabled(true);
}

void ListSaver::Tell(Job& job) {
    const std::string failure = job.Failure.get();
    if (!failure.empty())
        ShowErrorBox("The list could not be saved to " + job.Path + ":\r\n" + failure +
                     ".\r\nNothing was written under that name.");
}

void ListSaver::doneTimer() {
    // Taken out first: the error box runs a message loop in which this timer fires again.
    std::vector<Job> ended;
    for (auto job = jobs_.begin(); job != jobs_.end();) {
        if (job->Failure.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
            ended.push_back(std::move(*job));
            job = jobs_.erase(job);
        } else {
            ++job;
        }
    }
    if (jobs_.empty())
        done_.SetEnabled(false);
    for (Job& job : ended)
        Tell(job);
}

void ListSaver::Finish() {
    done_.SetEnabled(false);
    std::vector<Job> ended = std::move(jobs_);
    jobs_.clear();
    for (Job& job : ended)
        Tell(job);
}

} // namespace quennet
