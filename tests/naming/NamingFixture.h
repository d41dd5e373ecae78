#pragma once

// The window fixture plus what the naming tests share: fonts put into the browsed folder,
// a font picked in the file list with the mouse, and new files read back by the core reader.

#include "tests/app/WindowFixture.h"

#include "core/FontReader.h"

#include <QString>
#include <string>

namespace namingtest {

// What a font file holds, read back by the program's own reader.
struct ReadBack {
    bool ReadFailed = true;
    std::string ErrorText;
    FontNames Names;
    bool IsRenamed = false;
};

ReadBack readFontFile(const QString& path);

class NamingTest : public qmtest::WindowTest {
protected:
    // A built font with these names in the fonts folder.
    QString addFont(const QString& name, const testfonts::FontSpec& fontSpec = {});
    // Starts the window if needed and clicks the file's entry in the file list.
    void pickFont(const QString& fileName);
    // Double-clicks the folder list's entry for this folder.
    void openFolder(const QString& folder);
    // Clicks "Create New Font Now", types the name and presses Enter.
    void makeFont(const QString& typedName);
    // How often a cue was requested.
    int cueCount(const QString& cue) const;
    QLineEdit* box(const QString& objectName) const { return findAs<QLineEdit>(objectName); }
    QString focusedName() const;
};

} // namespace namingtest
