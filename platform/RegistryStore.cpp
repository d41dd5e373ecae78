#include "platform/RegistryStore.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
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

std::string lowerAscii(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return s;
}

bool sameName(const std::string& a, const std::string& b) {
    return lowerAscii(a) == lowerAscii(b);
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
    switch (err) {
    case EACCES:
    case EPERM:
    case EROFS:
        return kErrorAccessDenied;
    case ENOSPC:
    case EDQUOT:
        return kErrorDiskFull;
    case ENOENT:
    case ENOTDIR:
        return kErrorFileNotFound;
    default:
        return kErrorWriteFault;
    }
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

} // namespace

struct RegistryStore::Root {
    std::map<std::string, KeyEntry> keys; // by lower-case path; "" is the root itself

    KeyEntry* find(const std::string& path) {
        auto it = keys.find(lowerAscii(path));
        return it == keys.end() ? nullptr : &it->second;
    }

    KeyEntry& ensure(const std::string& path) {
        auto [it, inserted] = keys.try_emplace(lowerAscii(path));
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
    bool exists = false;
    bool readable = true;
    if (FILE* f = std::fopen(file.c_str(), "rb")) {
        exists = true;
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
            text.append(buf, n);
        }
        readable = std::ferror(f) == 0;
        std::fclose(f);
    } else if (errno != ENOENT && errno != ENOTDIR) {
        // There, but not for us to read: the next save must not replace it unseen.
        exists = true;
        readable = false;
    }
    if (exists && (!readable || !parse(rootName(root), text, *data))) {
        // A damaged or unreadable file must not stop the program: keep it for the user, read as
        // missing.
        data = std::make_unique<Root>();
        data->ensure("");
        // Each damaged file gets a name of its own: link() never replaces a file set aside before.
        for (int n = 0;; ++n) {
            std::filesystem::path aside = file;
            aside += n == 0 ? std::string(".damaged") : ".damaged." + std::to_string(n);
            if (::link(file.c_str(), aside.c_str()) == 0) {
                ::unlink(file.c_str());
                lastSetAside_ = aside;
                break;
            }
            if (errno == EEXIST) {
                continue;
            }
            // No hard link possible here: rename to the free name instead.
            std::error_code ec;
            if (!std::filesystem::exists(aside, ec) && !ec &&
                std::rename(file.c_str(), aside.c_str()) == 0) {
                lastSetAside_ = aside;
            }
            break;
        }
    }
    Root* raw = data.get();
    roots_[root] = std::move(data);
    return raw;
}

long RegistryStore::saveRoot(RegHandle root) {
    const auto it = roots_.find(root);
    if (it == roots_.end()) {
        return kErrorInvalidHandle;
    }
    const std::string text = serialize(rootName(root), *it->second);
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    if (ec) {
        return errnoToCode(ec.value());
    }
    ::chmod(folder_.c_str(), 0700);
    std::filesystem::path file = fileOf(root);
    // A settings file kept elsewhere behind a symbolic link is replaced there; the link stays.
    if (std::filesystem::is_symlink(file, ec)) {
        const std::filesystem::path target = std::filesystem::weakly_canonical(file, ec);
        if (ec) {
            return errnoToCode(ec.value());
        }
        file = target;
    }
    std::string tmpl = file.string() + ".tmp-XXXXXX";
    int fd = ::mkostemp(tmpl.data(), O_CLOEXEC); // mode 0600
    if (fd < 0) {
        return errnoToCode(errno);
    }
    auto fail = [&](int err) {
        ::close(fd);
        ::unlink(tmpl.c_str());
        return errnoToCode(err);
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
        return errnoToCode(err);
    }
    if (std::rename(tmpl.c_str(), file.c_str()) != 0) {
        int err = errno;
        ::unlink(tmpl.c_str());
        return errnoToCode(err);
    }
    // Make the rename itself durable.
    int dir = ::open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
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
    if (isRoot(key)) {
        return kErrorSuccess;
    }
    return open_.erase(key) ? kErrorSuccess : kErrorInvalidHandle;
}

long RegistryStore::queryValue(RegHandle key, const std::string* name, std::uint32_t* type,
                               std::uint8_t* data, std::uint32_t* size) {
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
