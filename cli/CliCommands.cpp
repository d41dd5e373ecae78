#include "cli/CliCommands.h"

#include "cli/NameRecordOutput.h"
#include "cli/RecordOutput.h"
#include "core/EInOutError.h"
#include "core/NameSwap.h"
#include "core/NamingRules.h"
#include "core/RenamedFontWriter.h"
#include "core/Windows1252.h"

#include "QuillmarkVersion.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;
// restore changed a file but could not confirm the change on disk.
constexpr int ExitNotConfirmed = 3;

constexpr const char* UsageText =
    "usage: quillmark-cli read [--json] [--all] FONT...\n"
    "       quillmark-cli make [--json] SOURCE NEWFILE [--family T] [--style T] [--version T]\n"
    "                          [--font-id T] [--copyright T] [--trademark T]\n"
    "       quillmark-cli make [--json] --out-dir DIR [--family T] [--style T] ... FONT...\n"
    "       quillmark-cli restore [--json] FILE...\n"
    "       quillmark-cli --version\n";

struct UsageError {
    std::string message;
};

// The options of `make` and the box each one fills.
const std::map<std::string, std::string NameTexts::*> TextOptions = {
    {"--family", &NameTexts::FamilyName},   {"--style", &NameTexts::Style},
    {"--version", &NameTexts::Version},     {"--font-id", &NameTexts::FontID},
    {"--copyright", &NameTexts::Copyright}, {"--trademark", &NameTexts::TradeMark},
};

struct Arguments {
    bool json = false;
    bool all = false;
    std::optional<std::string> outDir;
    std::vector<std::string> operands;
    std::map<std::string, std::string> texts;
};

enum class Command { cmRead, cmMake, cmRestore };

Arguments Parse(const std::vector<std::string>& args, Command command) {
    Arguments parsed;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            parsed.operands.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--json") {
            parsed.json = true;
        } else if (arg == "--all" && command == Command::cmRead) {
            parsed.all = true;
        } else if (arg == "--out-dir" && command == Command::cmMake) {
            if (i + 1 >= args.size())
                throw UsageError{arg + " needs a folder"};
            parsed.outDir = args[++i];
        } else if (command == Command::cmMake && TextOptions.count(arg) != 0) {
            if (i + 1 >= args.size())
                throw UsageError{arg + " needs a text"};
            parsed.texts[arg] = args[++i];
        } else {
            throw UsageError{"unknown option " + arg};
        }
    }
    return parsed;
}

// The folder part and the extension of a path ("" when it has none).
std::string ExtensionOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash) ||
        dot == (slash == std::string::npos ? 0 : slash + 1))
        return {};
    return path.substr(dot);
}

// The file a path names, to find the same file given twice under different names.
std::optional<std::pair<dev_t, ino_t>> FileIdentity(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return std::make_pair(st.st_dev, st.st_ino);
}

class Cli {
public:
    Cli(std::ostream& out, std::ostream& err) : Out_(out), Err_(err) {}

    int Read(const std::vector<std::string>& args) {
        const Arguments parsed = Parse(args, Command::cmRead);
        if (parsed.operands.empty())
            throw UsageError{"read needs at least one FONT"};
        Json_ = parsed.json;
        All_ = parsed.all;
        int status = ExitOk;
        for (const std::string& path : parsed.operands)
            if (!ReadAndPrint(path))
                status = ExitFailed;
        return status;
    }

    int Make(const std::vector<std::string>& args) {
        const Arguments parsed = Parse(args, Command::cmMake);
        Json_ = parsed.json;
        for (const char* option : {"--family", "--style"}) {
            const auto given = parsed.texts.find(option);
            if (given != parsed.texts.end() && !IsFamilyStyleText(given->second))
                throw UsageError{std::string(option) +
                                 " may hold only ASCII letters, digits and blanks"};
        }
        if (parsed.outDir)
            return MakeFamily(parsed);
        if (parsed.operands.size() != 2)
            throw UsageError{"make needs SOURCE and NEWFILE"};
        const std::string& source = parsed.operands[0];
        const std::string& newFile = parsed.operands[1];

        struct stat st {};
        if (::lstat(newFile.c_str(), &st) == 0)
            return Failed(newFile, FileExistsText);
        if (!ReadOrReport(source))
            return Failed(source, Font_.ErrorText);
        StoreGivenTexts(parsed);
        try {
            WriteRenamedFont(source, newFile, Font_.FontNames);
        } catch (const EInOutError& error) {
            return Failed(newFile, error.what());
        } catch (const EMakeRefused& error) {
            return Failed(newFile, error.what());
        }
        Font_.IsRenamed = true;
        Print(newFile);
        return ExitOk;
    }

