#pragma once

// quillmark-cli run as its own process under strace, for tests that stop it at one system call.

#include "tests/support/TestFonts.h"

#include <map>
#include <string>
#include <vector>

namespace tracedcli {

// Runs quillmark-cli under strace with `straceOptions` first, its stderr to `errors`; returns
// the wait status, which strace makes the program's own.
int runTraced(const std::vector<std::string>& straceOptions, const std::vector<std::string>& args,
              const std::string& errors = "/dev/null");

// How often a normal run with `args` calls each of `calls`; strace's log goes to `log`.
std::map<std::string, int> callCounts(const std::vector<std::string>& calls,
                                      const std::vector<std::string>& args, const std::string& log);

// Every file of `folder` by name, with its bytes.
std::map<std::string, testfonts::Bytes> contentsOf(const std::string& folder);

} // namespace tracedcli
