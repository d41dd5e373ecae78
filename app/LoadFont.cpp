// Loading the font chosen in the file list: read its names, register it for this program,
// show its characters and names; or show the red error panel and reset the window.

#include "app/Main.h"
#include "app/ReaderControls.h"
#include "browse/CharacterStrip.h"
#include "controls/ColorButton.h"
#include "controls/PathLabel.h"
#include "core/FontReader.h"
#include "naming/AnsiText.h"
#include "platform/AppFonts.h"
#include "platform/Folders.h"
#include "session/FontSession.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <stdexcept>

using qm::naming::fromAnsi;
using qm::naming::toFilePath;

namespace {

constexpr const char* kGetFontFailedText = "Windows GetFont routine failed.";

} // namespace

void TFrmMain::LoadSelectedFont(const QString& path) {
    // 1. The chosen file is the current path.
    D_FilePath->setFileName(path);
    session_->setCurrentPath(toFilePath(path));
    // 2. Nothing loads before the window is shown.
    if (!isVisible())
        return;
    // 3. The tick, and the information panels make way for the font.
    PlayCue(MyTick);
    B_WhatsNew->hide();
    P_WhatsNew->hide();
    P_Help->hide();
    // 4. A file that cannot be opened raises, and the general error display shows it; the
    //    names are reset by then.
    qm::session::Outcome outcome = session_->load();
    // 5. and 6. A font that reads is registered and shown.
    if (outcome.showNames) {
        B_RestoreNames->setEnabled(session_->font().IsRenamed);
        try {
            showLoadedFont(path);
            return;
        } catch (const std::runtime_error&) {
            // What the system reports while the font is set up. Running out of memory or a
            // fault of the program itself goes on to the general error display.
            outcome = session_->notShown(kGetFontFailedText);
        }
    }
    // 8. Failure: the actions go, the red panel names the file and the reason.
    showOutcome(outcome);
    P_FontError->raise();
}

void TFrmMain::showLoadedFont(const QString& path) {
    // a. and b. The outcome of the registration is not examined.
    if (!TemporaryFontPath.isEmpty())
        RemoveTemporaryFont(TemporaryFontPath);
    TemporaryFontPath = path;
    AddTemporaryFont(path);
    // c. The strip draws the file's own glyphs.
    setStripFace(path);
    LB_All256Chars->setText(qm::browse::stripText(AllChars, SB_All256Chars->value()));
    // d. The strip shows before the fields are filled.
    P_FontError->hide();
    P_All256Chars->show();
    repaint();
    // e. to g. The eight boxes, the current path and the action buttons.
    ShowFontNames();
    session_->shown();
    LB_CurrentFont->setFileName(path);
    B_ViewPrint->setEnabled(true);
    B_CreateFontNow->setEnabled(true);
}

void TFrmMain::setStripFace(const QString& path) {
    // The head table's style bits, never the style name, which is the user's text.
    const ::FontNames& names = session_->font().FontNames;
    const bool bold = names.Bold;
    const bool italic = names.Italic;
    const QStringList families = temporaryFonts_->families(path);
    QFont face = LB_All256Chars->font();
    if (families.isEmpty()) {
        // Refused by the system: the face it substitutes for a family it does not know.
        face.setFamilies({fromAnsi(names.FamilyName)});
        face.setPixelSize(qm::browse::kStripPixelSize);
        face.setBold(bold);
        face.setItalic(italic);
        LB_All256Chars->setFont(face);
        stripPainter_->clearFace();
        return;
    }
    // Qt names the family after its own rules, not after name ID 1: ask for the file's own weight
    // and slant within the family Qt reports for the file. Asking by style name would make Qt
    // synthesise a slant for an upright face named "Italic".
    // Two small tables say which: the raw face, a copy of every table, is made only when the
    // strip must draw from it.
    const qm::platform::AppFonts::FaceStyle own = qm::platform::AppFonts::fileStyle(path);
    face.setFamilies({families.first()});
    face.setPixelSize(qm::browse::kStripPixelSize);
    face.setStyleStrategy(QFont::NoFontMerging);
    face.setWeight(own.weight);
    face.setStyle(own.style);
    // The bits only ever add to the face, as the system synthesised what a face lacked.
    if (bold && face.weight() < QFont::DemiBold)
        face.setBold(true);
    if (italic && face.style() == QFont::StyleNormal)
        face.setItalic(true);
    LB_All256Chars->setFont(face);
    // Where an installed face of the same family wins the match, or Qt would slant or embolden
    // beyond the bits, the strip draws the file's own glyphs itself.
    if (qm::platform::AppFonts::drawsFileGlyphs(face, path))
        stripPainter_->clearFace();
    else
        stripPainter_->setFace(qm::platform::AppFonts::rawFont(path, qm::browse::kStripPixelSize),
                               bold, italic);
}
