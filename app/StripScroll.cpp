// The character strip's set-up at start and its scrolling.

#include "app/Main.h"
#include "browse/CharacterStrip.h"

#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>

void TFrmMain::setUpCharacterStrip() {
    AllChars = qm::browse::allCharacters();
    QFont face = LB_All256Chars->font();
    face.setPixelSize(qm::browse::kStripPixelSize);
    LB_All256Chars->setFont(face);
    LB_All256Chars->setWordWrap(false);
    LB_All256Chars->setText(qm::browse::stripText(AllChars, qm::browse::kStartPosition));
    const QSignalBlocker block(SB_All256Chars);
    SB_All256Chars->setRange(1, qm::browse::kStripLength);
    SB_All256Chars->setValue(qm::browse::kStartPosition);
    P_Scroll256->setText(qm::browse::scrollCodeCaption(qm::browse::kStartPosition));
}

void TFrmMain::SB_All256CharsScroll() {
    const int position = SB_All256Chars->value();
    LB_All256Chars->setText(qm::browse::stripText(AllChars, position));
    P_Scroll256->setText(qm::browse::scrollCodeCaption(position));
}
