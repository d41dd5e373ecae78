#pragma once

// The character strip: the 224 characters of codes 32 to 255 (Windows-1252), the part shown
// from a scroll position, the code box caption, and the painter that draws the strip's label
// with the glyphs of the loaded file itself.

#include <QByteArray>
#include <QFont>
#include <QObject>
#include <QRawFont>
#include <QString>

class QLabel;

namespace qm::browse {

constexpr int kStripPointSize = 30;
// 30 points at the 96 pixels per inch the window is laid out in.
constexpr int kStripPixelSize = kStripPointSize * 96 / 72;
constexpr int kFirstCode = 32;
constexpr int kStripLength = 224;
constexpr int kStartPosition = 34; // "A"
constexpr int kMaxShown = 256;

// Codes 32 to 255 in ascending order, each as the character it stands for in Windows-1252.
QString allCharacters();
// The part of allChars starting at the 1-based position, at most 256 characters.
QString stripText(const QString& allChars, int position);
// "0" followed by the code of the character at position: "032", "065", "0100", "0255".
QString scrollCodeCaption(int position);

// Draws a label's text with one font file's own glyphs (QRawFont), so the strip shows that
// file even where an installed font has the same family name. Bold or italic that the face
// itself lacks is synthesised, as the system did when the flags asked for it. Without a face
// the label paints itself.
class StripPainter : public QObject {
    Q_OBJECT
public:
    explicit StripPainter(QLabel* label);

    void setFace(const QRawFont& face, bool bold, bool italic);
    void clearFace();
    const QRawFont& face() const { return face_; }
    bool synthesisesBold() const { return emboldenBy_ > 0; }
    bool synthesisesItalic() const { return slant_ != 0.0; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void paint();

    QLabel* label_;
    QRawFont face_;
    int emboldenBy_ = 0;
    double slant_ = 0.0;
};

} // namespace qm::browse
