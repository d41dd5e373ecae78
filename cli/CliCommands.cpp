#include "cli/CliCommands.h"

#include "cli/RecordOutput.h"
#include "core/EInOutError.h"
#include "core/FontFile.h"
#include "core/NamingRules.h"
#include "core/Windows1252.h"

#include <map>
#include <optional>
#include <sys/stat.h>

namespace {

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

constexpr const char* UsageText =
    "usage: quillmark-cli read [--json] FONT...\n"
    "       quillmark-cli make [--json] SOURCE NEWFILE [--family T] [--style T] [--version T]\n"
    "                          [--font-id T] [--copyright T] [--trademark T]\n"
    "       quillmark-cli restore [--json] FILE\n";

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
    std::vector<std::string> operands;
    std::map<std::string, std::string> texts;
};

Arguments Parse(const std::vector<std::string>& args, bool takesTexts) {
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
        } else if (takesTexts && TextOptions.count(arg) != 0) {
            if (i + 1 >= args.size())
                throw UsageError{arg + " needs a text"};
            parsed.texts[arg] = args[++i];
        } else {
            throw UsageError{"unknown option " + arg};
        }
    }
    return parsed;
}

class Cli {
public:
    Cli(std::ostream& out, std::ostream& err) : Out_(out), Err_(err) {}

    int Read(const std::vector<std::string>& args) {
        const Arguments parsed = Parse(args, false);
        if (parsed.operands.empty())
            throw UsageError{"read needs at least one FONT"};
        Json_ = parsed.json;
        int status = ExitOk;
        for (const std::string& path : parsed.operands)
            if (!ReadAndPrint(path))
                status = ExitFailed;
        return status;
    }

    int Make(const std::vector<std::string>& args) {
        const Arguments parsed = Parse(args, true);
        if (parsed.operands.size() != 2)
            throw UsageError{"make needs SOURCE and NEWFILE"};
        Json_ = parsed.json;
        for (const char* option : {"--family", "--style"}) {
            const auto given = parsed.texts.find(option);
            if (given != parsed.texts.end() && !IsFamilyStyleText(given->second))
                throw UsageError{std::string(option) +
                                 " may hold only ASCII letters, digits and blanks"};
        }
        const std::string& source = parsed.operands[0];
        const std::string& newFile = parsed.operands[1];

        struct stat st {};
        if (::lstat(newFile.c_str(), &st) == 0)
            return Failed(newFile, "A TrueType font file with this name already exists.");
        if (!ReadOrReport(source))
            return Failed(source, Font_.ErrorText);

        // The boxes as a read fills them, with the given texts typed over them.
        NameTexts boxes = NameTextsOf(Font_.FontNames);
        for (const auto& [option, text] : parsed.texts)
            boxes.*TextOptions.at(option) = Utf8ToWindows1252(text);
        StoreNameTexts(DeriveNameTexts(boxes, Font_.FontNames.FamilyName), Font_.FontNames);
        Font_.SourceFontPath = source;
        try {
            Font_.WriteRenamedFont(newFile);
        } catch (const EInOutError& error) {
            return Failed(newFile, error.what());
        }
        Font_.IsRenamed = true;
        Print(newFile);
        return ExitOk;
    }

    int Restore(const std::vector<std::string>& args) {
        const Arguments parsed = Parse(args, false);
        if (parsed.operands.size() != 1)
            throw UsageError{"restore needs one FILE"};
        Json_ = parsed.json;
        const std::string& path = parsed.operands[0];
        SwapOutcome outcome;
        try {
            outcome = Font_.SwapNameTables(path);
        } catch (const EInOutError& error) {
            return Failed(path, error.what());
        }
        if (outcome == SwapOutcome::soInUse)
            return Failed(path, FontFile::FontInUseText);
        if (outcome == SwapOutcome::soNotValid)
            return Failed(path, FontFile::NotValidFontText);
        if (!ReadAndPrint(path))
            return Failed(path, FontFile::NotValidFontText);
        return ExitOk;
    }

private:
    // Reads `path`; an I/O error becomes a failed read carrying the error's text.
    bool ReadOrReport(const std::string& path) {
        try {
            Font_.ReadFontNames(path);
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
        Out_ << (Json_ ? RecordJson(path, Font_) : RecordBlock(path, Font_));
    }

    int Failed(const std::string& path, const std::string& text) {
        Err_ << "quillmark-cli: " << path << ": " << Windows1252ToUtf8(text) << "\n";
        return ExitFailed;
    }

    std::ostream& Out_;
    std::ostream& Err_;
    bool Json_ = false;
    FontFile Font_;
};

} // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h" || args[0] == "help")) {
        out << UsageText;
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
