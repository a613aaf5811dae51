#include "runtime/Registry.h"

#include <vector>

namespace quennet {

namespace {

struct SplitPath {
    std::string path;
    bool relative;
};

SplitPath Split(const std::string& path) {
    SplitPath split{path, true};
    if (!split.path.empty() && split.path.front() == '\\') {
        split.relative = false;
        split.path.erase(0, 1);
    }
    while (!split.path.empty() && split.path.back() == '\\')
        split.path.pop_back();
    return split;
}

std::string Quoted(const char* format, const std::string& name) {
    std::string text(format);
    return text.replace(text.find("%s"), 2, name);
}

// Deletes everything below `key`: each subkey's own subkeys first, then the subkey. The
// subkeys are visited from the last index down, so the indexes stay valid while keys go.
void DeleteSubkeys(HKEY key, REGSAM access) {
    DWORD count = 0, longest = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return;
    std::vector<char> buffer(longest + 1);
    for (DWORD i = count; i-- > 0;) {
        DWORD length = longest + 1;
        if (RegEnumKeyExA(key, i, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            continue;
        std::string name(buffer.data(), length);
        {
            RegKey child;
            if (RegOpenKeyExA(key, name.c_str(), 0, access, child.put()) == ERROR_SUCCESS)
                DeleteSubkeys(child.get(), access);
        }
        RegDeleteKeyA(key, name.c_str());
    }
}

} // namespace

void TRegistry::SetRootKey(HKEY root) {
    CloseKey();
    root_ = root;
}

HKEY TRegistry::BaseKey(bool relative) const {
    return current_ && relative ? current_.get() : root_;
}

bool TRegistry::OpenWithAccess(const std::string& path, bool canCreate, REGSAM access) {
    SplitPath split = Split(path);
    RegKey opened;
    LONG result;
    if (!canCreate || split.path.empty()) {
        result = RegOpenKeyExA(BaseKey(split.relative), split.path.c_str(), 0, access, opened.put());
    } else {
        DWORD disposition = 0;
        result = RegCreateKeyExA(BaseKey(split.relative), split.path.c_str(), 0, nullptr,
                                 REG_OPTION_NON_VOLATILE, access, nullptr, opened.put(), &disposition);
    }
    if (result != ERROR_SUCCESS)
        return false;
    std::string newPath = current_ && split.relative ? currentPath_ + "\\" + split.path : split.path;
    current_ = std::move(opened);
    currentPath_ = newPath;
    return true;
}

bool TRegistry::OpenKey(const std::string& path, bool canCreate) {
    return OpenWithAccess(path, canCreate, access_);
}

bool TRegistry::OpenKeyReadOnly(const std::string& path) {
    return OpenWithAccess(path, false, KEY_READ);
}

void TRegistry::CloseKey() {
    current_.reset();
    currentPath_.clear();
}

bool TRegistry::KeyExists(const std::string& path) {
    SplitPath split = Split(path);
    RegKey probe;
    return RegOpenKeyExA(BaseKey(split.relative), split.path.c_str(), 0, KEY_READ, probe.put()) ==
           ERROR_SUCCESS;
}

bool TRegistry::DeleteKey(const std::string& path) {
    SplitPath split = Split(path);
    HKEY base = BaseKey(split.relative);
    {
        RegKey key;
        if (RegOpenKeyExA(base, split.path.c_str(), 0, access_, key.put()) == ERROR_SUCCESS)
            DeleteSubkeys(key.get(), access_);
    }
    return RegDeleteKeyA(base, split.path.c_str()) == ERROR_SUCCESS;
}

bool TRegistry::ValueExists(const std::string& name) {
    return current_ && RegQueryValueExA(current_.get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
                           ERROR_SUCCESS;
}

bool TRegistry::DeleteValue(const std::string& name) {
    return current_ && RegDeleteValueA(current_.get(), name.c_str()) == ERROR_SUCCESS;
}

int TRegistry::ReadInteger(const std::string& name) {
    DWORD type = 0, value = 0, size = 0;
    // The type first, so that a value of another type is reported as such whatever its size.
    if (!current_ ||
        RegQueryValueExA(current_.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        throw ERegistryException(Quoted("Failed to get data for '%s'", name));
    if (type != REG_DWORD)
        throw ERegistryException(Quoted("Invalid data type for '%s'", name));
    size = sizeof value;
    if (RegQueryValueExA(current_.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS)
        throw ERegistryException(Quoted("Failed to get data for '%s'", name));
    return static_cast<int>(value);
}

void TRegistry::WriteInteger(const std::string& name, int value) {
    auto data = static_cast<DWORD>(value);
    if (RegSetValueExA(current_.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                       sizeof data) != ERROR_SUCCESS)
        throw ERegistryException(Quoted("Failed to set data for '%s'", name));
}

std::string TRegistry::ReadString(const std::string& name) {
    DWORD type = 0, size = 0;
    if (!current_ ||
        RegQueryValueExA(current_.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        size == 0)
        return std::string();
    std::string text(size, '\0');
    if (RegQueryValueExA(current_.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                         &size) != ERROR_SUCCESS)
        throw ERegistryException(Quoted("Failed to get data for '%s'", name));
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw ERegistryException(Quoted("Invalid data type for '%s'", name));
    text.resize(size);
    while (!text.empty() && text.back() == '\0')
        text.pop_back();
    return text;
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
    if (RegSetValueExA(current_.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
        throw ERegistryException(Quoted("Failed to set data for '%s'", name));
}

} // namespace quennet
