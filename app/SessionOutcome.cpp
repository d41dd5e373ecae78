// A session step's outcome as the window shows it.

#include "app/Main.h"
#include "app/ReaderControls.h"
#include "controls/MessageBox.h"
#include "controls/PathLabel.h"
#include "platform/FileNames.h"
#include "session/FontSession.h"

#include <QFrame>
#include <QLabel>

using qm::controls::showError;
using qm::controls::showInformation;

void TFrmMain::showOutcome(const qm::session::Outcome& outcome) {
    using qm::session::MessageKind;
    if (outcome.forgetFont)
        ResetFontDisplay();
    PlayCue(outcome.cue);
    const QString message = QString::fromUtf8(outcome.message);
    const QString path = qm::platform::fileNameText(outcome.path);
    switch (outcome.kind) {
    case MessageKind::None:
        break;
    case MessageKind::Information:
        showInformation(this, message);
        break;
    case MessageKind::Error:
        // A failed write names the folder that refused on a line of its own.
        showError(this, path.isEmpty() ? message : message + u'\r' + path);
        break;
    case MessageKind::FontPanel:
        LB_FontFileError->setFileName(path);
        LB_FontError->setText(message);
        P_All256Chars->show();
        P_FontError->show();
        break;
    }
}
