// The look-in list `pathlist`: "Local Hard Drives (C:;...)", one entry per drive with its
// picture, "Browse...", and the folders chosen in the picker or given on the command line.
#pragma once

#include "runtime/ComboBoxEx.h"
#include "runtime/Resources.h"

#include <string>
#include <vector>

namespace quennet {

class LookInList {
  public:
    // Pictures of `imaglist`.
    enum Image { imgHardDisk, imgCdRom, imgFloppy, imgRamDisk, imgNetwork, imgHandHeld, imgFolder };

    explicit LookInList(TComboBoxEx& pathlist);

    // Fills the list with the machine's drives and selects entry 0.
    void Fill();
    // Selects the entry of the folder `path` names (case and a trailing separator ignored),
    // or adds a folder entry at the end and selects it.
    void SelectOrAddFolder(const std::string& path);
    // Adds folder entries at the end for those not in the list yet; the selection stays.
    void AddFolders(const std::vector<std::string>& paths);

    int BrowseIndex() const { return browseIndex_; }
    bool BrowseSelected() const;
    bool LocalDrivesSelected() const;
    // The captions of the fixed drives, in list order.
    std::vector<std::string> LocalDriveRoots() const;
    // What the search walks when one folder is chosen: the text the box shows.
    std::string Text() const { return pathlist_.EditText(); }
    const std::string& LocalDrivesText() const { return localDrives_; }

  private:
    int IndexOf(const std::string& path) const; // -1 when absent
    int Add(const std::string& caption, int image, bool localDrive);

    TComboBoxEx& pathlist_;
    TImageList imaglist;
    std::vector<bool> localDrive_; // per entry
    std::string localDrives_;      // "C:;D:;"
    int browseIndex_ = -1;
};

} // namespace quennet
