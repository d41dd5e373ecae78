// "View / Print": starts the separate sample viewer with the current path.

#include "app/AppExec.h"
#include "app/Main.h"
#include "controls/PathLabel.h"
#include "platform/FileNames.h"
#include "session/FontSession.h"

#include <QFileInfo>
#include <exception>

namespace {

const QString kViewerName = QStringLiteral("glyphsee");

} // namespace

void TFrmMain::B_ViewPrintClick() {
    // 1. The click.
    PlayCue(MyTock);
    try {
        // 2. The viewer beside this program (an installed copy or the build tree), else the
        //    one in the system program folder, which is not checked further.
        QString viewer = programFolder_ + QLatin1Char('/') + kViewerName;
        if (!QFileInfo(viewer).isFile())
            viewer = SystemFolder + QLatin1Char('/') + kViewerName;

        // 3. The font on show (else the current path), as one argument however many blanks it
        //    holds: browsing elsewhere after loading it does not change what is viewed.
        const std::string& shown =
            session_->source().empty() ? session_->currentPath() : session_->source();
        AppExec->params().clear();
        AppExec->params().append(qm::platform::fileNameText(shown));

        // 4. Started; the viewer runs on by itself.
        AppExec->setExeName(viewer);
        AppExec->Execute();
    } catch (const std::exception&) {
        // 5. A viewer that does not start is only heard.
        PlayCue(MyOhOh);
    }
}
