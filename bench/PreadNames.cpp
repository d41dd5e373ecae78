// The least a name reader can do, as a yardstick: per font one open, one pread each for the
// header, the directory, the name table, the head table and the last 46 bytes, then the
// English family names picked from the records. No checks beyond staying inside the buffers.
// Like the reader it is compared with, it prints a line per font: the path and the family's
// bytes as stored (the reader prints every name as JSON).
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::uint16_t U16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
}
std::uint32_t U32(const unsigned char* p) {
    return std::uint32_t{U16(p)} << 16 | U16(p + 2);
}

std::string FamilyOf(const char* path) {
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    std::string family;
    unsigned char header[12];
    struct stat st {};
    if (::fstat(fd, &st) == 0 && ::pread(fd, header, 12, 0) == 12) {
        const std::uint16_t numTables = U16(header + 4);
        std::vector<unsigned char> dir(16u * numTables);
        std::uint32_t nameOffset = 0, nameLength = 0, headOffset = 0;
        if (::pread(fd, dir.data(), dir.size(), 12) == static_cast<ssize_t>(dir.size())) {
            for (std::size_t i = 0; i < numTables; ++i) {
                const unsigned char* e = dir.data() + 16 * i;
                if (std::string(reinterpret_cast<const char*>(e), 4) == "name") {
                    nameOffset = U32(e + 8);
                    nameLength = U32(e + 12);
                } else if (std::string(reinterpret_cast<const char*>(e), 4) == "head") {
                    headOffset = U32(e + 8);
                }
            }
        }
        std::vector<unsigned char> name(nameLength);
        if (nameLength >= 6 &&
            ::pread(fd, name.data(), nameLength, nameOffset) == static_cast<ssize_t>(nameLength)) {
            const std::uint16_t count = U16(name.data() + 2);
            const std::uint16_t storage = U16(name.data() + 4);
            for (std::size_t i = 0; i < count && 6 + 12 * (i + 1) <= nameLength; ++i) {
                const unsigned char* r = name.data() + 6 + 12 * i;
                const std::size_t at = std::size_t{storage} + U16(r + 10);
                if (U16(r + 6) == 1 && at + U16(r + 8) <= nameLength)
                    family.assign(reinterpret_cast<const char*>(name.data() + at), U16(r + 8));
            }
        }
        unsigned char head[54], tail[46];
        if (::pread(fd, head, 54, headOffset) == 54 && st.st_size >= 46 &&
            ::pread(fd, tail, 46, st.st_size - 46) == 46)
            family += static_cast<char>(head[45] & 3);
    }
    ::close(fd);
    return family;
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string family = FamilyOf(argv[i]);
        std::fputs(argv[i], stdout);
        std::putchar('\t');
        std::fwrite(family.data(), 1, family.size(), stdout);
        std::putchar('\n');
    }
    return 0;
}
