#pragma once

// The window's key preview: every key typed into a naming box or the file-name box goes to
// the window's FormKeyPress before the box sees it (a filter on the top-level would never see
// keys the box accepts).

#include <QChar>
#include <QObject>

#include <functional>

class QKeyEvent;
class QLineEdit;

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
    // Runs a call of FormKeyPress; what it throws goes to the window's error display.
    using Guard = std::function<void(const std::function<void()>& call)>;
    // The window owns the preview and ends it before its own teardown.
    KeyPreview(QObject* form, KeyPress keyPress, Guard guard);

    // Keys typed into `box` pass FormKeyPress first.
    void watchKeys(QLineEdit* box);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KeyPress keyPress_;
    Guard guard_;
};

} // namespace qm::naming
