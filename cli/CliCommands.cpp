#include "cli/CliCommands.h"

#include "cli/NameRecordOutput.h"
#include "cli/RecordOutput.h"
#include "core/EInOutError.h"
#include "core/FileHandle.h"
#include "core/FontBytes.h"
#include "core/FullNameTexts.h"
#include "core/InterruptCleanup.h"
#include "core/NameSwap.h"
#include "core/NamingRules.h"
#include "core/RenamedFontWriter.h"
#include "core/UnpublishedCopy.h"
#include "core/Windows1252.h"
#include "session/FontSession.h"

#include "QuillmarkVersion.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
// restore changed a file but could not confirm the change on disk.
constexpr int kExitNotConfirmed = 3;
// A run that failed or was interrupted could not undo all it had changed: the files named on
// standard error are left changed.
constexpr int kExitLeftChanged = 4;

constexpr const char* kUsageText =
    "usage: quillmark-cli read [--json] [--all] FONT...\n"
    "       quillmark-cli make [--json] SOURCE NEWFILE [--family T] [--style T] [--version T]\n"
    "                          [--font-id T] [--copyright T] [--trademark T]\n"
    "       quillmark-cli make [--json] --out-dir DIR [--family T] [--style T] ... FONT...\n"
    "       quillmark-cli restore [--json] FILE...\n"
    "       quillmark-cli --help | --version\n"
    "\n"
    "exit status:\n"
    "  0  success\n"
    "  1  a font could not be read, made or restored (for make --out-dir and a restore of\n"
    "     several files: nothing was changed)\n"
    "  2  a usage error\n"
    "  3  restore changed a file but could not confirm the change on disk (the message names\n"
    "     the file; the files before it are swapped back)\n"
    "  4  a run that failed or was interrupted could not undo all it had changed (each file\n"
    "     left changed is named)\n";

struct UsageError {
    std::string message;
};

// The options of `make` and the box each one fills.
const std::map<std::string, std::string NameTexts::*> kTextOptions = {
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

enum class Command { Read, Make, Restore };

Arguments parse(const std::vector<std::string>& args, Command command) {
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
        } else if (arg == "--all" && command == Command::Read) {
            parsed.all = true;
        } else if (arg == "--out-dir" && command == Command::Make) {
            if (i + 1 >= args.size())
                throw UsageError{arg + " needs a folder"};
            parsed.outDir = args[++i];
        } else if (command == Command::Make && kTextOptions.count(arg) != 0) {
            if (i + 1 >= args.size())
                throw UsageError{arg + " needs a text"};
            parsed.texts[arg] = args[++i];
        } else {
            throw UsageError{"unknown option " + arg};
        }
    }
    return parsed;
}

// Letters and digits beyond ASCII that a family or style may hold on the command line: the
// blocks of the world's alphabets, syllabaries and ideographs, without their punctuation and
// symbol blocks. ASCII keeps the window's rule.
constexpr std::pair<char32_t, char32_t> kLetterBlocks[] = {
    {0x00C0, 0x00D6},   {0x00D8, 0x00F6}, {0x00F8, 0x02AF}, {0x0300, 0x036F}, {0x0370, 0x03FF},
    {0x0400, 0x052F},   {0x0531, 0x0587}, {0x05D0, 0x05EA}, {0x0620, 0x064A}, {0x0660, 0x0669},
    {0x0671, 0x06D3},   {0x0700, 0x08FF}, {0x0900, 0x0DFF}, {0x0E00, 0x0EFF}, {0x0F00, 0x0FFF},
    {0x1000, 0x109F},   {0x10A0, 0x10FF}, {0x1100, 0x11FF}, {0x1200, 0x139F}, {0x1780, 0x17FF},
    {0x1800, 0x18AF},   {0x1E00, 0x1FFF}, {0x3005, 0x3007}, {0x3041, 0x30FF}, {0x3100, 0x318F},
    {0x31F0, 0x31FF},   {0x3400, 0x4DBF}, {0x4E00, 0x9FFF}, {0xA000, 0xA4CF}, {0xAC00, 0xD7AF},
    {0xF900, 0xFAFF},   {0xFF10, 0xFF19}, {0xFF21, 0xFF3A}, {0xFF41, 0xFF5A}, {0xFF66, 0xFFDC},
    {0x20000, 0x3FFFF},
};

