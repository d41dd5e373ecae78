#pragma once

// The window's key preview: every key typed into a naming box or the file-name box goes to
// TFrmMain::FormKeyPress before the box sees it (a filter on the top-level would never see
// keys the box accepts). It also runs E_FamilyNameExit when the focus leaves the family or
// the style box for another control of the window.

#include <QChar>
#include <QObject>

#include <functional>

class QKeyEvent;
class QLineEdit;
class TFrmMain;

namespace qm::naming {

// The characters of the keys the naming boxes act on.
inline constexpr char16_t kEnterChar = 13;
inline constexpr char16_t kBackspaceChar = 8;
inline constexpr char16_t kEscapeChar = 27;

// The character a key press types, as the keyboard would deliver it: Enter 13, Backspace 8,
// Escape 27, Ctrl+A..Z 1..26; a null QChar for keys that type nothing (arrows, Tab, Delete,
// Alt combinations).
QChar typedCharacter(const QKeyEvent& event);

class KeyPreview : public QObject {
public:
    using KeyPress = std::function<bool(QLineEdit* box, QChar key)>; // true: swallowed
    using Exit = std::function<void()>;
    // The form's FormKeyPress and E_FamilyNameExit; what they throw goes to its error display.
    KeyPreview(TFrmMain* form, KeyPress keyPress, Exit exit);

    // Keys typed into `box` pass FormKeyPress first.
    void watchKeys(QLineEdit* box);
    // Leaving `box` for another control of the window runs E_FamilyNameExit.
    void watchExit(QLineEdit* box);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KeyPress keyPress_;
    Exit exit_;
};

} // namespace qm::naming
