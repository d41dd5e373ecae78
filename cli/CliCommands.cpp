#include "cli/CliCommands.h"

#include "cli/NameRecordOutput.h"
#include "cli/RecordOutput.h"
#include "core/EInOutError.h"
#include "core/FileHandle.h"
#include "core/FontBytes.h"
#include "core/FontCollection.h"
#include "core/FullNameTexts.h"
#include "core/InterruptCleanup.h"
#include "core/NamingRules.h"
#include "core/WebFont.h"
#include "core/Windows1252.h"
#include "session/FileSteps.h"

#include "QuillmarkVersion.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <utility>

namespace {

using qm::session::CopyPlan;
using qm::session::OnDisk;
using qm::session::Outcome;

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
// restore changed a file but could not confirm the change on disk.
constexpr int kExitNotConfirmed = 3;
// A run that failed or was interrupted could not undo all it had changed: the files named on
// standard error are left changed.
constexpr int kExitLeftChanged = 4;

constexpr const char* kUsageText =
    "usage: quillmark-cli read [--json] [--all] [-r] FONT...\n"
    "       quillmark-cli make [--json] SOURCE NEWFILE [--family T] [--style T] [--version T]\n"
    "                          [--font-id T] [--copyright T] [--trademark T]\n"
    "       quillmark-cli make [--json] --out-dir DIR [--family T] [--style T] ... FONT...\n"
    "       quillmark-cli make [--json] --face N COLLECTION NEWFILE [--family T] ...\n"
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
    // read -r: the fonts of each folder given, and of the folders inside it.
    bool recursive = false;
    std::optional<std::string> outDir;
    // make --face N: one face of a collection, written as a font of its own.
    std::optional<std::size_t> face;
    std::vector<std::string> operands;
    std::map<std::string, std::string> texts;
};

enum class Command { Read, Make, Restore };

// A face index: decimal digits only, below the most faces a collection may have.
std::size_t faceIndexOf(const std::string& text) {
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
        std::stoul(text) >= qm::core::kMostFaces)
        throw UsageError{"--face needs a face number from 0"};
    return std::stoul(text);
}

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
        } else if (arg == "-r" && command == Command::Read) {
            parsed.recursive = true;
        } else if (arg == "--out-dir" && command == Command::Make) {
            if (i + 1 >= args.size())
                throw UsageError{arg + " needs a folder"};
            parsed.outDir = args[++i];
        } else if (arg == "--face" && command == Command::Make) {
            parsed.face = faceIndexOf(i + 1 < args.size() ? args[++i] : std::string());
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
        std::vector<std::string> paths;
        for (const std::string& operand : parsed.operands) {
            if (parsed.recursive && isExistingFolder(operand)) {
                if (!fontsUnder(operand, paths))
                    status = kExitFailed;
            } else {
                paths.push_back(operand);
            }
        }
        const Batch batch(*this);
        const Progress progress(err_, paths.size());
        for (std::size_t i = 0; i < paths.size(); ++i) {
            progress.at(i, paths[i]);
            if (!readAndPrint(paths[i]))
                status = kExitFailed;
        }
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

        if (const std::optional<Outcome> taken = qm::session::refuseTaken(newFile, kRules))
            return refused(newFile, *taken);
        std::vector<CopyPlan> copies(1);
        copies[0].source = source;
        copies[0].target = newFile;
        std::string failure;
        std::string extension;
        if (!planCopy(parsed, copies[0], failure, extension))
            return failed(source, failure);
        return makeAll(copies, false);
    }

    int restore(const std::vector<std::string>& args) {
        const Arguments parsed = parse(args, Command::Restore);
        if (parsed.operands.empty())
            throw UsageError{"restore needs at least one FILE"};
        json_ = parsed.json;
        refuseTheSameFileTwice(parsed.operands);
        // All or nothing, under errors and interrupts alike. Interrupts wait for the checks
        // between files.
        const qm::core::HeldInterrupts held;
        // A run of these files killed before it ended is finished first; its files are then
        // where the run was taking them, which is what a restore of them asks.
        const qm::session::Finishing finishing =
            qm::session::finishUnfinishedRuns(parsed.operands, kRules);
        for (const std::string& line : finishing.said)
            err_ << "quillmark-cli: " << line << "\n";
        if (finishing.interruptedBy != 0)
            qm::core::HeldInterrupts::endBy(finishing.interruptedBy);
        if (finishing.blocked)
            return kExitFailed;
        std::vector<std::string> rest;
        for (const std::string& path : parsed.operands)
            if (!finishing.covers(path))
                rest.push_back(path);
        const qm::session::RestoreRun run = qm::session::restoreAll(rest, kRules, failureSeen());
        if (run.failure) {
            // The failure named a file left unconfirmed; these name the others.
            if (!run.left.empty())
                return leftAsIt(run.left, kNotSwappedBackText);
            if (run.failure->second.disk == OnDisk::SwappedUnconfirmed)
                return kExitNotConfirmed;
            if (run.interruptedBy != 0)
                qm::core::HeldInterrupts::endBy(run.interruptedBy);
            return kExitFailed;
        }
        if (run.interruptedBy != 0)
            return interrupted(run, kNotSwappedBackText);
        for (const std::string& path : parsed.operands)
            if (finishing.covers(path))
                readAndPrint(path);
        // Each swap's own final read, made under its lock: another reader cannot spoil it.
        for (const auto& [path, restored] : run.restored) {
            if (restored.collection) {
                readAndPrint(path);
                continue;
            }
            font_ = restored.read;
            listTables(path);
            print(path);
        }
        return kExitOk;
    }

