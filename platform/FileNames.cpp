#include "platform/FileNames.h"

#include <cstdint>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace qm::platform {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// Bytes a name shows as an escape even when they decode: a control character would break the
// one-line label it stands in, or vanish from it.
bool isControl(std::uint8_t byte) {
    return byte < 0x20 || byte == 0x7F;
}

bool escapable(std::uint32_t byte) {
    return byte != 0 && (isControl(std::uint8_t(byte)) || byte >= 0x80);
}

// The length of the valid UTF-8 character of two to four bytes at the start of s (no overlong
// forms, no surrogates, nothing above U+10FFFF), or 0.
std::size_t utf8Length(std::string_view s) {
    const auto at = [&s](std::size_t i) { return std::uint8_t(s[i]); };
    const auto continuation = [&](std::size_t i) { return i < s.size() && (at(i) & 0xC0) == 0x80; };
    const std::uint8_t lead = at(0);
    if (lead >= 0xC2 && lead <= 0xDF)
        return continuation(1) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (!continuation(1) || !continuation(2))
            return 0;
        const std::uint8_t second = at(1);
        if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0))
            return 0;
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        if (!continuation(1) || !continuation(2) || !continuation(3))
            return 0;
        const std::uint8_t second = at(1);
        if ((lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90))
            return 0;
        return 4;
    }
    return 0;
}

int hexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

// The byte an escape at text[i] stands for, or -1 when no escape starts there.
int escapedByte(const QString& text, qsizetype i) {
    if (i + 3 >= text.size() || text[i] != u'\\' || text[i + 1] != u'x')
        return -1;
    const int high = hexValue(text[i + 2]);
    const int low = hexValue(text[i + 3]);
    if (high < 0 || low < 0 || !escapable(std::uint32_t(high * 16 + low)))
        return -1;
    return high * 16 + low;
}

} // namespace

QString fileNameText(std::string_view bytes) {
    std::string utf8;
    utf8.reserve(bytes.size());
    const auto escape = [&utf8](std::uint8_t byte) {
        utf8 += "\\x";
        utf8 += kHexDigits[byte >> 4];
        utf8 += kHexDigits[byte & 0xF];
    };
    for (std::size_t i = 0; i < bytes.size();) {
        const auto byte = std::uint8_t(bytes[i]);
        if (byte < 0x80 && !isControl(byte)) {
            // A backslash is doubled only where the text after it would read as an escape or
            // as a doubled backslash, so an ordinary name keeps its look.
            const bool next = i + 1 < bytes.size();
            const auto following = next ? std::uint8_t(bytes[i + 1]) : 0;
            if (byte == '\\' && next &&
                (following == '\\' || following == 'x' || escapable(following)))
                utf8 += '\\';
            utf8 += char(byte);
            ++i;
            continue;
        }
        const std::size_t length = byte < 0x80 ? 0 : utf8Length(bytes.substr(i));
        if (length == 0) {
            escape(byte);
            ++i;
            continue;
        }
        // C1 controls (U+0080 to U+009F) are as invisible as the C0 ones.
        const bool c1 = length == 2 && byte == 0xC2 && std::uint8_t(bytes[i + 1]) < 0xA0;
        for (std::size_t k = 0; c1 && k < length; ++k)
            escape(std::uint8_t(bytes[i + k]));
        if (!c1)
            utf8.append(bytes.substr(i, length));
        i += length;
    }
    return QString::fromStdString(utf8);
}

std::string fileNameBytes(const QString& text) {
    std::string bytes;
    bytes.reserve(std::size_t(text.size()));
    qsizetype plainFrom = 0;
    const auto flushPlain = [&](qsizetype to) {
        if (to > plainFrom)
            bytes += text.mid(plainFrom, to - plainFrom).toStdString();
    };
    for (qsizetype i = 0; i < text.size();) {
        if (text[i] != u'\\') {
            ++i;
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == u'\\') {
            flushPlain(i);
            bytes += '\\';
            i += 2;
            plainFrom = i;
            continue;
        }
        const int byte = escapedByte(text, i);
        if (byte < 0) {
            ++i; // a lone backslash is itself
            continue;
        }
        flushPlain(i);
        bytes += char(byte);
        i += 4;
        plainFrom = i;
    }
    flushPlain(text.size());
    return bytes;
}

std::vector<FolderEntry> folderEntries(const QString& folder) {
    std::vector<FolderEntry> entries;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(fileNameBytes(folder).c_str()),
                                                  &::closedir);
    if (!dir)
        return entries;
    const int dirFd = ::dirfd(dir.get());
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        // The entry's type where the file system gives it; a link, or a file system that does
        // not say, is asked what the name leads to.
        bool folderHere = entry->d_type == DT_DIR;
        bool fileHere = entry->d_type == DT_REG;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat st {};
            if (::fstatat(dirFd, entry->d_name, &st, 0) != 0)
                continue;
            folderHere = S_ISDIR(st.st_mode);
            fileHere = S_ISREG(st.st_mode);
        }
        if (folderHere || fileHere)
            entries.push_back({fileNameText(name), folderHere});
    }
    return entries;
}

bool isFolder(const QString& path) {
    struct stat st {};
    return !path.isEmpty() && ::stat(fileNameBytes(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool pathIsTaken(const QString& path) {
    struct stat st {};
    return !path.isEmpty() && ::lstat(fileNameBytes(path).c_str(), &st) == 0;
}

QString absolutePath(const QString& path) {
    if (path.startsWith(u'/'))
        return path;
    // The current folder may itself have a name that is not UTF-8.
    const std::unique_ptr<char, void (*)(void*)> current(::getcwd(nullptr, 0), &std::free);
    if (!current)
        return path;
    const QString base = fileNameText(current.get());
    return path.isEmpty() ? base : base + (base.endsWith(u'/') ? "" : "/") + path;
}

} // namespace qm::platform
