#include "mainwindow/LookInList.h"

#include "base/WidePath.h"
#include "resources/resource.h"

namespace quennet {

LookInList::LookInList(TComboBoxEx& pathlist) : pathlist_(pathlist), imaglist(16, 16) {
    GdiBitmap strip = LoadBitmapResource("LOOKIN");
    imaglist.AddMasked(strip.get(), QUENNET_TRANSPARENT_RGB);
    pathlist_.SetImages(imaglist.Handle());
}

int LookInList::Add(const std::string& caption, int image, bool localDrive) {
    localDrive_.push_back(localDrive);
    return pathlist_.AddItem(caption, image);
}

namespace {

// The picture of a drive entry by its type; fixed drives are the local hard drives.
int DriveImage(UINT type) {
    switch (type) {
    case DRIVE_REMOVABLE:
        return LookInList::imgFloppy;
    case DRIVE_FIXED:
        return LookInList::imgHardDisk;
    case DRIVE_REMOTE:
        return LookInList::imgNetwork;
    case DRIVE_CDROM:
        return LookInList::imgCdRom;
    case DRIVE_RAMDISK:
        return LookInList::imgRamDisk;
    default:
        return -1;
    }
}

} // namespace

void LookInList::Fill() {
    char drives[500] = "";
    const DWORD length = GetLogicalDriveStringsA(sizeof drives, drives);
    struct Drive {
        std::string root;
        UINT type;
    };
    std::vector<Drive> found;
    for (DWORD at = 0; at < length && at < sizeof drives; at += 4) {
        Drive drive{std::string(drives + at, strnlen(drives + at, 3)), 0};
        drive.type = GetDriveTypeA(drive.root.c_str());
        if (drive.type == DRIVE_FIXED)
            localDrives_ += drive.root.substr(0, 2) + ";";
        found.push_back(drive);
    }
    // Entry 0 names the drives it stands for, so they are looked at before it is added.
    Add("Local Hard Drives (" + localDrives_ + ")", imgHardDisk, false);
    for (const Drive& drive : found)
        Add(drive.root, DriveImage(drive.type), drive.type == DRIVE_FIXED);
    browseIndex_ = Add("Browse...", -1, false);
    pathlist_.SetItemIndex(0);
}

namespace {

// A separator at the end says nothing about the folder, except on a drive's root ("C:" alone
// is the drive's current folder).
std::wstring WithoutTrailingSeparators(std::wstring path) {
    while (path.size() > 1 && (path.back() == L'\\' || path.back() == L'/') &&
           !(path.size() == 3 && path[1] == L':'))
        path.pop_back();
    return path;
}

// One folder: its names compared as the file system compares them (case folded by the
// system's table, not by a language's rules).
bool SameFolder(const std::string& a, const std::string& b) {
    const std::wstring left = WithoutTrailingSeparators(Utf8ToWide(a));
    const std::wstring right = WithoutTrailingSeparators(Utf8ToWide(b));
    return CompareStringOrdinal(left.c_str(), static_cast<int>(left.size()), right.c_str(),
                                static_cast<int>(right.size()), TRUE) == CSTR_EQUAL;
}

} // namespace

int LookInList::IndexOf(const std::string& path) const {
    const int count = pathlist_.ItemCount();
    for (int i = 0; i < count; ++i)
        if (SameFolder(pathlist_.ItemCaption(i), path))
            return i;
    return -1;
}

void LookInList::SelectOrAddFolder(const std::string& path) {
    const int index = IndexOf(path);
    pathlist_.SetItemIndex(index >= 0 ? index : Add(path, imgFolder, false));
}

void LookInList::AddFolders(const std::vector<std::string>& paths) {
    for (const std::string& path : paths)
        if (IndexOf(path) < 0)
            Add(path, imgFolder, false);
}

bool LookInList::BrowseSelected() const {
    return pathlist_.ItemIndex() == browseIndex_;
}

bool LookInList::LocalDrivesSelected() const {
    // The box keeps entry 0 selected while the user types over its text: what the box shows
    // is what gets searched.
    return pathlist_.ItemIndex() == 0 && pathlist_.EditText() == pathlist_.ItemCaption(0);
}

std::vector<std::string> LookInList::LocalDriveRoots() const {
    std::vector<std::string> roots;
    for (std::size_t i = 0; i < localDrive_.size(); ++i)
        if (localDrive_[i])
            roots.push_back(pathlist_.ItemCaption(static_cast<int>(i)));
    return roots;
}

} // namespace quennet
