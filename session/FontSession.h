#pragma once

// The font the window works on, below its widgets: the current path, the last read, the source
// of a make and the destination folder, and the steps that change them. Paths are the bytes
// the file system names files by. The window reads its boxes, calls a step and shows the
// outcome. Its make and restore are the steps of FileSteps.h under the window's rules, which the
// command line calls with its own.

#include "core/FontReader.h"
#include "core/NameSwap.h"
#include "core/NamingRules.h"
#include "session/FileSteps.h"
#include "session/Outcome.h"

#include <string>

namespace qm::session {

// A new font file about to be made: where, and why not when it may not be.
struct MakePlan {
    std::string target; // empty when refused
    Outcome refusal;
};

class FontSession {
public:
    static constexpr const char* kNothingToCreateText = "Nothing to create.\r"
                                                        "\r"
                                                        "Select a TrueType font file,\r"
                                                        "make your changes then click this\r"
                                                        "button again to create new font file.";
    static constexpr const char* kBadFileNameText = "A TrueType font file name\r"
                                                    "can be up to 8 characters,\r"
                                                    "plus an extension of \".TTF\".\r"
                                                    "\r"
                                                    "Please use a different file name.";
    static constexpr const char* kFileExistsText = "A TrueType font file with this name\r"
                                                   "already exists.\r"
                                                   "\r"
                                                   "Please use a different file name.";
    static constexpr const char* kNotValidText = "Not a valid TrueType font file.\r"
                                                 "Sorry.";

    // The last read: FontNames, ReadFailed, ErrorText, IsRenamed. The window stores the boxes
    // into FontNames and marks a failed registration here.
    const FontRead& font() const { return font_; }
    FontRead& font() { return font_; }
    // CurrentFontPath: the file chosen, or the browsed folder ending in "/" while none is.
    const std::string& currentPath() const { return currentPath_; }
    void setCurrentPath(std::string path) { currentPath_ = std::move(path); }
    // The file on show, the source of the next make; empty while none is shown.
    const std::string& source() const { return source_; }
    // DestinationFolder: where makes go; empty for the browsed folder.
    const std::string& destinationFolder() const { return destination_; }
    void setDestinationFolder(std::string folder) { destination_ = std::move(folder); }

    // A new folder is browsed: no file is chosen in it yet. Returns the folder the save-to label
    // shows.
    std::string browse(const std::string& folder);
    // The browsed folder, ending in "/".
    std::string browsedFolder() const;
    // " Advanced" "SET": makes go to the browsed folder from now on; "CANCEL": they follow it.
    void fixDestination() { destination_ = browsedFolder(); }
    void followBrowsing() { destination_.clear(); }

    // Reads the current path's names. A font that reads comes back to be registered and shown
    // (showNames); any other file gives the red panel and is forgotten. A file that cannot be
    // read at all raises EInOutError with the names reset.
    Outcome load();
    // The read font is on show: it becomes the source of a make.
    void shown() { source_ = currentPath_; }
    // The font read but could not be set up for display: the red panel gives `reason`.
    Outcome notShown(const char* reason);
    // The window shows no font: no names, no current path, no source.
    void forget();

    // "Create New Font Now": a refusal when nothing is chosen to copy.
    Outcome openMake() const;
    // "MAKE FONT", before anything is written: the typed name (upper-cased) checked, the new
    // path composed in the destination folder and found free.
    MakePlan planMake(const std::string& typedName) const;
    // Writes the copy of the source with the boxes' names. Afterwards the copy is the current
    // font and its record holds the names it reads as; a failure changes nothing.
    Outcome make(const MakePlan& plan, const NameTexts& boxes);

    // "Restore Original Font Names" on the current path. After a swap the record is the file as
    // it now reads. A file that cannot be read at all raises EInOutError.
    Outcome restore();

private:
    // Where makes go: the destination folder, else the browsed one as the list gives it.
    const std::string& makeFolder() const { return destination_.empty() ? browsed_ : destination_; }

    FontRead font_;
    std::string currentPath_;
    std::string source_;
    std::string destination_;
    std::string browsed_; // as the folder list gives it
};

// The window's rules: TrueType fonts, and its own words for a taken name and a failed restore.
inline constexpr Rules kWindowRules{FontKinds::TrueType, false, FontSession::kFileExistsText,
                                    FontSession::kNotValidText};

} // namespace qm::session
