#include "SampleWindow.h"

#include "controls/BalloonHint.h"
#include "controls/CaptionBar.h"
#include "controls/SystemColors.h"
#include "controls/WindowRoller.h"

#include <QFrame>
#include <QPushButton>

using qm::controls::defaultUiFont;

ChromeSample buildChromeSample() {
    ChromeSample s;
    s.form = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::WindowSystemMenuHint |
                                                    Qt::WindowMinimizeButtonHint |
                                                    Qt::WindowCloseButtonHint);
    QWidget* form = s.form.get();
    form->setObjectName(QStringLiteral("FrmMain"));
    form->setFixedSize(420, 200);
    QPalette pal = form->palette();
    pal.setColor(QPalette::Window, qm::controls::classic::black());
    form->setPalette(pal);
    form->setAutoFillBackground(true);
    form->setFont(defaultUiFont());

    auto* panel = new QFrame(form);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setGeometry(6, 8, 408, 184);
    QPalette green = panel->palette();
    green.setColor(QPalette::Window, QColor(192, 220, 192));
    panel->setPalette(green);
    panel->setAutoFillBackground(true);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(3);

    s.create = new QPushButton(QStringLiteral("Create New Font Now"), panel);
    s.create->setObjectName(QStringLiteral("B_CreateFontNow"));
    s.create->setGeometry(19, 130, 185, 33);
    s.create->setToolTip(QStringLiteral("Makes a new font file containing the data you entered."));
    s.restore = new QPushButton(QStringLiteral("Restore Original Font Names"), panel);
    s.restore->setObjectName(QStringLiteral("B_RestoreNames"));
    s.restore->setGeometry(208, 130, 185, 33);
    s.restore->setToolTip(QStringLiteral("Changes all data back to the way it was."));

    // The components in the window's order: balloon help, roller, then the caption bar.
    s.hint = new TBalloonHint(form);
    s.roller = new TWinRoller(form);
    s.roller->setEnabled(true);
    s.bar = new TMSOfficeCaption(form);
    s.bar->AppNameText()->setFontKind(fkSystemB);
    s.bar->CaptionText()->setFontKind(fkSystem);
    s.bar->CompanyText()->setFontKind(fkSystemBI);
    form->setWindowTitle(QStringLiteral(
        "Quillmark 2.3 - Copyright \u00a9 Solvane Type Works. All rights reserved."));
    return s;
}
