#include "tests/cli/TracedCli.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace tracedcli {

int runTraced(const std::vector<std::string>& straceOptions, const std::vector<std::string>& args,
              const std::string& errors) {
    std::vector<std::string> all = {"strace", "-f", "-o", "/dev/null"};
    all.insert(all.end(), straceOptions.begin(), straceOptions.end());
    all.push_back(QM_BINARY_DIR "/cli/quillmark-cli");
    all.insert(all.end(), args.begin(), args.end());
    const pid_t child = ::fork();
    if (child == 0) {
        // LeakSanitizer cannot run under ptrace.
        ::setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
        ::dup2(::open("/dev/null", O_WRONLY), 1);
        ::dup2(::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
        std::vector<char*> argv;
        for (std::string& arg : all)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        ::execvp("strace", argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

std::map<std::string, int> callCounts(const std::vector<std::string>& calls,
                                      const std::vector<std::string>& args,
                                      const std::string& log) {
    std::string traced;
    for (const std::string& call : calls)
        traced += (traced.empty() ? "" : ",") + call;
    runTraced({"-o", log, "-e", "trace=" + traced}, args);
    std::map<std::string, int> counts;
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);)
        for (const std::string& call : calls)
            if (line.find(" " + call + "(") != std::string::npos)
                ++counts[call];
    return counts;
}

std::map<std::string, testfonts::Bytes> contentsOf(const std::string& folder) {
    std::map<std::string, testfonts::Bytes> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files[entry.path().filename().string()] = testfonts::ReadFile(entry.path().string());
    return files;
}

} // namespace tracedcli
