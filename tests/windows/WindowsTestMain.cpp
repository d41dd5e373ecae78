// The suites' start on Windows, with the cases that cannot hold there left out by name, each
// with its reason; ctest lists them as skipped.

#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <string>

namespace {

const std::map<std::string, std::string> kSkipped = {
    {"Reader.aFifoIsNotAFontFileAndDoesNotHang",
     "Windows has no FIFOs in its file systems; a pipe's \\\\.\\ path is refused as a device"},
    {"Reader.aFileLockedExclusivelyElsewhereRaisesAnIoError",
     "it holds the file with flock, which Windows lacks; WindowsFileLayer."
     "aFileHeldOpenElsewhereIsReportedAndLeftAlone holds it as Windows programs do"},
    {"NameSwapTest.AFileLockedByAnotherProgramIsInUse",
     "it holds the file with flock, which Windows lacks; WindowsFileLayer."
     "aFileHeldOpenElsewhereIsReportedAndLeftAlone and aSwapHoldsAnExclusiveLockThatKeepsOthersOut "
     "hold it as Windows programs do"},
    {"Rows/InOutErrorTest.CarriesErrnoCodeAndText/Locked",
     "its second line is glibc's text for EWOULDBLOCK; on Windows the system's description is "
     "FormatMessageW's for the sharing violation"},
    {"Rows/InOutErrorTest.CarriesErrnoCodeAndText/Io",
     "its second line is glibc's text for EIO; on Windows it is FormatMessageW's for the device "
     "error"},
};

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    std::string filter = testing::GTEST_FLAG(filter);
    if (const auto skipped = kSkipped.find(filter); skipped != kSkipped.end()) {
        std::cout << "[  SKIPPED ] " << filter << ": " << skipped->second << "\n";
        return 0;
    }
    // A run of a whole suite leaves them out as well; a listing names them, for ctest.
    if (testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    filter += filter.find('-') == std::string::npos ? "-" : ":";
    for (const auto& [name, reason] : kSkipped)
        filter += name + ":";
    testing::GTEST_FLAG(filter) = filter;
    return RUN_ALL_TESTS();
}
