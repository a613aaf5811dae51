// The registry as the settings and the shell verb use it: one current key below a root,
// opened with full access (existence tests and read-only opens ask for reading only).
// Paths are relative to the current key when one is open, else to the root; a path that
// begins with a backslash is always relative to the root. A trailing backslash is ignored.
//
// Reads and writes of values raise ERegistryException:
//   "Failed to set data for '<name>'"   a write that fails (also with no key open)
//   "Failed to get data for '<name>'"   a value that cannot be read (absent, too large)
//   "Invalid data type for '<name>'"    a value of another type than asked for
#pragma once

#include "runtime/Exception.h"
#include "runtime/Handles.h"

#include <string>

namespace quennet {

class ERegistryException : public Exception {
  public:
    using Exception::Exception;
};

class TRegistry {
  public:
    explicit TRegistry(HKEY root = HKEY_CURRENT_USER, REGSAM access = KEY_ALL_ACCESS)
        : root_(root), access_(access) {}
    ~TRegistry() { CloseKey(); }
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey() const { return root_; }
    void SetRootKey(HKEY root); // closes the current key
    HKEY CurrentKey() const { return current_.get(); }
    const std::string& CurrentPath() const { return currentPath_; }

    // RegCreateKeyExA (every missing key on the way is made) when canCreate, else
    // RegOpenKeyExA; on success the key becomes the current one.
    bool OpenKey(const std::string& path, bool canCreate);
    bool OpenKeyReadOnly(const std::string& path);
    void CloseKey();
    bool KeyExists(const std::string& path);
    // Deletes the key with everything below it, depth first; whether the key itself went.
    bool DeleteKey(const std::string& path);

    bool ValueExists(const std::string& name);
    bool DeleteValue(const std::string& name);
    int ReadInteger(const std::string& name); // REG_DWORD
    void WriteInteger(const std::string& name, int value);
    std::string ReadString(const std::string& name); // REG_SZ / REG_EXPAND_SZ; "" when absent
    void WriteString(const std::string& name, const std::string& value); // REG_SZ with its zero

  private:
    HKEY BaseKey(bool relative) const;
    bool OpenWithAccess(const std::string& path, bool canCreate, REGSAM access);

    HKEY root_;
    REGSAM access_;
    RegKey current_;
    std::string currentPath_;
};

} // namespace quennet
