#include "core/WebFontCodecs.h"

#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <woff2/decode.h>
#include <woff2/encode.h>
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

} // namespace

std::string webFontCodecsMissing() {
    return {};
}

bool inflateInto(std::string_view packed, char* out, std::size_t size) {
    uLongf inflated = size;
    return ::uncompress(reinterpret_cast<Bytef*>(out), &inflated,
                        reinterpret_cast<const Bytef*>(packed.data()), packed.size()) == Z_OK &&
           inflated == size;
}

std::optional<std::string> deflated(std::string_view bytes) {
    std::string packed(compressBound(bytes.size()), '\0');
    uLongf packedSize = packed.size();
    if (::compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
                    reinterpret_cast<const Bytef*>(bytes.data()), bytes.size(),
                    Z_BEST_COMPRESSION) != Z_OK)
        return std::nullopt;
    packed.resize(packedSize);
    return packed;
}

Woff2Decoded decodeWoff2(std::string_view woff2, std::size_t claimed, std::string& sfnt) {
    sfnt.clear();
    ClaimedSizeOut out(sfnt, claimed);
    if (woff2::ConvertWOFF2ToTTF(reinterpret_cast<const std::uint8_t*>(woff2.data()), woff2.size(),
                                 &out))
        return Woff2Decoded::Decoded;
    return out.wentBeyond() ? Woff2Decoded::BeyondClaimed : Woff2Decoded::Failed;
}

std::optional<std::string> encodeWoff2(std::string_view sfnt) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(sfnt.data());
    std::string woff2(woff2::MaxWOFF2CompressedSize(data, sfnt.size()), '\0');
    std::size_t length = woff2.size();
    const QuietStandardError quiet;
    if (!woff2::ConvertTTFToWOFF2(data, sfnt.size(), reinterpret_cast<std::uint8_t*>(woff2.data()),
                                  &length))
        return std::nullopt;
    woff2.resize(length);
    return woff2;
}

} // namespace qm::core