    int Restore(const std::vector<std::string>& args) {
        const Arguments parsed = Parse(args, Command::cmRestore);
        if (parsed.operands.empty())
            throw UsageError{"restore needs at least one FILE"};
        Json_ = parsed.json;
        RefuseTheSameFileTwice(parsed.operands);
        // All or nothing: a file that cannot be swapped has the ones swapped before it swapped
        // back, so every file ends as it was. The swap is its own inverse.
        std::vector<std::string> swapped;
        std::vector<FontRead> reads;
        for (const std::string& path : parsed.operands) {
            const SwapResult swap = Swap(path);
            if (swap.Outcome != SwapOutcome::soSwapped) {
                Failed(path, SwapFailureText(swap));
                SwapBack(swapped);
                return swap.Outcome == SwapOutcome::soNotConfirmed ? ExitNotConfirmed : ExitFailed;
            }
            swapped.push_back(path);
            reads.push_back(swap.Read);
        }
        // Each swap's own final read, made under its lock: another reader cannot spoil it.
        for (std::size_t i = 0; i < swapped.size(); ++i) {
            Font_ = reads[i];
            Print(swapped[i]);
        }
        return ExitOk;
    }

private:
    static constexpr const char* FileExistsText =
        "A TrueType font file with this name already exists.";

    // One copy of a family run: where from, where to, and the names it gets.
    struct PlannedCopy {
        std::string source;
        std::string target;
        ::FontNames names;
    };

    // make --out-dir: one copy per source, named after its new PostScript name and the source's
    // extension. All or nothing: every source is read and every target checked before the first
    // copy is written, and when a copy fails, the copies this run made are removed again.
    // Nothing that existed before is touched.
    int MakeFamily(const Arguments& parsed) {
        if (parsed.operands.empty())
            throw UsageError{"make --out-dir needs at least one FONT"};
        std::string folder = *parsed.outDir;
        struct stat st {};
        if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return Failed(folder, "No such folder.");
        if (folder.back() != '/')
            folder += '/';

        std::vector<PlannedCopy> plan;
        std::set<std::string> targets;
        for (const std::string& source : parsed.operands) {
            if (!ReadOrReport(source))
                return FailedFamily(source, Font_.ErrorText);
            StoreGivenTexts(parsed);
            const std::string name = Windows1252ToUtf8(Font_.FontNames.Postscript);
            if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
                return FailedFamily(source,
                                    "its PostScript name \"" + name + "\" cannot be a file name.");
            const std::string target = folder + name + ExtensionOf(source);
            if (::lstat(target.c_str(), &st) == 0)
                return FailedFamily(target, FileExistsText);
            if (!targets.insert(target).second)
                return FailedFamily(target, "two sources would both be written here.");
            plan.push_back({source, target, Font_.FontNames});
        }

        std::vector<std::string> made;
        for (const PlannedCopy& copy : plan) {
            try {
                WriteRenamedFont(copy.source, copy.target, copy.names);
            } catch (const std::exception& error) {
                // Only what this run created goes; a failed copy leaves nothing of its own.
                for (const std::string& path : made)
                    ::unlink(path.c_str());
                return FailedFamily(copy.target, error.what());
            }
            made.push_back(copy.target);
        }
        for (const PlannedCopy& copy : plan)
            ReadAndPrint(copy.target);
        return ExitOk;
    }

    // The boxes as a read fills them, with the given texts typed over them, derived and stored.
    void StoreGivenTexts(const Arguments& parsed) {
        NameTexts boxes = NameTextsOf(Font_.FontNames);
        for (const auto& [option, text] : parsed.texts)
            boxes.*TextOptions.at(option) = Utf8ToWindows1252(text);
        StoreNameTexts(DeriveNameTexts(boxes, Font_.FontNames.FamilyName), Font_.FontNames);
    }

