#include "Gallery.h"

#include "controls/LcdLabel.h"

#include <QMetaEnum>

namespace {

QString enumKey(const char* enumName, int value) {
    const QMetaObject& mo = TLCDLabel::staticMetaObject;
    return QString::fromLatin1(mo.enumerator(mo.indexOfEnumerator(enumName)).valueToKey(value));
}

// Every character of a matrix's table, sixteen to a line.
QString fullSet(int first, int last) {
    QString s;
    for (int c = first; c <= last; ++c)
        s += QChar(c);
    return s;
}

} // namespace

void lcdPage(Gallery& g) {
    // The window's counter as it is laid out.
    {
        TLCDLabel lcd;
        lcd.setDotMatrix(TLCDLabel::mat5x7);
        lcd.setNoOfChars(10);
        lcd.setCaption(QStringLiteral("0007 Fonts"));
        g.shot(QStringLiteral("lcd-counter-0007"), lcd);
        lcd.setCaption(QStringLiteral("10000 Fonts"));
        g.shot(QStringLiteral("lcd-counter-10000"), lcd);
        lcd.setCaption(QStringLiteral("12"));
        g.shot(QStringLiteral("lcd-counter-short"), lcd);
        lcd.setCaption(QStringLiteral("9999 Fonts"));
        lcd.setPixelSize(TLCDLabel::pix3x3);
        g.shot(QStringLiteral("lcd-counter-pix3x3"), lcd);
    }
    // Every matrix with its whole character set.
    for (int m = TLCDLabel::mat5x7; m <= TLCDLabel::Hitachi2; ++m) {
        const auto matrix = static_cast<TLCDLabel::TDotMatrix>(m);
        const bool hitachi = matrix == TLCDLabel::Hitachi || matrix == TLCDLabel::Hitachi2;
        TLCDLabel lcd;
        lcd.setDotMatrix(matrix);
        lcd.setNoOfChars(16);
        lcd.setTextLines(hitachi ? 12 : 6);
        lcd.setCaption(fullSet(32, hitachi ? 223 : 126));
        g.shot(QStringLiteral("lcd-matrix-%1").arg(enumKey("TDotMatrix", m)), lcd);
    }
    // Dot shapes and frames.
    for (int shape = TLCDLabel::Square; shape <= TLCDLabel::Round; ++shape) {
        for (int border = TLCDLabel::Raised; border <= TLCDLabel::None; ++border) {
            TLCDLabel lcd;
            lcd.setDotMatrix(TLCDLabel::mat5x8);
            lcd.setPixelSize(TLCDLabel::pix5x5);
            lcd.setPixelShape(static_cast<TLCDLabel::TPixelShape>(shape));
            lcd.setBorderStyle(static_cast<TLCDLabel::TBorderStyle>(border));
            lcd.setBorderColor(QColor(255, 0, 0));
            lcd.setNoOfChars(6);
            lcd.setCaption(QStringLiteral("Ag 42%"));
            g.shot(QStringLiteral("lcd-shape-%1-%2")
                       .arg(enumKey("TPixelShape", shape), enumKey("TBorderStyle", border)),
                   lcd);
        }
    }
    // Colours and a resize from outside, which refits the counts.
    {
        TLCDLabel lcd;
        lcd.setPixelOn(QColor(255, 200, 0));
        lcd.setPixelOff(QColor(60, 40, 0));
        lcd.setBackGround(QColor(20, 10, 0));
        lcd.setPixelShape(TLCDLabel::Shaped);
        lcd.setPixelSize(TLCDLabel::pix4x4);
        lcd.resize(300, 120);
        lcd.setCaption(QStringLiteral("Resized from outside: two lines fit."));
        g.shot(QStringLiteral("lcd-amber-resized"), lcd);
    }
}
