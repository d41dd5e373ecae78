#include "platform/RegistryStore.h"

#include "core/ByteHelpers.h"
#include "core/Win32Codes.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qm::platform {

namespace {

struct NamedValue {
    std::string name; // "" is the key's default value
    RegValue value;
};

struct KeyEntry {
    std::string path; // as first spelled
    std::vector<NamedValue> values;
};

bool sameName(const std::string& a, const std::string& b) {
    return lowerCaseAscii(a) == lowerCaseAscii(b);
}

// "\"-separated; empty components (leading, doubled, trailing separators) are dropped.
std::vector<std::string> splitPath(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '\\') {
            if (!part.empty()) {
                parts.push_back(part);
            }
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) {
        parts.push_back(part);
    }
    return parts;
}

std::string joinPath(const std::vector<std::string>& parts) {
    std::string out;
    for (const auto& p : parts) {
        if (!out.empty()) {
            out += '\\';
        }
        out += p;
    }
    return out;
}

bool hasLineBreakOrNul(const std::string& s) {
    return s.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

long errnoToCode(int err) {
    // A settings file under a path whose folder part is a file is simply not there.
    return win32CodeOfErrno(err, kErrorWriteFault, {{ENOTDIR, kErrorFileNotFound}});
}

// ---- file format ----

std::string quote(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"') {
            out += '\\';
        }
        out += c;
    }
    return out + '"';
}

// REG_SZ data that reads back exactly from a quoted string: no control bytes, one final NUL.
bool isPlainString(const RegValue& v) {
    if (v.type != kRegSz || v.data.empty() || v.data.back() != 0) {
        return false;
    }
    for (std::size_t i = 0; i + 1 < v.data.size(); ++i) {
        if (v.data[i] < 0x20 || v.data[i] == 0x7f) {
            return false;
        }
    }
    return true;
}

std::string formatValue(const RegValue& v) {
    char buf[32];
    if (isPlainString(v)) {
        return quote(std::string(v.data.begin(), v.data.end() - 1));
    }
    if (v.type == kRegDword && v.data.size() == 4) {
        std::uint32_t d = v.data[0] | (v.data[1] << 8) | (v.data[2] << 16) |
                          (static_cast<std::uint32_t>(v.data[3]) << 24);
        std::snprintf(buf, sizeof buf, "dword:%08x", d);
        return buf;
    }
    std::string out;
    if (v.type == kRegBinary) {
        out = "hex:";
    } else {
        std::snprintf(buf, sizeof buf, "hex(%x):", v.type);
        out = buf;
    }
    for (std::size_t i = 0; i < v.data.size(); ++i) {
        std::snprintf(buf, sizeof buf, i ? ",%02x" : "%02x", v.data[i]);
        out += buf;
    }
    return out;
}

// Reads a quoted string at s[pos] ('"'); pos ends after the closing quote.
bool parseQuoted(const std::string& s, std::size_t& pos, std::string& out) {
    if (pos >= s.size() || s[pos] != '"') {
        return false;
    }
    out.clear();
    for (++pos; pos < s.size(); ++pos) {
        char c = s[pos];
        if (c == '"') {
            ++pos;
            return true;
        }
        if (c == '\\') {
            if (++pos >= s.size()) {
                return false;
            }
            c = s[pos];
        }
        out += c;
    }
    return false;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool parseHexNumber(const std::string& s, std::uint32_t& out) {
    if (s.empty() || s.size() > 8) {
        return false;
    }
    out = 0;
    for (char c : s) {
        int d = hexDigit(c);
        if (d < 0) {
            return false;
        }
        out = out * 16 + static_cast<std::uint32_t>(d);
    }
    return true;
}

bool parseHexBytes(const std::string& s, std::vector<std::uint8_t>& out) {
    out.clear();
    std::size_t pos = 0;
    while (pos < s.size()) {
        while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t')) {
            ++pos;
        }
        if (pos + 2 > s.size() || hexDigit(s[pos]) < 0 || hexDigit(s[pos + 1]) < 0) {
            return false;
        }
        out.push_back(static_cast<std::uint8_t>(hexDigit(s[pos]) * 16 + hexDigit(s[pos + 1])));
        pos += 2;
        while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t')) {
            ++pos;
        }
        if (pos < s.size()) {
            if (s[pos] != ',' || pos + 1 == s.size()) {
                return false;
            }
            ++pos;
        }
    }
    return true;
}

