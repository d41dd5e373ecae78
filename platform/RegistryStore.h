#pragma once

// A registry stand-in: each root key is one text file modelled on a REGEDIT4 export.
// The calls mirror the Win32 ones (result codes, types, handles) so the settings
// component above it can follow its documented algorithms unchanged.

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qm::platform {

using RegHandle = std::uint32_t;

// Predefined root handles, with their Win32 values.
inline constexpr RegHandle kHkeyClassesRoot = 0x80000000u;
inline constexpr RegHandle kHkeyCurrentUser = 0x80000001u;
inline constexpr RegHandle kHkeyLocalMachine = 0x80000002u;
inline constexpr RegHandle kHkeyUsers = 0x80000003u;
inline constexpr RegHandle kHkeyCurrentConfig = 0x80000005u;
inline constexpr RegHandle kHkeyDynData = 0x80000006u;

// Value types.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

// Win32 result codes.
inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorAccessDenied = 5;
inline constexpr long kErrorInvalidHandle = 6;
inline constexpr long kErrorWriteFault = 29;
inline constexpr long kErrorInvalidParameter = 87;
inline constexpr long kErrorDiskFull = 112;
inline constexpr long kErrorMoreData = 234;

// Name of the file that holds a root, e.g. "HKEY_CURRENT_USER"; empty for a non-root handle.
std::string rootName(RegHandle root);

// $XDG_CONFIG_HOME/quillmark, or ~/.config/quillmark when XDG_CONFIG_HOME is unset or relative.
std::filesystem::path defaultRegistryFolder();

struct RegValue {
    std::uint32_t type = kRegNone;
    std::vector<std::uint8_t> data;
};

class RegistryStore {
public:
    // folder holds one "<ROOT>.reg" file per root; created (mode 0700) on the first write. A
    // folder that already exists keeps its mode.
    explicit RegistryStore(std::filesystem::path folder = defaultRegistryFolder());
    ~RegistryStore();
    RegistryStore(const RegistryStore&) = delete;
    RegistryStore& operator=(const RegistryStore&) = delete;

    const std::filesystem::path& folder() const { return folder_; }
    std::filesystem::path fileOf(RegHandle root) const;

    // RegOpenKeyExA: opens an existing key; an empty path opens the parent itself.
    long openKey(RegHandle parent, const std::string& path, RegHandle* result);
    // RegCreateKeyExA: opens the key, creating it and its missing parents (persisted at once).
    long createKey(RegHandle parent, const std::string& path, RegHandle* result);
    // RegCloseKey.
    long closeKey(RegHandle key);
    // RegQueryValueExA: name nullptr means the key's default value. With data nullptr only
    // *type and *size are filled. A buffer that is too small gives kErrorMoreData and the size.
    long queryValue(RegHandle key, const std::string* name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size);
    // RegSetValueExA: stores and writes the root's file atomically.
    long setValue(RegHandle key, const std::string* name, std::uint32_t type,
                  const std::uint8_t* data, std::uint32_t size);

    // Where a damaged root file, or whatever else than a plain file stood at its path, was moved
    // on the last load, if it was.
    std::optional<std::filesystem::path> lastSetAside() const { return lastSetAside_; }

    // What the system refused when the last call failed to store a file: the settings file it
    // was for and the errno. None after any call that succeeded or failed for another reason.
    struct SystemFailure {
        std::filesystem::path file;
        int errnoValue = 0;
    };
    std::optional<SystemFailure> lastFailure() const { return lastFailure_; }

    struct Root;

private:
    struct OpenKey {
        RegHandle root;
        std::string path; // canonical spelling, "\"-separated, no leading "\"
    };

    Root* loadRoot(RegHandle root);
    void setAside(const std::filesystem::path& file);
    long saveRoot(RegHandle root);
    const OpenKey* findOpen(RegHandle key) const;
    long resolve(RegHandle parent, const std::string& path, RegHandle* root,
                 std::string* full) const;

    std::filesystem::path folder_;
    std::map<RegHandle, std::unique_ptr<Root>> roots_;
    std::map<RegHandle, OpenKey> open_;
    RegHandle nextHandle_ = 0x100;
    std::optional<std::filesystem::path> lastSetAside_;
    std::optional<SystemFailure> lastFailure_;
};

} // namespace qm::platform
