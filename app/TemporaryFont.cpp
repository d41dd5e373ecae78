// The temporary registration: the shown font file is made available to this program alone
// while it is shown, and withdrawn again.

#include "app/Main.h"
#include "core/FontReader.h"
#include "platform/AppFonts.h"
#include "session/FontSession.h"

namespace {

constexpr const char* kAddFailedText = "TrueType AddFontFile routine failed.";
constexpr const char* kRemoveFailedText = "TrueType RemoveFontFile routine failed.";

} // namespace

void TFrmMain::AddTemporaryFont(const QString& path) {
    FontRead& font = session_->font();
    font.ReadFailed = false;
    font.ErrorText = FontRead::kUnknownErrorText;
    if (temporaryFonts_->add(path) == 0) {
        font.ReadFailed = true;
        font.ErrorText = kAddFailedText;
    }
    // Qt tells its own widgets of the new face; there is nobody else to tell.
}

void TFrmMain::RemoveTemporaryFont(const QString& path) {
    FontRead& font = session_->font();
    font.ReadFailed = false;
    font.ErrorText = FontRead::kUnknownErrorText;
    if (!temporaryFonts_->remove(path)) {
        font.ReadFailed = true;
        font.ErrorText = kRemoveFailedText;
    }
}