bool parseValue(const std::string& text, RegValue& v) {
    if (!text.empty() && text[0] == '"') {
        std::size_t pos = 0;
        std::string str;
        if (!parseQuoted(text, pos, str) || pos != text.size()) {
            return false;
        }
        v.type = kRegSz;
        v.data.assign(str.begin(), str.end());
        v.data.push_back(0);
        return true;
    }
    if (text.rfind("dword:", 0) == 0) {
        std::uint32_t d = 0;
        if (text.size() != 14 || !parseHexNumber(text.substr(6), d)) {
            return false;
        }
        v.type = kRegDword;
        v.data = {static_cast<std::uint8_t>(d), static_cast<std::uint8_t>(d >> 8),
                  static_cast<std::uint8_t>(d >> 16), static_cast<std::uint8_t>(d >> 24)};
        return true;
    }
    if (text.rfind("hex:", 0) == 0) {
        v.type = kRegBinary;
        return parseHexBytes(text.substr(4), v.data);
    }
    if (text.rfind("hex(", 0) == 0) {
        std::size_t close = text.find("):");
        if (close == std::string::npos || !parseHexNumber(text.substr(4, close - 4), v.type)) {
            return false;
        }
        return parseHexBytes(text.substr(close + 2), v.data);
    }
    return false;
}

// ---- the files on disk ----

enum class FileRead { Missing, Read, Damaged };

// Reads the whole settings file. Never waits: a FIFO or device there is never read, only
// reported as damaged, like a file that is there but not for us to read (the next save must
// not replace it unseen).
FileRead readSettingsFile(const std::filesystem::path& file, std::string& text) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return errno == ENOENT || errno == ENOTDIR ? FileRead::Missing : FileRead::Damaged;
    }
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    char buf[4096];
    while (ok) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        text.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return ok ? FileRead::Read : FileRead::Damaged;
}

// Creates the folder and its missing parents, each private to the user. An existing folder
// keeps its mode: a folder the user made read-only stays read-only.
int makePrivateFolders(const std::filesystem::path& folder) {
    if (::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST) {
        return 0;
    }
    if (errno != ENOENT || folder == folder.parent_path()) {
        return errno;
    }
    if (int err = makePrivateFolders(folder.parent_path())) {
        return err;
    }
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST ? 0 : errno;
}

// A save killed midway leaves its temporary file behind. Only while the folder is locked for
// saving is every such file stale; when another save holds the lock, they are left alone.
void removeStaleTemporaries(int folderFd, const std::string& fileName) {
    const std::string prefix = fileName + ".tmp-";
    const int listFd = ::dup(folderFd);
    DIR* dir = listFd < 0 ? nullptr : ::fdopendir(listFd);
    if (!dir) {
        if (listFd >= 0) {
            ::close(listFd);
        }
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        if (std::string_view(entry->d_name).starts_with(prefix)) {
            ::unlinkat(folderFd, entry->d_name, 0); // a folder of that name is no leftover of ours
        }
    }
    ::closedir(dir);
}

// Saves of one folder take turns: the lock is held from the clean-up of stale temporary files to
// the rename. A save waits for it at most about a second, then goes on without cleaning up, so a
// stuck program elsewhere can never hold this one up.
class FolderLock {
public:
    explicit FolderLock(const std::filesystem::path& folder)
        : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        for (int attempt = 0; fd_ >= 0 && attempt < 50; ++attempt) {
            if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
                locked_ = true;
                break;
            }
            ::usleep(20000);
        }
    }
    ~FolderLock() {
        if (fd_ >= 0) {
            ::close(fd_); // releases the lock
        }
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    int fd() const { return fd_; }
    bool locked() const { return locked_; }

private:
    int fd_;
    bool locked_ = false;
};

