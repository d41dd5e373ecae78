#pragma once

#include <ostream>
#include <string>
#include <vector>

// quillmark-cli read [--json] FONT...
// quillmark-cli make [--json] SOURCE NEWFILE [--family T] [--style T] [--version T]
//                    [--font-id T] [--copyright T] [--trademark T]
// quillmark-cli restore [--json] FILE
// Returns the exit status: 0 success, 1 a font failed, 2 a usage error.
int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
