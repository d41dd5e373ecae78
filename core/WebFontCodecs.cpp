#include "core/WebFontCodecs.h"

#include <cstdint>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>
#include <woff2/output.h>
#include <zlib.h>

namespace qm::core {

namespace {

// The decoder's output, held to the size the header claims.
class ClaimedSizeOut : public woff2::WOFF2Out {
public:
    ClaimedSizeOut(std::string& out, std::size_t claimed) : out_(out), claimed_(claimed) {}
    bool Write(const void* buf, size_t n) override { return Write(buf, out_.size(), n); }
    bool Write(const void* buf, size_t offset, size_t n) override {
        if (offset > claimed_ || n > claimed_ - offset) {
            beyond_ = true;
            return false;
        }
        if (offset + n > out_.size())
            out_.resize(offset + n);
        std::memcpy(out_.data() + offset, buf, n);
        return true;
    }
    size_t Size() override { return out_.size(); }
    bool wentBeyond() const { return beyond_; }

private:
    std::string& out_;
    std::size_t claimed_;
    bool beyond_ = false;
};

// The encoder reports its sizes on standard error, where they would read as the program's
// own messages: its standard error goes to /dev/null for the call.
class QuietStandardError {
public:
    QuietStandardError() {
        const int quiet = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (quiet >= 0) {
            saved_ = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
            if (saved_ >= 0)
                ::dup2(quiet, STDERR_FILENO);
            ::close(quiet);
        }
    }
    ~QuietStandardError() {
        if (saved_ >= 0) {
            ::dup2(saved_, STDERR_FILENO);
            ::close(saved_);
        }
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int saved_ = -1;
};

// zlib and the WOFF 2.0 library, loaded when the first web font is met rather than linked: linked,
// their seven libraries would be loaded at every start of the program, which costs a read of a
// font more than the read itself. The WOFF 2.0 functions are C++, found by their names as the
// compiler gives them (size_t is unsigned long, "m", on every 64-bit Debian architecture).
struct Codecs {
    int (*uncompress)(Bytef*, uLongf*, const Bytef*, uLong) = nullptr;
    int (*compress2)(Bytef*, uLongf*, const Bytef*, uLong, int) = nullptr;
    uLong (*compressBound)(uLong) = nullptr;
    bool (*decodeWoff2)(const std::uint8_t*, std::size_t, woff2::WOFF2Out*) = nullptr;
    std::size_t (*maxWoff2Size)(const std::uint8_t*, std::size_t) = nullptr;
    bool (*encodeWoff2)(const std::uint8_t*, std::size_t, std::uint8_t*, std::size_t*) = nullptr;
    std::string missing;
};

template <typename Function> void find(void* library, const char* name, Function& function) {
    if (library != nullptr)
        function = reinterpret_cast<Function>(::dlsym(library, name));
}

const Codecs& codecs() {
    static const Codecs loaded = [] {
        Codecs c;
        void* zlib = ::dlopen("libz.so.1", RTLD_NOW | RTLD_LOCAL);
        void* decoder = ::dlopen("libwoff2dec.so.1.0.2", RTLD_NOW | RTLD_LOCAL);
        void* encoder = ::dlopen("libwoff2enc.so.1.0.2", RTLD_NOW | RTLD_LOCAL);
        find(zlib, "uncompress", c.uncompress);
        find(zlib, "compress2", c.compress2);
        find(zlib, "compressBound", c.compressBound);
        find(decoder, "_ZN5woff217ConvertWOFF2ToTTFEPKhmPNS_8WOFF2OutE", c.decodeWoff2);
        find(encoder, "_ZN5woff222MaxWOFF2CompressedSizeEPKhm", c.maxWoff2Size);
        find(encoder, "_ZN5woff217ConvertTTFToWOFF2EPKhmPhPm", c.encodeWoff2);
        if (!c.uncompress || !c.compress2 || !c.compressBound)
            c.missing = "Web fonts need zlib (libz.so.1), which cannot be loaded.";
        else if (!c.decodeWoff2 || !c.maxWoff2Size || !c.encodeWoff2)
            c.missing = "Web fonts need the WOFF 2.0 library (libwoff2dec.so.1.0.2, "
                        "libwoff2enc.so.1.0.2), which cannot be loaded.";
        return c;
    }();
    return loaded;
}

} // namespace

std::string webFontCodecsMissing() {
    return codecs().missing;
}

// Each codec refuses its work where its library could not be loaded.
bool inflateInto(std::string_view packed, char* out, std::size_t size) {
    if (!codecs().uncompress)
        return false;
    uLongf inflated = size;
    return codecs().uncompress(reinterpret_cast<Bytef*>(out), &inflated,
                               reinterpret_cast<const Bytef*>(packed.data()),
                               packed.size()) == Z_OK &&
           inflated == size;
}

std::optional<std::string> deflated(std::string_view bytes) {
    if (!codecs().compress2)
        return std::nullopt;
    std::string packed(codecs().compressBound(bytes.size()), '\0');
    uLongf packedSize = packed.size();
    if (codecs().compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
                           reinterpret_cast<const Bytef*>(bytes.data()), bytes.size(),
                           Z_BEST_COMPRESSION) != Z_OK)
        return std::nullopt;
    packed.resize(packedSize);
    return packed;
}

Woff2Decoded decodeWoff2(std::string_view woff2, std::size_t claimed, std::string& sfnt) {
    sfnt.clear();
    if (!codecs().decodeWoff2)
        return Woff2Decoded::Failed;
    ClaimedSizeOut out(sfnt, claimed);
    if (codecs().decodeWoff2(reinterpret_cast<const std::uint8_t*>(woff2.data()), woff2.size(),
                             &out))
        return Woff2Decoded::Decoded;
    return out.wentBeyond() ? Woff2Decoded::BeyondClaimed : Woff2Decoded::Failed;
}

std::optional<std::string> encodeWoff2(std::string_view sfnt) {
    if (!codecs().encodeWoff2)
        return std::nullopt;
    const auto* data = reinterpret_cast<const std::uint8_t*>(sfnt.data());
    std::string woff2(codecs().maxWoff2Size(data, sfnt.size()), '\0');
    std::size_t length = woff2.size();
    const QuietStandardError quiet;
    if (!codecs().encodeWoff2(data, sfnt.size(), reinterpret_cast<std::uint8_t*>(woff2.data()),
                              &length))
        return std::nullopt;
    woff2.resize(length);
    return woff2;
}

} // namespace qm::core