// Writes text to a private temporary file beside file, syncs it and renames it over file, so a
// crash at any moment leaves either the old or the new settings. folderFd, if open, is synced
// to make the rename itself durable.
int writeReplacing(const std::filesystem::path& file, const std::string& text, int folderFd) {
    std::string tmpl = file.string() + ".tmp-XXXXXX";
    int fd = ::mkostemp(tmpl.data(), O_CLOEXEC); // mode 0600
    if (fd < 0) {
        return errno;
    }
    auto fail = [&](int err) {
        ::close(fd);
        ::unlink(tmpl.c_str());
        return err;
    };
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return fail(errno);
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fchmod(fd, 0600) != 0 || ::fsync(fd) != 0) {
        return fail(errno);
    }
    if (::close(fd) != 0) {
        int err = errno;
        ::unlink(tmpl.c_str());
        return err;
    }
    if (std::rename(tmpl.c_str(), file.c_str()) != 0) {
        int err = errno;
        ::unlink(tmpl.c_str());
        return err;
    }
    if (folderFd >= 0) {
        ::fsync(folderFd);
    }
    return 0;
}

} // namespace

struct RegistryStore::Root {
    std::map<std::string, KeyEntry> keys; // by lower-case path; "" is the root itself

    KeyEntry* find(const std::string& path) {
        auto it = keys.find(lowerCaseAscii(path));
        return it == keys.end() ? nullptr : &it->second;
    }

    KeyEntry& ensure(const std::string& path) {
        auto [it, inserted] = keys.try_emplace(lowerCaseAscii(path));
        if (inserted) {
            it->second.path = path;
        }
        return it->second;
    }
};

namespace {

std::string serialize(const std::string& root, const RegistryStore::Root& data) {
    std::string out = "REGEDIT4\n";
    for (const auto& [lower, key] : data.keys) {
        out += "\n[" + root + (key.path.empty() ? "" : "\\" + key.path) + "]\n";
        for (const auto& nv : key.values) {
            out += (nv.name.empty() ? std::string("@") : quote(nv.name)) + "=" +
                   formatValue(nv.value) + "\n";
        }
    }
    return out;
}

bool parse(const std::string& root, const std::string& text, RegistryStore::Root& data) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
        start = end + 1;
    }
    std::size_t i = 0;
    while (i < lines.size() && lines[i].empty()) {
        ++i;
    }
    if (i == lines.size() || lines[i] != "REGEDIT4") {
        return false;
    }
    KeyEntry* current = nullptr;
    for (++i; i < lines.size(); ++i) {
        std::string line = lines[i];
        if (line.empty() || line[0] == ';') {
            continue;
        }
        if (line[0] == '[') {
            if (line.back() != ']') {
                return false;
            }
            std::string full = line.substr(1, line.size() - 2);
            std::string path;
            if (sameName(full, root)) {
                path.clear();
            } else if (full.size() > root.size() && full[root.size()] == '\\' &&
                       sameName(full.substr(0, root.size()), root)) {
                path = joinPath(splitPath(full.substr(root.size() + 1)));
            } else {
                return false;
            }
            // Parents exist whenever a child does.
            std::vector<std::string> parts = splitPath(path);
            for (std::size_t n = 1; n < parts.size(); ++n) {
                data.ensure(joinPath({parts.begin(), parts.begin() + static_cast<long>(n)}));
            }
            current = &data.ensure(path);
            continue;
        }
        if (!current) {
            return false;
        }
        std::string name;
        std::size_t pos = 0;
        if (line[0] == '@') {
            pos = 1;
        } else if (!parseQuoted(line, pos, name) || name.empty()) {
            return false;
        }
        if (pos >= line.size() || line[pos] != '=') {
            return false;
        }
        std::string valueText = line.substr(pos + 1);
        // Long hex lists continue on the next line after a trailing backslash.
        while (valueText.rfind("hex", 0) == 0 && !valueText.empty() && valueText.back() == '\\' &&
               i + 1 < lines.size()) {
            valueText.pop_back();
            std::string next = lines[++i];
            next.erase(0, next.find_first_not_of(" \t"));
            valueText += next;
        }
        RegValue value;
        if (!parseValue(valueText, value)) {
            return false;
        }
        auto it = std::find_if(current->values.begin(), current->values.end(),
                               [&](const NamedValue& nv) { return sameName(nv.name, name); });
        if (it != current->values.end()) {
            it->value = value;
        } else {
            current->values.push_back({name, value});
        }
    }
    return true;
}

bool isRoot(RegHandle h) {
    return !rootName(h).empty();
}

} // namespace

std::string rootName(RegHandle root) {
    switch (root) {
    case kHkeyClassesRoot:
        return "HKEY_CLASSES_ROOT";
    case kHkeyCurrentUser:
        return "HKEY_CURRENT_USER";
    case kHkeyLocalMachine:
        return "HKEY_LOCAL_MACHINE";
    case kHkeyUsers:
        return "HKEY_USERS";
    case kHkeyCurrentConfig:
        return "HKEY_CURRENT_CONFIG";
    case kHkeyDynData:
        return "HKEY_DYN_DATA";
    default:
        return {};
    }
}