private:
    static constexpr qm::session::Rules kRules = qm::session::kCommandLineRules;
    static constexpr FontKinds kKinds = kRules.kinds;
    static constexpr std::size_t kBatchBytes = 64 * 1024;
    static constexpr const char* kNotSwappedBackText =
        "could not be swapped back; it is left changed";
    static constexpr const char* kNotRemovedText =
        "could not be removed again; this copy is left in place";

    // make --out-dir: one copy per source, named after its new PostScript name and the source's
    // extension. All or nothing: every source is read and every target checked before the first
    // copy is written, and when a copy fails, the copies this run made are removed again.
    // Nothing that existed before is touched.
    int makeFamily(const Arguments& parsed) {
        if (parsed.operands.empty())
            throw UsageError{"make --out-dir needs at least one FONT"};
        std::string folder = *parsed.outDir;
        if (!isExistingFolder(folder))
            return failed(folder, "No such folder.");
        if (folder.back() != '/')
            folder += '/';

        std::vector<CopyPlan> copies;
        std::set<std::string> targets;
        for (const std::string& source : parsed.operands) {
            CopyPlan copy;
            copy.source = source;
            std::string failure;
            std::string extension;
            if (!planCopy(parsed, copy, failure, extension))
                return failedFamily(source, failure);
            const std::string& name = copy.postscript;
            if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
                return failedFamily(source,
                                    "its PostScript name \"" + name + "\" cannot be a file name.");
            copy.target = folder + name + extension;
            if (const std::optional<Outcome> taken =
                    qm::session::refuseTaken(copy.target, kRules)) {
                refused(copy.target, *taken);
                return noCopyMade();
            }
            if (!targets.insert(copy.target).second)
                return failedFamily(copy.target, "two sources would both be written here.");
            copies.push_back(std::move(copy));
        }
        return makeAll(copies, true);
    }

    // Makes every planned copy or none, and lists each made.
    int makeAll(std::vector<CopyPlan>& copies, bool family) {
        // Interrupts wait for the checks between copies, so that the run can take its copies
        // back before it ends.
        const qm::core::HeldInterrupts held;
        const qm::session::Run run = qm::session::makeAll(copies, kRules, failureSeen());
        if (run.failure) {
            if (!run.left.empty())
                return leftAsIt(run.left, kNotRemovedText);
            return family ? noCopyMade() : kExitFailed;
        }
        if (run.interruptedBy != 0)
            return interrupted(run, kNotRemovedText);
        for (const CopyPlan& copy : copies) {
            sayCut(copy);
            readAndPrint(copy.target, copy);
        }
        return kExitOk;
    }

    // Reads `copy.source` and plans the copy's texts on the source's whole texts in Unicode
    // (the session's planTexts). A collection is planned face by face, each keeping its own
    // style; with --face only the face asked for. False, with the reason, when the source does
    // not read. `extension` is what a copy named after its PostScript name ends with.
    bool planCopy(const Arguments& parsed, CopyPlan& copy, std::string& failure,
                  std::string& extension) {
        copy.face = parsed.face;
        qm::session::TypedTexts typed;
        for (const auto& [option, text] : parsed.texts)
            typed.emplace_back(kTextOptions.at(option), text);
        std::size_t faces = 0;
        bool planned = false;
        readEach(copy.source, [&](std::optional<std::size_t> face, const FontBytes* bytes) {
            if (face)
                faces = *face + 1;
            if (!failure.empty() || (parsed.face && face && face != parsed.face))
                return;
            if (font_.ReadFailed || !textsRead_) {
                failure = font_.ReadFailed ? font_.ErrorText : tables_.problem;
                if (face)
                    failure = "Face " + std::to_string(*face) + ": " + failure;
                return;
            }
            if (face && !parsed.face) {
                copy.collection = true;
                qm::core::FacePlan plan;
                std::string postscript;
                qm::session::planTexts(texts_, typed, plan.newTexts, plan.plannedTexts, postscript);
                if (*face == 0)
                    copy.postscript = postscript;
                copy.faces.push_back(std::move(plan));
                return;
            }
            qm::session::planTexts(texts_, typed, copy.newTexts, copy.sourceTexts, copy.postscript);
            planned = true;
            std::uint8_t version[4] = {};
            extension =
                bytes && bytes->readAt(0, version, 4) == 4 && std::memcmp(version, "OTTO", 4) == 0
                    ? ".otf"
                    : ".ttf";
        });
        if (!failure.empty())
            return false;
        copy.web = webFont_;
        if (!copy.face)
            extension = extensionOf(copy.source);
        if (parsed.face && faces == 0) {
            failure = "This font is not a collection; --face takes a face of a .ttc or .otc file.";
            return false;
        }
        if (!planned && !copy.collection) {
            failure = "There is no face " + std::to_string(*parsed.face) + "; the collection has " +
                      std::to_string(faces) + (faces == 1 ? " face." : " faces.");
            return false;
        }
        return true;
    }

    // What the copy, or one face of a collection copy, could not be given.
    static const MadeCopy* madeOf(const CopyPlan* copy, std::optional<std::size_t> face) {
        if (!copy)
            return nullptr;
        const std::optional<std::size_t> index = copy->collection ? face : 0;
        return index && *index < copy->made.size() ? &copy->made[*index] : nullptr;
    }

    // A text cut to fit the name table, or a table that could not be renamed, is said, never
    // passed over silently.
    void sayCut(const CopyPlan& copy) {
        for (std::size_t face = 0; face < copy.made.size(); ++face) {
            const std::string where =
                copy.collection ? copy.target + "#" + std::to_string(face) : copy.target;
            for (unsigned nameID : copy.made[face].cutNameIDs)
                err_ << "quillmark-cli: " << where << ": " << fieldKeyOfNameID(nameID)
                     << " was cut to fit the name table\n";
            for (const std::string& warning : copy.made[face].warnings)
                err_ << "quillmark-cli: " << where << ": " << warning << "\n";
        }
    }

    void refuseTheSameFileTwice(const std::vector<std::string>& paths) {
        // The same file given twice under different names.
        std::set<FileIdentity> seen;
        for (const std::string& path : paths) {
            const auto identity = identityOfPath(path);
            if (identity && !seen.insert(*identity).second)
                throw UsageError{path + " is named twice"};
        }
    }

    // The failed file of a run is named at once, before the run is undone.
    qm::session::FailureSeen failureSeen() {
        return [this](const std::string& path, const Outcome& outcome) { refused(path, outcome); };
    }

    // The exit status must say that files were changed, and which.
    int leftAsIt(const std::vector<std::string>& left, const char* why) {
        for (const std::string& path : left)
            err_ << "quillmark-cli: " << path << ": " << why << "\n";
        return kExitLeftChanged;
    }

    // An interrupted run took back what it changed and ends by the signal; only when that
    // failed does it end with a status that names what is left.
    int interrupted(const qm::session::Run& run, const char* whyLeft) {
        if (run.left.empty())
            qm::core::HeldInterrupts::endBy(run.interruptedBy);
        err_ << "quillmark-cli: interrupted by signal " << run.interruptedBy << "\n";
        return leftAsIt(run.left, whyLeft);
    }

    // Reads `path` into font_, texts_ and tables_, and a collection face by face, calling
    // `each` after every read with the face's index (none for a font that is no collection, or
    // a collection that does not read as one) and the bytes read, if any. An I/O error becomes
    // a failed read carrying the error's text. False when a read failed.
    bool readEach(const std::string& path,
                  const std::function<void(std::optional<std::size_t>, const FontBytes*)>& each) {
        bool good = true;
        const auto report = [&](std::optional<std::size_t> face, const FontBytes* bytes) {
            good = good && !font_.ReadFailed;
            each(face, bytes);
        };
        std::optional<std::size_t> face;
        try {
            const FileHandle file = FileHandle::openSharedIfFile(path);
            if (!file.isOpen()) {
                failRead(FontRead::kFileNotFoundText);
                report(std::nullopt, nullptr);
                return false;
            }
            const FileFontBytes bytes(file, blockMemory_);
            webFont_ = qm::core::webFormatOf(bytes) != qm::core::WebFormat::None;
            if (webFont_) {
                std::string problem;
                const std::optional<std::string> sfnt = qm::core::decodeWebFont(bytes, problem);
                if (sfnt)
                    readFrom(qm::core::MemoryFontBytes(*sfnt));
                else
                    failRead(problem);
                report(std::nullopt, nullptr);
                return good;
            }
            if (!qm::core::isCollection(bytes)) {
                readFrom(bytes);
                report(std::nullopt, &bytes);
                return good;
            }
            std::string problem;
            const std::optional<qm::core::Collection> collection =
                qm::core::readCollection(bytes, problem);
            if (!collection) {
                failRead(problem);
                report(std::nullopt, nullptr);
                return false;
            }
            // A face that does not read is listed with its reason, and the next one read.
            for (std::size_t i = 0; i < collection->faceOffsets.size(); ++i) {
                face = i;
                const std::optional<qm::core::FaceFontBytes> faceBytes =
                    qm::core::faceOf(bytes, *collection, i, problem);
                if (faceBytes) {
                    readFrom(*faceBytes);
                    // The listing says where the tables are in the file, not in the face.
                    if (tables_.problem.empty()) {
                        tables_.live.offset -= static_cast<std::uint32_t>(faceBytes->shift());
                        if (tables_.saved)
                            tables_.saved->offset -= static_cast<std::uint32_t>(faceBytes->shift());
                    }
                } else
                    failRead(problem);
                report(i, faceBytes ? &*faceBytes : nullptr);
            }
        } catch (const EInOutError& error) {
            failRead(error.what());
            report(face, nullptr);
        }
        return good;
    }

    // Reads one font's names, and its whole texts (or with --all, every record) from the same
    // bytes.
    void readFrom(const FontBytes& bytes) {
        tables_ = FontNameTables{};
        textsRead_ = false;
        bool namesRead = false;
        try {
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
    }

    void failRead(const std::string& text) {
        font_ = FontRead{};
        font_.ReadFailed = true;
        font_.ErrorText = text;
        tables_ = FontNameTables{};
        tables_.problem = text;
        textsRead_ = false;
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
        return readEach(path, [&](std::optional<std::size_t> face, const FontBytes*) {
            print(path, nullptr, face);
        });
    }
    // A copy just made, with what was cut from it and what it could not be given.
    void readAndPrint(const std::string& path, const CopyPlan& copy) {
        readEach(path, [&](std::optional<std::size_t> face, const FontBytes*) {
            print(path, &copy, face);
        });
    }

    // The reader's record, with the texts taken in full and in Unicode from the name table the
    // reader read.
    // A face of a collection is listed as FILE#N, and in JSON with its "Face".
    void print(const std::string& path, const CopyPlan* copy = nullptr,
               std::optional<std::size_t> face = std::nullopt) {
        recordOf(font_, record_, !font_.ReadFailed && textsRead_ ? &texts_ : nullptr);
        if (const MadeCopy* made = madeOf(copy, face)) {
            record_.cut.clear();
            for (unsigned nameID : made->cutNameIDs)
                record_.cut.push_back(fieldKeyOfNameID(nameID));
            record_.warnings = made->warnings;
        } else if (copy) {
            record_.cut.clear();
            record_.warnings.clear();
        }
        std::string members = face ? ", \"Face\": " + std::to_string(*face) : std::string();
        if (all_ && json_)
            members += nameTablesJson(tables_);
        if (json_) {
            appendRecordJson(output_, path, record_, members);
        } else {
            output_ += recordBlock(face ? path + "#" + std::to_string(*face) : path, record_);
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

    // The fonts in a folder tree, by name: files whose extension names a font, collection or web
    // font, in sorted order. Links are not followed, so no font is listed twice and no loop is
    // walked; a folder that cannot be read is named on standard error and the walk goes on.
    bool fontsUnder(const std::string& folder, std::vector<std::string>& paths) {
        static const std::set<std::string> kFontExtensions = {".ttf", ".otf",  ".ttc",
                                                              ".otc", ".woff", ".woff2"};
        namespace fs = std::filesystem;
        bool complete = true;
        std::vector<std::string> found;
        std::error_code error;
        fs::recursive_directory_iterator it(folder, error);
        for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
            std::string extension = it->path().extension().string();
            std::transform(extension.begin(), extension.end(), extension.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            std::error_code typeError;
            if (kFontExtensions.count(extension) != 0 && !it->is_symlink(typeError) &&
                it->is_regular_file(typeError))
                found.push_back(it->path().string());
            // Looked into before the walk enters it: a folder it cannot enter would end the walk.
            std::error_code openError;
            if (it->is_directory(typeError) && !it->is_symlink(typeError) &&
                (fs::directory_iterator(it->path(), openError), openError)) {
                failed(it->path().string(),
                       "This folder cannot be read; its fonts are not listed.");
                it.disable_recursion_pending();
                complete = false;
            }
        }
        if (error) {
            failed(folder, error.message());
            complete = false;
        }
        std::sort(found.begin(), found.end());
        paths.insert(paths.end(), found.begin(), found.end());
        return complete;
    }

    // "read N of M: FILE" on standard error, kept to one line, while a long read runs, when
    // standard error is a terminal.
    class Progress {
    public:
        Progress(std::ostream& err, std::size_t total)
            : err_(err), total_(total), shown_(&err == &std::cerr && standardErrorIsTerminal()) {}
        ~Progress() {
            if (shown_)
                err_ << "\r\033[K" << std::flush;
        }
        Progress(const Progress&) = delete;
        Progress& operator=(const Progress&) = delete;
        void at(std::size_t index, const std::string& path) const {
            // Every 32nd font: a line a font would cost more than the reads.
            if (!shown_ || index % 32 != 0)
                return;
            err_ << "\r\033[Kread " << index + 1 << " of " << total_ << ": " << path << std::flush;
        }

    private:
        std::ostream& err_;
        std::size_t total_;
        bool shown_;
    };

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

    // A step of the session that was refused; its message is UTF-8 already.
    int refused(const std::string& path, const Outcome& outcome) {
        std::string text = outcome.message;
        std::replace(text.begin(), text.end(), '\r', '\n');
        err_ << "quillmark-cli: " << path << ": " << text << "\n";
        return kExitFailed;
    }

    int noCopyMade() {
        err_ << "quillmark-cli: no copy was made\n";
        return kExitFailed;
    }

    int failedFamily(const std::string& path, const std::string& text) {
        failed(path, text);
        return noCopyMade();
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
    // The file read last was a web font.
    bool webFont_ = false;
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
