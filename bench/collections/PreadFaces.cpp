// The least a reader of a collection's names can do, as a yardstick: one open, one pread for
// the header and one for the face offsets, then per face one each for its directory, its name
// table and its head table, and the English family picked from the records; a line per face.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::uint16_t U16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
}
std::uint32_t U32(const unsigned char* p) {
    return std::uint32_t{U16(p)} << 16 | U16(p + 2);
}

std::string FamilyOfFace(int fd, std::uint32_t faceOffset) {
    std::string family;
    unsigned char header[12];
    if (::pread(fd, header, 12, faceOffset) != 12)
        return family;
    const std::uint16_t numTables = U16(header + 4);
    std::vector<unsigned char> dir(16u * numTables);
    std::uint32_t nameOffset = 0, nameLength = 0, headOffset = 0;
    if (::pread(fd, dir.data(), dir.size(), faceOffset + 12) != static_cast<ssize_t>(dir.size()))
        return family;
    for (std::size_t i = 0; i < numTables; ++i) {
        const unsigned char* e = dir.data() + 16 * i;
        if (std::memcmp(e, "name", 4) == 0) {
            nameOffset = U32(e + 8);
            nameLength = U32(e + 12);
        } else if (std::memcmp(e, "head", 4) == 0) {
            headOffset = U32(e + 8);
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
    unsigned char head[54];
    if (::pread(fd, head, 54, headOffset) == 54)
        family += static_cast<char>(head[45] & 3);
    return family;
}

} // namespace

int main(int argc, char** argv) {
    for (int arg = 1; arg < argc; ++arg) {
        const int fd = ::open(argv[arg], O_RDONLY | O_CLOEXEC);
        unsigned char header[12];
        if (fd < 0 || ::pread(fd, header, 12, 0) != 12)
            continue;
        const std::uint32_t count = U32(header + 8);
        std::vector<unsigned char> offsets(4u * count);
        if (::pread(fd, offsets.data(), offsets.size(), 12) == static_cast<ssize_t>(offsets.size()))
            for (std::uint32_t face = 0; face < count; ++face) {
                const std::string family = FamilyOfFace(fd, U32(offsets.data() + 4 * face));
                std::printf("%s#%u\t", argv[arg], face);
                std::fwrite(family.data(), 1, family.size(), stdout);
                std::putchar('\n');
            }
        ::close(fd);
    }
    return 0;
}