std::filesystem::path defaultRegistryFolder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::filesystem::path base;
    if (xdg && *xdg == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::filesystem::path(home && *home ? home : "/tmp") / ".config";
    }
    return base / "quillmark";
}

RegistryStore::RegistryStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

RegistryStore::~RegistryStore() = default;

std::filesystem::path RegistryStore::fileOf(RegHandle root) const {
    return folder_ / (rootName(root) + ".reg");
}

RegistryStore::Root* RegistryStore::loadRoot(RegHandle root) {
    auto data = std::make_unique<Root>();
    data->ensure("");
    const std::filesystem::path file = fileOf(root);
    std::string text;
    const FileRead read = readSettingsFile(file, text);
    if (read == FileRead::Damaged ||
        (read == FileRead::Read && !parse(rootName(root), text, *data))) {
        // A damaged or unreadable file must not stop the program: keep it for the user, read as
        // missing.
        data = std::make_unique<Root>();
        data->ensure("");
        setAside(file);
    }
    Root* raw = data.get();
    roots_[root] = std::move(data);
    return raw;
}

void RegistryStore::setAside(const std::filesystem::path& file) {
    // Each damaged file gets a name of its own: link() never replaces a file set aside before.
    for (int n = 0;; ++n) {
        std::filesystem::path aside = file;
        aside += n == 0 ? std::string(".damaged") : ".damaged." + std::to_string(n);
        if (::link(file.c_str(), aside.c_str()) == 0) {
            ::unlink(file.c_str());
            lastSetAside_ = aside;
            return;
        }
        if (errno == EEXIST) {
            continue;
        }
        // No hard link possible here (a folder, another file system): rename to the free name.
        std::error_code ec;
        if (!std::filesystem::exists(aside, ec) && !ec &&
            std::rename(file.c_str(), aside.c_str()) == 0) {
            lastSetAside_ = aside;
        }
        return;
    }
}

long RegistryStore::saveRoot(RegHandle root) {
    const auto it = roots_.find(root);
    if (it == roots_.end()) {
        return kErrorInvalidHandle;
    }
    const std::string text = serialize(rootName(root), *it->second);
    std::filesystem::path file = fileOf(root);
    // The user is told which file and why, in the system's words.
    const auto failed = [this, &file](int err) {
        lastFailure_ = SystemFailure{file, err};
        return errnoToCode(err);
    };
    if (int err = makePrivateFolders(folder_)) {
        return failed(err);
    }
    // A settings file kept elsewhere behind a symbolic link is replaced there; the link stays.
    std::error_code ec;
    if (std::filesystem::is_symlink(file, ec)) {
        const std::filesystem::path target = std::filesystem::weakly_canonical(file, ec);
        if (ec) {
            return failed(ec.value());
        }
        file = target;
    }
    const FolderLock folder(file.parent_path());
    if (folder.locked()) {
        removeStaleTemporaries(folder.fd(), file.filename().string());
    }
    if (int err = writeReplacing(file, text, folder.fd())) {
        return failed(err);
    }
    return kErrorSuccess;
}

const RegistryStore::OpenKey* RegistryStore::findOpen(RegHandle key) const {
    auto it = open_.find(key);
    return it == open_.end() ? nullptr : &it->second;
}

long RegistryStore::resolve(RegHandle parent, const std::string& path, RegHandle* root,
                            std::string* full) const {
    std::vector<std::string> parts;
    if (isRoot(parent)) {
        *root = parent;
    } else if (const OpenKey* k = findOpen(parent)) {
        *root = k->root;
        parts = splitPath(k->path);
    } else {
        return kErrorInvalidHandle;
    }
    for (auto& p : splitPath(path)) {
        parts.push_back(p);
    }
    if (hasLineBreakOrNul(path)) {
        return kErrorInvalidParameter;
    }
    *full = joinPath(parts);
    return kErrorSuccess;
}

