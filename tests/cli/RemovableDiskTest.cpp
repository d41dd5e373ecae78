// FAT and exFAT, as on a USB stick: real images mounted through FUSE, where there are no
// unnamed files, no hard links and no rename that refuses to replace.
#include "tests/support/CommandOutput.h"
#include "tests/support/TestFonts.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace testfonts;

namespace {

const std::string kCli = QM_BINARY_DIR "/cli/quillmark-cli";
const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu/";

std::string inQuotes(const std::string& text) {
    return "'" + text + "'";
}

// The disk tools (mkfs, losetup, mount.exfat-fuse) live in sbin, which an ordinary user's PATH,
// and a root shell's in some containers, leave out.
const std::string kWithSbin = "PATH=\"$PATH:/usr/sbin:/sbin\" ";

// The shell's status of `command`, its output thrown away.
int shell(const std::string& command) {
    const int status = std::system(
        (kWithSbin + "ASAN_OPTIONS=detect_leaks=0 " + command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

enum class Disk { Fat, ExFat };

// An image of `disk` made and mounted in a folder of its own, unmounted at the end. Root
// mounts exFAT from a loop device, as its FUSE driver asks root for a block device.
class MountedImage {
public:
    MountedImage(Disk disk, bool readOnly, const std::string& image = {}) {
        image_ = image.empty() ? dir_.File("disk.img") : image;
        mountPoint_ = dir_.File("mnt");
        std::filesystem::create_directory(mountPoint_);
        if (image.empty()) {
            const std::string make = disk == Disk::Fat ? "mkfs.vfat " : "mkfs.exfat ";
            if (shell("truncate -s 96M " + inQuotes(image_)) != 0 ||
                shell(make + inQuotes(image_)) != 0) {
                problem_ = "cannot make the image";
                return;
            }
        }
        std::string device = image_;
        if (disk == Disk::ExFat && ::geteuid() == 0) {
            device =
                CommandOutput(kWithSbin + "losetup -f --show " + inQuotes(image_) + " 2>/dev/null");
            while (!device.empty() && device.back() == '\n')
                device.pop_back();
            loop_ = device;
            if (device.empty()) {
                problem_ = "no loop device for root's exFAT mount";
                return;
            }
        }
        const std::string mount = disk == Disk::Fat
                                      ? "fusefat " + std::string(readOnly ? "-o ro " : "-o rw+ ")
                                      : "mount.exfat-fuse " + std::string(readOnly ? "-o ro " : "");
        if (shell(mount + inQuotes(device) + " " + inQuotes(mountPoint_)) != 0)
            problem_ = "cannot mount the image: " + mount;
        else
            mounted_ = true;
    }
    ~MountedImage() {
        if (mounted_)
            for (int attempt = 0;
                 attempt < 50 && shell("fusermount -u " + inQuotes(mountPoint_)) != 0; ++attempt)
                ::usleep(100000);
        if (!loop_.empty())
            shell("losetup -d " + inQuotes(loop_));
    }
    MountedImage(const MountedImage&) = delete;
    MountedImage& operator=(const MountedImage&) = delete;

    const std::string& problem() const { return problem_; }
    const std::string& image() const { return image_; }
    std::string file(const std::string& name) const { return mountPoint_ + "/" + name; }
    std::vector<std::string> names() const {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(mountPoint_))
            found.push_back(entry.path().filename().string());
        std::sort(found.begin(), found.end());
        return found;
    }

private:
    TempDir dir_;
    std::string image_;
    std::string mountPoint_;
    std::string loop_;
    bool mounted_ = false;
    std::string problem_;
};

// An ordinary user mounts through /dev/fuse; where it is closed to them, only root's pass can.
bool fuseIsClosedToThisUser() {
    return ::geteuid() != 0 && ::access("/dev/fuse", R_OK | W_OK) != 0;
}

// exfat-fuse always mounts with allow_other, which fusermount grants a user only when
// /etc/fuse.conf says user_allow_other.
bool exFatIsClosedToThisUser() {
    return ::geteuid() != 0 &&
           shell("grep -qE '^[[:space:]]*user_allow_other' /etc/fuse.conf") != 0;
}

class RemovableDiskTest : public testing::TestWithParam<Disk> {
protected:
    void SetUp() override {
        if (fuseIsClosedToThisUser())
            GTEST_SKIP() << "/dev/fuse is closed to this user, so FUSE cannot mount here; the "
                            "root pass mounts FAT and exFAT";
        if (GetParam() == Disk::ExFat && exFatIsClosedToThisUser())
            GTEST_SKIP() << "exfat-fuse needs user_allow_other in /etc/fuse.conf to mount for "
                            "this user; the root pass mounts exFAT";
    }
};

// What users' software reads from each copy: fontTools and OpenType Sanitizer.
void expectOthersRead(const std::string& path, const std::string& family) {
    EXPECT_EQ(CommandOutput("/usr/bin/python3 -c \"import sys; from fontTools.ttLib import TTFont; "
                            "print(TTFont(sys.argv[1])['name'].getDebugName(1))\" " +
                            inQuotes(path) + " 2>&1"),
              family + "\n")
        << path;
    EXPECT_EQ(shell("ots-sanitize " + inQuotes(path)), 0) << path;
}

TEST_P(RemovableDiskTest, aFamilyIsMadeCompleteAndRestoresThere) {
    const MountedImage disk(GetParam(), false);
    ASSERT_EQ(disk.problem(), "");
    ASSERT_EQ(shell(kCli + " make --family 'Quill Demo' --out-dir " + inQuotes(disk.file("")) +
                    " " + kDejaVu + "DejaVuSans.ttf " + kDejaVu + "DejaVuSans-Bold.ttf " + kDejaVu +
                    "DejaVuSans-Oblique.ttf"),
              0);
    const std::vector<std::string> copies = {"QuillDemo-Bold.ttf", "QuillDemo-Book.ttf",
                                             "QuillDemo-Oblique.ttf"};
    // No temporary file and no empty reservation is left beside them.
    ASSERT_EQ(disk.names(), copies);
    std::string all;
    std::vector<Bytes> made;
    for (const std::string& name : copies) {
        expectOthersRead(disk.file(name), "Quill Demo");
        all += " " + inQuotes(disk.file(name));
        made.push_back(ReadFile(disk.file(name)));
    }
    ASSERT_EQ(shell(kCli + " restore" + all), 0);
    expectOthersRead(disk.file(copies[0]), "DejaVu Sans");
    ASSERT_EQ(shell(kCli + " restore" + all), 0);
    for (std::size_t i = 0; i < copies.size(); ++i)
        EXPECT_EQ(ReadFile(disk.file(copies[i])), made[i]) << copies[i];

    // An existing file is never replaced.
    EXPECT_EQ(shell(kCli + " make " + kDejaVu + "DejaVuSans.ttf " +
                    inQuotes(disk.file("QuillDemo-Book.ttf"))),
              1);
    EXPECT_EQ(ReadFile(disk.file("QuillDemo-Book.ttf")), made[1]);
}

// Killed at any write of the copy or at the steps that give it its name, a make leaves no
// partial copy under the name: nothing, an empty reservation or the whole copy. The next make
// into the folder clears what the dead one left, and makes its copy.
TEST_P(RemovableDiskTest, aKilledMakeLeavesNoPartialCopyAndTheNextRunClearsItsLeftovers) {
    const MountedImage disk(GetParam(), false);
    ASSERT_EQ(disk.problem(), "");
    TempDir dir;
    Bytes font = SimpleFont();
    // Three blocks of the copy, so that a kill can come between them.
    font.resize(3 << 20, 0x5A);
    const std::string source = dir.File("SOURCE.TTF");
    WriteFile(source, font);
    const std::string target = disk.file("NEW.TTF");
    const std::string make = kCli + " make --family Fresh " + inQuotes(source) + " ";
    ASSERT_EQ(shell(make + inQuotes(target)), 0);
    const Bytes complete = ReadFile(target);
    std::filesystem::remove(target);

    int killed = 0;
    for (const std::string call : {"pwrite64", "fsync", "openat", "rename"})
        for (int n = 1; n <= 6; ++n) {
            const std::string where = call + " #" + std::to_string(n);
            const int status =
                shell("strace -f -o /dev/null -e inject=" + call +
                      ":signal=SIGKILL:when=" + std::to_string(n) + " " + make + inQuotes(target));
            killed += status == 128 + SIGKILL ? 1 : 0;
            // A kill after the name was given leaves the whole copy, which is no leftover.
            struct stat st {};
            const bool published = ::lstat(target.c_str(), &st) == 0 && st.st_size != 0;
            if (published) {
                EXPECT_EQ(ReadFile(target), complete) << where << ": a partial copy";
            }
            // The next run finds the dead one's files by their pattern and clears them.
            const std::string other = disk.file("OTHER.TTF");
            EXPECT_EQ(
                shell(kCli + " make --family Other " + inQuotes(source) + " " + inQuotes(other)), 0)
                << where;
            const std::vector<std::string> expected =
                published ? std::vector<std::string>{"NEW.TTF", "OTHER.TTF"}
                          : std::vector<std::string>{"OTHER.TTF"};
            EXPECT_EQ(disk.names(), expected) << where;
            std::filesystem::remove(target);
            std::filesystem::remove(other);
        }
    EXPECT_GT(killed, 10);
}

// A renamed copy on a disk mounted read-only: the restore says so and changes nothing.
TEST_P(RemovableDiskTest, aRestoreOnAReadOnlyMountSaysSo) {
    std::string image;
    Bytes made;
    TempDir keep;
    {
        const MountedImage disk(GetParam(), false);
        ASSERT_EQ(disk.problem(), "");
        ASSERT_EQ(shell(kCli + " make --family Fresh " + kDejaVu + "DejaVuSans.ttf " +
                        inQuotes(disk.file("NEW.TTF"))),
                  0);
        made = ReadFile(disk.file("NEW.TTF"));
        image = keep.File("disk.img");
        std::filesystem::copy_file(disk.image(), image);
    }
    const MountedImage disk(GetParam(), true, image);
    ASSERT_EQ(disk.problem(), "");
    EXPECT_EQ(CommandOutput(kCli + " restore " + inQuotes(disk.file("NEW.TTF")) + " 2>&1; echo $?"),
              "quillmark-cli: " + disk.file("NEW.TTF") +
                  ": The font file is on a read-only file system.\n1\n");
    EXPECT_EQ(ReadFile(disk.file("NEW.TTF")), made);
}

INSTANTIATE_TEST_SUITE_P(Disks, RemovableDiskTest, testing::Values(Disk::Fat, Disk::ExFat),
                         [](const auto& info) {
                             return std::string(info.param == Disk::Fat ? "Fat" : "ExFat");
                         });

} // namespace