    void RefuseTheSameFileTwice(const std::vector<std::string>& paths) {
        std::set<std::pair<dev_t, ino_t>> seen;
        for (const std::string& path : paths) {
            const auto identity = FileIdentity(path);
            if (identity && !seen.insert(*identity).second)
                throw UsageError{path + " is named twice"};
        }
    }

    // A failed read or write that left the file as it was comes back as soNotValid with the
    // error's text.
    static SwapResult Swap(const std::string& path) {
        try {
            return SwapNameTables(path);
        } catch (const EInOutError& error) {
            SwapResult failed;
            failed.ErrorText = error.what();
            return failed;
        }
    }

    static std::string SwapFailureText(const SwapResult& swap) {
        switch (swap.Outcome) {
        case SwapOutcome::soInUse:
            return SwapResult::FontInUseText;
        case SwapOutcome::soNotConfirmed:
            return std::string(SwapResult::NotConfirmedText) + "\r" + swap.ErrorText;
        default:
            return swap.ErrorText.empty() ? SwapResult::NotValidFontText : swap.ErrorText;
        }
    }

    void SwapBack(const std::vector<std::string>& swapped) {
        for (auto it = swapped.rbegin(); it != swapped.rend(); ++it)
            if (Swap(*it).Outcome != SwapOutcome::soSwapped)
                Err_ << "quillmark-cli: " << *it << ": could not be swapped back; it is left "
                     << "restored\n";
    }

    // Reads `path`; an I/O error becomes a failed read carrying the error's text.
    bool ReadOrReport(const std::string& path) {
        try {
            Font_ = ReadFontNames(path);
        } catch (const EInOutError& error) {
            Font_.ReadFailed = true;
            Font_.ErrorText = error.what();
        }
        return !Font_.ReadFailed;
    }

    bool ReadAndPrint(const std::string& path) {
        const bool good = ReadOrReport(path);
        Print(path);
        return good;
    }

    void Print(const std::string& path) {
        if (!All_) {
            Out_ << (Json_ ? RecordJson(path, Font_) : RecordBlock(path, Font_));
            return;
        }
        FontNameTables tables;
        try {
            tables = ListFontNameTables(path);
        } catch (const EInOutError& error) {
            tables.Problem = error.what();
        }
        if (Json_)
            Out_ << RecordJson(path, Font_, NameTablesJson(tables));
        else
            Out_ << RecordBlock(path, Font_) << NameTablesBlock(tables);
    }

    int Failed(const std::string& path, std::string text) {
        // The program's messages end their lines with a lone CR.
        std::replace(text.begin(), text.end(), '\r', '\n');
        Err_ << "quillmark-cli: " << path << ": " << Windows1252ToUtf8(text) << "\n";
        return ExitFailed;
    }

    int FailedFamily(const std::string& path, const std::string& text) {
        Failed(path, text);
        Err_ << "quillmark-cli: no copy was made\n";
        return ExitFailed;
    }

    std::ostream& Out_;
    std::ostream& Err_;
    bool Json_ = false;
    bool All_ = false;
    FontRead Font_;
};

} // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h" || args[0] == "help")) {
        out << UsageText;
        return ExitOk;
    }
    if (args.size() == 1 && (args[0] == "--version" || args[0] == "-v")) {
        out << "quillmark-cli " << qm::kVersion << "\n";
        return ExitOk;
    }
    try {
        Cli cli(out, err);
        if (args.empty())
            throw UsageError{"no command given"};
        if (args[0] == "read")
            return cli.Read(args);
        if (args[0] == "make")
            return cli.Make(args);
        if (args[0] == "restore")
            return cli.Restore(args);
        throw UsageError{"unknown command " + args[0]};
    } catch (const UsageError& error) {
        err << "quillmark-cli: " << error.message << " (see quillmark-cli --help)\n";
        return ExitUsage;
    } catch (const std::exception& error) {
        err << "quillmark-cli: " << error.what() << "\n";
        return ExitFailed;
    }
}
