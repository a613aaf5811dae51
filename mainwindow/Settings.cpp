#include "mainwindow/Settings.h"

#include "mainwindow/SearchHistory.h"
#include "runtime/Registry.h"

namespace quennet {

namespace {

bool Holds(SettingWhen when, const StoredSettings& s) {
    switch (when) {
    case SettingWhen::SelfAdjustOff:
        return s.SelfAdjustBuffer == 0;
    case SettingWhen::NotMaximized:
        return s.Maximized == 0;
    case SettingWhen::Always:
        break;
    }
    return true;
}

} // namespace

// clang-format off
const SettingEntry kSettingsTable[13] = {
    {"Case Sensitive",     &StoredSettings::CaseSensitive,    SettingKind::Flag,   SettingWhen::Always,        SettingWhen::Always},
    {"Self Adjust Buffer", &StoredSettings::SelfAdjustBuffer, SettingKind::Flag,   SettingWhen::Always,        SettingWhen::Always},
    {"Buffer",             &StoredSettings::Buffer,           SettingKind::Number, SettingWhen::SelfAdjustOff, SettingWhen::SelfAdjustOff},
    {"Maximized",          &StoredSettings::Maximized,        SettingKind::Flag,   SettingWhen::Always,        SettingWhen::Always},
    {"Position-Left",      &StoredSettings::PositionLeft,     SettingKind::Number, SettingWhen::NotMaximized,  SettingWhen::Always},
    {"Position-Top",       &StoredSettings::PositionTop,      SettingKind::Number, SettingWhen::NotMaximized,  SettingWhen::Always},
    {"Size-Width",         &StoredSettings::SizeWidth,        SettingKind::Number, SettingWhen::NotMaximized,  SettingWhen::Always},
    {"Size-Height",        &StoredSettings::SizeHeight,       SettingKind::Number, SettingWhen::NotMaximized,  SettingWhen::Always},
    {"Splitter-Position",  &StoredSettings::SplitterPosition, SettingKind::Number, SettingWhen::Always,        SettingWhen::Always},
    {"Column1 width",      &StoredSettings::Column1Width,     SettingKind::Number, SettingWhen::Always,        SettingWhen::Always},
    {"Column2 width",      &StoredSettings::Column2Width,     SettingKind::Number, SettingWhen::Always,        SettingWhen::Always},
    {"Column3 width",      &StoredSettings::Column3Width,     SettingKind::Number, SettingWhen::Always,        SettingWhen::Always},
    {"Column4 width",      &StoredSettings::Column4Width,     SettingKind::Number, SettingWhen::Always,        SettingWhen::Always},
};
// clang-format on

void ReadSettings(StoredSettings& settings) {
    TRegistry registry(HKEY_CURRENT_USER, KEY_READ);
    if (!registry.KeyExists(kSettingsKey))
        registry.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKeyReadOnly(kSettingsKey))
        return;
    try {
        for (const SettingEntry& entry : kSettingsTable) {
            // "Self Adjust Buffer" decides "Buffer" and "Maximized" the geometry, so the
            // rules look at what has been read so far.
            if (!Holds(entry.ReadWhen, settings) || !registry.ValueExists(entry.Name))
                continue;
            const int value = registry.ReadInteger(entry.Name);
            settings.*entry.Field = entry.Kind == SettingKind::Flag ? (value != 0 ? 1 : 0) : value;
        }
    } catch (const ERegistryException&) {
        // A value of another type ends the reading; the rest keep their defaults.
    }
}

bool WriteSettings(const StoredSettings& settings) {
    TRegistry registry(HKEY_CURRENT_USER);
    if (!registry.OpenKey(kSettingsKey, true))
        return false;
    try {
        for (const SettingEntry& entry : kSettingsTable)
            if (Holds(entry.WriteWhen, settings))
                registry.WriteInteger(entry.Name, settings.*entry.Field);
    } catch (const ERegistryException&) {
        return false;
    }
    return true;
}

namespace {

// Longer than any list of masks typed by hand.
constexpr std::size_t kMaxMasksLength = 4096;

} // namespace

// clang-format off
const FilterEntry kFiltersTable[8] = {
    {"Only Files",      &StoredFilters::OnlyFiles,      kMaxMasksLength},
    {"Skip Files",      &StoredFilters::SkipFiles,      kMaxMasksLength},
    {"Skip Folders",    &StoredFilters::SkipFolders,    kMaxMasksLength},
    {"Modified After",  &StoredFilters::ModifiedAfter,  10},
    {"Modified Before", &StoredFilters::ModifiedBefore, 10},
    {"Name History",    &StoredFilters::NameHistory,    SearchHistory::kMaxStoredLength},
    {"Phrase History",  &StoredFilters::PhraseHistory,  SearchHistory::kMaxStoredLength},
    {"Look In History", &StoredFilters::FolderHistory,  SearchHistory::kMaxStoredLength},
};
// clang-format on

void ReadFilters(StoredFilters& filters) {
    TRegistry registry(HKEY_CURRENT_USER, KEY_READ);
    if (!registry.OpenKeyReadOnly(kSettingsKey))
        return;
    for (const FilterEntry& entry : kFiltersTable) {
        // The size is asked first: a value grown by another program is not read into memory.
        DWORD type = 0, size = 0;
        if (RegQueryValueExA(registry.CurrentKey(), entry.Name, nullptr, &type, nullptr, &size) !=
                ERROR_SUCCESS ||
            type != REG_SZ || size > entry.MaxLength + 1)
            continue;
        try {
            filters.*entry.Field = registry.ReadString(entry.Name);
        } catch (const ERegistryException&) {
            // Changed between the two questions: ignored like any other damaged value.
        }
    }
}

bool WriteFilters(const StoredFilters& filters) {
    TRegistry registry(HKEY_CURRENT_USER);
    if (!registry.OpenKey(kSettingsKey, true))
        return false;
    try {
        for (const FilterEntry& entry : kFiltersTable)
            registry.WriteString(entry.Name, filters.*entry.Field);
    } catch (const ERegistryException&) {
        return false;
    }
    return true;
}

} // namespace quennet
