#include "browse/CharacterStrip.h"

#include "core/Windows1252.h"

#include <QEvent>
#include <QGlyphRun>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>

namespace qm::browse {

QString allCharacters() {
    QString chars;
    for (int code = kFirstCode; code < kFirstCode + kStripLength; ++code)
        chars.append(QChar(static_cast<char16_t>(unicodeOfWindows1252(code))));
    return chars;
}

QString stripText(const QString& allChars, int position) {
    return allChars.mid(position - 1, kMaxShown);
}

QString scrollCodeCaption(int position) {
    return QLatin1Char('0') + QString::number(position + kFirstCode - 1);
}

StripPainter::StripPainter(QLabel* label) : QObject(label), label_(label) {
    label_->installEventFilter(this);
}

void StripPainter::setFace(const QRawFont& face, bool bold, bool italic) {
    face_ = face;
    const bool faceIsBold = face.isValid() && face.weight() >= QFont::DemiBold;
    const bool faceIsItalic = face.isValid() && face.style() != QFont::StyleNormal;
    emboldenBy_ = bold && !faceIsBold ? std::max(1, int(face.pixelSize()) / 30) : 0;
    slant_ = italic && !faceIsItalic ? -0.2 : 0.0;
    label_->update();
}

void StripPainter::clearFace() {
    setFace(QRawFont(), false, false);
}

bool StripPainter::eventFilter(QObject* watched, QEvent* event) {
    if (watched == label_ && event->type() == QEvent::Paint && face_.isValid()) {
        paint();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void StripPainter::paint() {
    const QString text = label_->text();
    if (text.isEmpty())
        return;
    const QList<quint32> glyphs = face_.glyphIndexesForString(text);
    const QList<QPointF> advances = face_.advancesForGlyphIndexes(glyphs);
    const QRect area = label_->contentsRect();

    const qreal ascent = face_.ascent();
    const qreal height = ascent + face_.descent();
    qreal top = area.top();
    if (label_->alignment() & Qt::AlignVCenter)
        top += (area.height() - height) / 2;
    else if (label_->alignment() & Qt::AlignBottom)
        top += area.height() - height;
    const qreal baseline = top + ascent;

    // Only what reaches the right edge is laid out; the rest is cut off anyway.
    QList<QPointF> positions;
    QList<quint32> shown;
    qreal x = area.left();
    for (qsizetype i = 0; i < glyphs.size() && x < area.right(); ++i) {
        shown.append(glyphs[i]);
        positions.append(QPointF(x, 0));
        x += advances.value(i).x();
    }
    QGlyphRun run;
    run.setRawFont(face_);
    run.setGlyphIndexes(shown);
    run.setPositions(positions);

    QPainter p(label_);
    p.setClipRect(area);
    p.setPen(label_->palette().color(QPalette::WindowText));
    p.translate(0, baseline);
    if (slant_ != 0.0)
        p.setTransform(QTransform(1, 0, slant_, 1, 0, 0), true);
    for (int dx = 0; dx <= emboldenBy_; ++dx)
        p.drawGlyphRun(QPointF(dx, 0), run);
}

} // namespace qm::browse
