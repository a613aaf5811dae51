// The settings kept between runs: twelve REG_DWORD values under one key, read at start-up
// and written at close, in the order of the table. The table holds each value's name and the
// rule for when it is read or written; the window maps the fields to its controls
// (TForm1::ApplySettings / CaptureSettings). A value that is absent leaves its control as the
// window made it, so the controls' first state is each value's default.
#pragma once

#include <cstddef>
#include <string>

namespace quennet {

// Written per user: a standard user cannot write HKEY_LOCAL_MACHINE. Earlier versions kept
// the key there, so it is still read when the user has none.
inline constexpr const char* kSettingsKey = "Software\\Morvane\\Quennet";

struct StoredSettings {
    int CaseSensitive;
    int SelfAdjustBuffer;
    int Buffer; // megabytes
    int Maximized;
    int PositionLeft;
    int PositionTop;
    int SizeWidth;
    int SizeHeight;
    int SplitterPosition;
    int Column1Width;
    int Column2Width;
    int Column3Width;
    int Column4Width;
};

enum class SettingKind { Flag, Number }; // a flag reads any non-zero value as set (1)
enum class SettingWhen { Always, SelfAdjustOff, NotMaximized };

struct SettingEntry {
    const char* Name;
    int StoredSettings::*Field;
    SettingKind Kind;
    SettingWhen ReadWhen; // besides "when present"
    SettingWhen WriteWhen;
};

extern const SettingEntry kSettingsTable[13];

// Reads the stored values over `settings` (the window's state at start-up). A value is read
// only when present and its rule allows it; a value that cannot be read (another type) ends
// the reading there, silently, keeping what was read before it.
void ReadSettings(StoredSettings& settings);
// Writes the values in order; a failure ends the writing silently. Whether all were written.
bool WriteSettings(const StoredSettings& settings);

// The filters and the boxes' histories: texts (REG_SZ) beside the values above, per user only.
// A first start finds none and leaves every filter empty.
struct StoredFilters {
    std::string OnlyFiles;
    std::string SkipFiles;
    std::string SkipFolders;
    std::string ModifiedAfter; // "YYYY-MM-DD", empty when not ticked
    std::string ModifiedBefore;
    std::string NameHistory; // SearchHistory's stored forms
    std::string PhraseHistory;
    std::string FolderHistory;
};

struct FilterEntry {
    const char* Name;
    std::string StoredFilters::*Field;
    std::size_t MaxLength; // a longer stored value is ignored
};

extern const FilterEntry kFiltersTable[8];

// Reads what is there over `filters`; a value of another type or longer than its entry allows
// is ignored alone, whatever it holds.
void ReadFilters(StoredFilters& filters);
bool WriteFilters(const StoredFilters& filters);

} // namespace quennet