bool isNameInAnyScript(const std::string& utf8) {
    for (char32_t c : utf8ToUtf32(utf8)) {
        if (c < 0x80 ? isFamilyStyleChar(c)
                     : std::any_of(std::begin(kLetterBlocks), std::end(kLetterBlocks),
                                   [c](const auto& block) {
                                       return c >= block.first && c <= block.second;
                                   }))
            continue;
        return false;
    }
    return true;
}

// The folder part and the extension of a path ("" when it has none).
std::string extensionOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash) ||
        dot == (slash == std::string::npos ? 0 : slash + 1))
        return {};
    return path.substr(dot);
}

// The file a path names, to find the same file given twice under different names.
std::optional<std::pair<dev_t, ino_t>> fileIdentity(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return std::make_pair(st.st_dev, st.st_ino);
}

class Cli {
public:
    Cli(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

    int read(const std::vector<std::string>& args) {
        const Arguments parsed = parse(args, Command::Read);
        if (parsed.operands.empty())
            throw UsageError{"read needs at least one FONT"};
        json_ = parsed.json;
        all_ = parsed.all;
        int status = kExitOk;
        const Batch batch(*this);
        for (const std::string& path : parsed.operands)
            if (!readAndPrint(path))
                status = kExitFailed;
        return status;
    }

    int make(const std::vector<std::string>& args) {
        const Arguments parsed = parse(args, Command::Make);
        json_ = parsed.json;
        for (const char* option : {"--family", "--style"}) {
            const auto given = parsed.texts.find(option);
            if (given != parsed.texts.end() && !isNameInAnyScript(given->second))
                throw UsageError{std::string(option) + " may hold only letters, digits and blanks"};
        }
        if (parsed.outDir)
            return makeFamily(parsed);
        if (parsed.operands.size() != 2)
            throw UsageError{"make needs SOURCE and NEWFILE"};
        const std::string& source = parsed.operands[0];
        const std::string& newFile = parsed.operands[1];

        if (qm::session::pathIsTaken(newFile))
            return failed(newFile, kFileExistsText);
        PlannedCopy copy;
        copy.source = source;
        copy.target = newFile;
        std::string failure;
        if (!planCopy(parsed, copy, failure))
            return failed(source, failure);
        const qm::core::HeldInterrupts held;
        qm::core::PublishedCopies run;
        try {
            noteMade(copy, WriteRenamedFont(copy.source, copy.target, copy.newTexts,
                                            copy.sourceTexts, kKinds));
        } catch (const std::exception& error) {
            if (qm::core::heldInterrupt() != 0)
                return undoInterruptedMake(run);
            return failed(newFile, error.what());
        }
        if (qm::core::heldInterrupt() != 0)
            return undoInterruptedMake(run);
        sayCut(copy);
        readAndPrint(newFile, copy);
        return kExitOk;
    }

    int restore(const std::vector<std::string>& args) {
        const Arguments parsed = parse(args, Command::Restore);
        if (parsed.operands.empty())
            throw UsageError{"restore needs at least one FILE"};
        json_ = parsed.json;
        refuseTheSameFileTwice(parsed.operands);
        // What killed makes left in the folders about to be written goes first.
        std::set<std::string> folders;
        for (const std::string& path : parsed.operands)
            if (folders.insert(folderOf(path)).second)
                qm::core::removeStaleCopies(folderOf(path));
        // All or nothing, under errors and interrupts alike: a file that cannot be swapped has
        // the ones swapped before it swapped back, so every file ends as it was. The swap is
        // its own inverse. Interrupts wait for the checks between files.
        const qm::core::HeldInterrupts held;
        std::vector<std::string> swapped;
        std::vector<FontRead> reads;
        for (const std::string& path : parsed.operands) {
            if (qm::core::heldInterrupt() != 0)
                return undoInterruptedRestore(swapped);
            const SwapResult swap = swapFile(path);
            if (swap.outcome != SwapOutcome::Swapped) {
                failed(path, swapFailureText(path, swap));
                // The message above names a file left unconfirmed; these name the others.
                const std::vector<std::string> left = swapBack(swapped);
                if (!left.empty())
                    return leftChanged(left);
                if (swap.outcome == SwapOutcome::NotConfirmed)
                    return kExitNotConfirmed;
                if (const int signal = qm::core::heldInterrupt(); signal != 0)
                    qm::core::HeldInterrupts::endBy(signal);
                return kExitFailed;
            }
            swapped.push_back(path);
            reads.push_back(swap.read);
        }
        if (qm::core::heldInterrupt() != 0)
            return undoInterruptedRestore(swapped);
        // Each swap's own final read, made under its lock: another reader cannot spoil it.
        for (std::size_t i = 0; i < swapped.size(); ++i) {
            font_ = reads[i];
            listTables(swapped[i]);
            print(swapped[i]);
        }
        return kExitOk;
    }

private:
    // The command line also takes OpenType fonts with CFF outlines.
    static constexpr FontKinds kKinds = FontKinds::TrueTypeAndCff;
    static constexpr const char* kFileExistsText =
        "A TrueType font file with this name already exists.";
    static constexpr std::size_t kBatchBytes = 64 * 1024;

    // One copy: where from, where to, the strings of its name table, the fields cut to fit,
    // its new PostScript name (UTF-8), and once written, what it could not be given.
    struct PlannedCopy {
        std::string source;
        std::string target;
        NewNameTexts newTexts;
        FullNameTexts sourceTexts;
        std::vector<std::string> cut;
        std::string postscript;
        std::vector<std::string> warnings;
    };

    // make --out-dir: one copy per source, named after its new PostScript name and the source's
    // extension. All or nothing: every source is read and every target checked before the first
    // copy is written, and when a copy fails, the copies this run made are removed again.
    // Nothing that existed before is touched.
    int makeFamily(const Arguments& parsed) {
        if (parsed.operands.empty())
            throw UsageError{"make --out-dir needs at least one FONT"};
        std::string folder = *parsed.outDir;
        struct stat st {};
        if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return failed(folder, "No such folder.");
        if (folder.back() != '/')
            folder += '/';

        std::vector<PlannedCopy> plan;
        std::set<std::string> targets;
        for (const std::string& source : parsed.operands) {
            PlannedCopy copy;
            copy.source = source;
            std::string failure;
            if (!planCopy(parsed, copy, failure))
                return failedFamily(source, failure);
            const std::string& name = copy.postscript;
            if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
                return failedFamily(source,
                                    "its PostScript name \"" + name + "\" cannot be a file name.");
            copy.target = folder + name + extensionOf(source);
            if (qm::session::pathIsTaken(copy.target))
                return failedFamily(copy.target, kFileExistsText);
            if (!targets.insert(copy.target).second)
                return failedFamily(copy.target, "two sources would both be written here.");
            plan.push_back(std::move(copy));
        }

        // Interrupts wait for the checks between copies, so that the run can take its copies
        // back before it ends.
        const qm::core::HeldInterrupts held;
        qm::core::PublishedCopies run;
        for (PlannedCopy& copy : plan) {
            if (qm::core::heldInterrupt() != 0)
                return undoInterruptedMake(run);
            try {
                noteMade(copy, WriteRenamedFont(copy.source, copy.target, copy.newTexts,
                                                copy.sourceTexts, kKinds));
            } catch (const std::exception& error) {
                if (qm::core::heldInterrupt() != 0)
                    return undoInterruptedMake(run);
                // Only what this run created goes; a failed copy leaves nothing of its own.
                failed(copy.target, error.what());
                const std::vector<std::string> left = run.removeAll();
                if (!left.empty())
                    return leftMade(left);
                err_ << "quillmark-cli: no copy was made\n";
                return kExitFailed;
            }
        }
        if (qm::core::heldInterrupt() != 0)
            return undoInterruptedMake(run);
        for (const PlannedCopy& copy : plan) {
            sayCut(copy);
            readAndPrint(copy.target, copy);
        }
        return kExitOk;
    }

    // Reads `copy.source` and works out the copy's names as the window would, but on the
    // source's whole texts in Unicode: the given texts typed over them, the family and style
    // cleaned and the full and PostScript names derived, nothing cut to the window's field
    // sizes. False, with the reason, when the source does not read.
    bool planCopy(const Arguments& parsed, PlannedCopy& copy, std::string& failure) {
        if (!readOrReport(copy.source)) {
            failure = font_.ErrorText;
            return false;
        }
        if (!textsRead_) {
            failure = tables_.problem;
            return false;
        }
        const FullNameTextsUtf8& utf8 = texts_;
        NameTexts boxes;
        boxes.Copyright = utf8[0];
        boxes.FamilyName = utf8[1];
        boxes.Style = utf8[2];
        boxes.FontID = utf8[3];
        boxes.FullName = utf8[4];
        boxes.Version = utf8[5];
        boxes.Postscript = utf8[6];
        boxes.TradeMark = utf8[7];
        for (const auto& [option, text] : parsed.texts)
            boxes.*kTextOptions.at(option) = text;
        // The derivation touches ASCII blanks, controls and letters only, so it works on UTF-8.
        const NameTexts names = deriveNameTexts(boxes, utf8[1]);
        const std::string* derived[8] = {&names.Copyright,  &names.FamilyName, &names.Style,
                                         &names.FontID,     &names.FullName,   &names.Version,
                                         &names.Postscript, &names.TradeMark};
        // A text that comes out as the source has it keeps the source's records.
        for (unsigned k = 0; k < 8; ++k) {
            copy.sourceTexts[k] = utf8ToUtf32(utf8[k]);
            std::u32string text = utf8ToUtf32(*derived[k]);
            if (k == 6)
                text = postscriptNameOf(text);
            if (text != copy.sourceTexts[k])
                copy.newTexts[k] = std::move(text);
        }
        copy.postscript = utf32ToUtf8(copy.newTexts[6].value_or(copy.sourceTexts[6]));
        return true;
    }

    void noteMade(PlannedCopy& copy, const MadeCopy& made) {
        for (unsigned nameID : made.cutNameIDs)
            copy.cut.push_back(fieldKeyOfNameID(nameID));
        copy.warnings = made.warnings;
    }

    // A text cut to fit the name table, or a table that could not be renamed, is said, never
    // passed over silently.
    void sayCut(const PlannedCopy& copy) {
        for (const std::string& field : copy.cut)
            err_ << "quillmark-cli: " << copy.target << ": " << field
                 << " was cut to fit the name table\n";
        for (const std::string& warning : copy.warnings)
            err_ << "quillmark-cli: " << copy.target << ": " << warning << "\n";
    }

    void refuseTheSameFileTwice(const std::vector<std::string>& paths) {
        std::set<std::pair<dev_t, ino_t>> seen;
        for (const std::string& path : paths) {
            const auto identity = fileIdentity(path);
            if (identity && !seen.insert(*identity).second)
                throw UsageError{path + " is named twice"};
        }
    }

    // A failed read or write that left the file as it was comes back as NotValid with the
    // error's text.
    static SwapResult swapFile(const std::string& path) {
        try {
            return swapNameTables(path, kKinds);
        } catch (const EInOutError& error) {
            SwapResult failed;
            failed.ErrorText = error.what();
            return failed;
        }
    }

    std::string swapFailureText(const std::string& path, const SwapResult& swap) {
        switch (swap.outcome) {
        case SwapOutcome::InUse:
            return swap.ErrorText;
        case SwapOutcome::NotConfirmed:
            return qm::session::notConfirmedText(swap);
        default:
            if (!swap.ErrorText.empty())
                return swap.ErrorText;
            // A font that reads but carries no trailer was never renamed.
            if (readOrReport(path) && !font_.IsRenamed)
                return SwapResult::kNotRenamedText;
            return SwapResult::kNotValidFontText;
        }
    }

    // Swaps back, last first; returns the files that could not be swapped back.
    std::vector<std::string> swapBack(const std::vector<std::string>& swapped) {
        std::vector<std::string> left;
        for (auto it = swapped.rbegin(); it != swapped.rend(); ++it)
            if (swapFile(*it).outcome != SwapOutcome::Swapped)
                left.push_back(*it);
        return left;
    }

    // The exit status must say that files were changed, and which.
    int leftChanged(const std::vector<std::string>& left) {
        for (const std::string& path : left)
            err_ << "quillmark-cli: " << path
                 << ": could not be swapped back; it is left changed\n";
        return kExitLeftChanged;
    }

    int leftMade(const std::vector<std::string>& left) {
        for (const std::string& path : left)
            err_ << "quillmark-cli: " << path
                 << ": could not be removed again; this copy is left in place\n";
        return kExitLeftChanged;
    }

    // An interrupted run takes back what it changed and ends by the signal; only when that
    // fails does it end with a status that names what is left.
    int undoInterruptedRestore(const std::vector<std::string>& swapped) {
        const int signal = qm::core::heldInterrupt();
        const std::vector<std::string> left = swapBack(swapped);
        if (left.empty())
            qm::core::HeldInterrupts::endBy(signal);
        err_ << "quillmark-cli: interrupted by signal " << signal << "\n";
        return leftChanged(left);
    }

    int undoInterruptedMake(qm::core::PublishedCopies& run) {
        const int signal = qm::core::heldInterrupt();
        const std::vector<std::string> left = run.removeAll();
        if (left.empty())
            qm::core::HeldInterrupts::endBy(signal);
        err_ << "quillmark-cli: interrupted by signal " << signal << "\n";
        return leftMade(left);
    }

    // Reads `path`; an I/O error becomes a failed read carrying the error's text.
    // Its whole texts are taken from the same open file when it reads, and its name tables
    // listed when --all asks.
    bool readOrReport(const std::string& path) {
        tables_ = FontNameTables{};
        textsRead_ = false;
        bool namesRead = false;
        try {
            const FileHandle file = FileHandle::openSharedIfFile(path);
            if (!file.isOpen()) {
                font_ = FontRead{};
                font_.ReadFailed = true;
                font_.ErrorText = FontRead::kFileNotFoundText;
                tables_.problem = FontRead::kFileNotFoundText;
                return false;
            }
            const FileFontBytes bytes(file, blockMemory_);
            ReadFontNames(bytes, kKinds, font_);
            namesRead = true;
            if (all_)
                listTablesOf(bytes);
            else if (!font_.ReadFailed)
                textsRead_ = readFullNameTexts(bytes, texts_, tables_.problem);
        } catch (const EInOutError& error) {
            // Names the reader found before a later read failed are kept.
            if (!namesRead)
                font_ = FontRead{};
            font_.ReadFailed = true;
            font_.ErrorText = error.what();
            tables_.problem = error.what();
            textsRead_ = false;
        }
        return !font_.ReadFailed;
    }

    // --all: every record listed, and the whole texts taken from the listing.
    void listTablesOf(const FontBytes& bytes) {
        tables_ = listFontNameTables(bytes);
        textsRead_ = tables_.problem.empty();
        if (!textsRead_)
            return;
        readFullNameTexts(tables_.live, texts_);
    }

    // The name tables and texts of a file just restored, read again from the file.
    void listTables(const std::string& path) {
        tables_ = FontNameTables{};
        textsRead_ = false;
        try {
            const FileHandle file = FileHandle::openSharedIfFile(path);
            if (!file.isOpen()) {
                tables_.problem = FontRead::kFileNotFoundText;
                return;
            }
            const FileFontBytes bytes(file, blockMemory_);
            if (all_)
                listTablesOf(bytes);
            else
                textsRead_ = readFullNameTexts(bytes, texts_, tables_.problem);
        } catch (const EInOutError& error) {
            tables_ = FontNameTables{};
            tables_.problem = error.what();
            textsRead_ = false;
        }
    }

    bool readAndPrint(const std::string& path) {
        const bool good = readOrReport(path);
        print(path);
        return good;
    }
    // A copy just made, with what was cut from it and what it could not be given.
    void readAndPrint(const std::string& path, const PlannedCopy& copy) {
        readOrReport(path);
        print(path, &copy);
    }

    // The reader's record, with the texts taken in full and in Unicode from the name table the
    // reader read.
    void print(const std::string& path, const PlannedCopy* copy = nullptr) {
        recordOf(font_, record_, !font_.ReadFailed && textsRead_ ? &texts_ : nullptr);
        if (copy) {
            record_.cut = copy->cut;
            record_.warnings = copy->warnings;
        }
        const std::string members = all_ && json_ ? nameTablesJson(tables_) : std::string();
        if (json_) {
            appendRecordJson(output_, path, record_, members);
        } else {
            output_ += recordBlock(path, record_);
            if (all_)
                output_ += nameTablesBlock(tables_);
        }
        if (!batched_ || output_.size() >= kBatchBytes)
            flushOutput();
    }

    void flushOutput() {
        out_.write(output_.data(), static_cast<std::streamsize>(output_.size()));
        output_.clear();
    }

    // A read of many fonts writes its records in batches, not one by one. Whatever is
    // batched is written when the read ends, however it ends.
    class Batch {
    public:
        explicit Batch(Cli& cli) : cli_(cli) { cli_.batched_ = true; }
        ~Batch() {
            cli_.batched_ = false;
            cli_.flushOutput();
        }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        Cli& cli_;
    };

    int failed(const std::string& path, std::string text) {
        // The program's messages end their lines with a lone CR.
        std::replace(text.begin(), text.end(), '\r', '\n');
        err_ << "quillmark-cli: " << path << ": " << windows1252ToUtf8(text) << "\n";
        return kExitFailed;
    }

    int failedFamily(const std::string& path, const std::string& text) {
        failed(path, text);
        err_ << "quillmark-cli: no copy was made\n";
        return kExitFailed;
    }

    std::ostream& out_;
    std::ostream& err_;
    bool json_ = false;
    bool all_ = false;
    FontRead font_;
    FontNameTables tables_;
    // The whole texts in UTF-8, when textsRead_; their strings keep their memory from font to
    // font.
    FullNameTextsUtf8 texts_;
    bool textsRead_ = false;
    // The memory of the blocks each font is read in, the record printed last and the output
    // not yet written: kept from font to font.
    FileFontBytes::Memory blockMemory_;
    FontRecord record_;
    std::string output_;
    bool batched_ = false;
};

} // namespace

int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h" || args[0] == "help")) {
        out << kUsageText;
        return kExitOk;
    }
    if (args.size() == 1 && (args[0] == "--version" || args[0] == "-v")) {
        out << "quillmark-cli " << qm::kVersion << "\n";
        return kExitOk;
    }
    try {
        Cli cli(out, err);
        if (args.empty())
            throw UsageError{"no command given"};
        if (args[0] == "read")
            return cli.read(args);
        if (args[0] == "make")
            return cli.make(args);
        if (args[0] == "restore")
            return cli.restore(args);
        throw UsageError{"unknown command " + args[0]};
    } catch (const UsageError& error) {
        err << "quillmark-cli: " << error.message << " (see quillmark-cli --help)\n";
        return kExitUsage;
    } catch (const std::exception& error) {
        err << "quillmark-cli: " << error.what() << "\n";
        return kExitFailed;
    }
}
