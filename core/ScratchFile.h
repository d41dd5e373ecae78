#pragma once

#include <string>
#include <string_view>

namespace qm::core {

// A file of the temporary folder, named PREFIX-PID-N, for the while a copy is made through a
// path: a collection's face or a decoded web font given to the writer, or the writer's output
// taken back. It is removed with this object, whatever happened in between.
class ScratchFile {
public:
    // A new file holding `bytes`. Raises EInOutError, with nothing left behind.
    ScratchFile(std::string_view prefix, std::string_view bytes);
    // Only a name no file has yet, for a writer to create and publish at; whatever is written
    // there is removed with this object.
    static ScratchFile freeName(std::string_view prefix);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& path() const { return path_; }

private:
    explicit ScratchFile(std::string_view prefix);
    std::string nextName(std::string_view prefix);

    unsigned tried_ = 0;
    std::string path_;
    bool ours_ = false; // false only while a creation is still being tried
};

} // namespace qm::core