long RegistryStore::openKey(RegHandle parent, const std::string& path, RegHandle* result) {
    lastFailure_.reset();
    RegHandle root = 0;
    std::string full;
    if (long rc = resolve(parent, path, &root, &full)) {
        return rc;
    }
    // Opening from a root reads the file afresh, so other instances' writes are seen.
    Root* data = isRoot(parent) || !roots_.count(root) ? loadRoot(root) : roots_[root].get();
    const KeyEntry* key = data->find(full);
    if (!key) {
        return kErrorFileNotFound;
    }
    RegHandle h = nextHandle_++;
    open_[h] = {root, key->path};
    *result = h;
    return kErrorSuccess;
}

long RegistryStore::createKey(RegHandle parent, const std::string& path, RegHandle* result) {
    lastFailure_.reset();
    RegHandle root = 0;
    std::string full;
    if (long rc = resolve(parent, path, &root, &full)) {
        return rc;
    }
    Root* data = isRoot(parent) || !roots_.count(root) ? loadRoot(root) : roots_[root].get();
    if (!data->find(full)) {
        if (root == kHkeyDynData) { // dynamic data is read-only
            return kErrorAccessDenied;
        }
        std::vector<std::string> parts = splitPath(full);
        for (std::size_t n = 1; n <= parts.size(); ++n) {
            data->ensure(joinPath({parts.begin(), parts.begin() + static_cast<long>(n)}));
        }
        if (long rc = saveRoot(root)) {
            roots_.erase(root); // drop what did not reach the disk
            return rc;
        }
    }
    RegHandle h = nextHandle_++;
    open_[h] = {root, data->find(full)->path};
    *result = h;
    return kErrorSuccess;
}

long RegistryStore::closeKey(RegHandle key) {
    lastFailure_.reset();
    if (isRoot(key)) {
        return kErrorSuccess;
    }
    return open_.erase(key) ? kErrorSuccess : kErrorInvalidHandle;
}

long RegistryStore::queryValue(RegHandle key, const std::string* name, std::uint32_t* type,
                               std::uint8_t* data, std::uint32_t* size) {
    lastFailure_.reset();
    RegHandle root = 0;
    std::string full;
    if (long rc = resolve(key, {}, &root, &full)) {
        return rc;
    }
    Root* rootData = roots_.count(root) ? roots_[root].get() : loadRoot(root);
    KeyEntry* entry = rootData->find(full);
    if (!entry) {
        return kErrorFileNotFound;
    }
    const std::string wanted = name ? *name : std::string();
    auto it = std::find_if(entry->values.begin(), entry->values.end(),
                           [&](const NamedValue& nv) { return sameName(nv.name, wanted); });
    if (it == entry->values.end()) {
        return kErrorFileNotFound;
    }
    const RegValue& v = it->value;
    if (type) {
        *type = v.type;
    }
    const auto needed = static_cast<std::uint32_t>(v.data.size());
    if (data) {
        if (!size) {
            return kErrorInvalidParameter;
        }
        if (*size < needed) {
            *size = needed;
            return kErrorMoreData;
        }
        std::copy(v.data.begin(), v.data.end(), data);
    }
    if (size) {
        *size = needed;
    }
    return kErrorSuccess;
}

long RegistryStore::setValue(RegHandle key, const std::string* name, std::uint32_t type,
                             const std::uint8_t* data, std::uint32_t size) {
    lastFailure_.reset();
    RegHandle root = 0;
    std::string full;
    if (long rc = resolve(key, {}, &root, &full)) {
        return rc;
    }
    if (root == kHkeyDynData) {
        return kErrorAccessDenied;
    }
    const std::string valueName = name ? *name : std::string();
    if (hasLineBreakOrNul(valueName) || (size > 0 && !data)) {
        return kErrorInvalidParameter;
    }
    Root* rootData = roots_.count(root) ? roots_[root].get() : loadRoot(root);
    KeyEntry* entry = rootData->find(full);
    if (!entry) {
        return kErrorFileNotFound;
    }
    RegValue v{type, std::vector<std::uint8_t>(data, data + size)};
    auto it = std::find_if(entry->values.begin(), entry->values.end(),
                           [&](const NamedValue& nv) { return sameName(nv.name, valueName); });
    if (it != entry->values.end()) {
        it->value = std::move(v);
    } else {
        entry->values.push_back({valueName, std::move(v)});
    }
    if (long rc = saveRoot(root)) {
        roots_.erase(root);
        return rc;
    }
    return kErrorSuccess;
}

} // namespace qm::platform
