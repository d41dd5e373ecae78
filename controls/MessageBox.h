#pragma once

// Every modal message box of the program goes through showMessageBox(): title "Information"
// or "Error", one OK button, the text kept as written with its lone-CR line breaks turned
// into real ones only for display.
//
// Test seam: while a MessageBoxRecorder exists, no dialog is shown; each request is
// appended to the recorder instead. The hook is a single static pointer, installed and
// removed by the recorder's lifetime (recorders nest: the newest one records).

#include <QString>
#include <QWidget>
#include <vector>

namespace qm::controls {

enum class MessageKind { Information, Error };

struct ShownMessage {
    MessageKind kind;
    QString title; // "Information" or "Error"
    QString text;  // as passed in, CRs included
};

// Lone CRs become '\n'; CR LF pairs become one '\n'.
QString messageDisplayText(const QString& text);

QString messageTitle(MessageKind kind);

void showMessageBox(QWidget* parent, MessageKind kind, const QString& text);

inline void showInformation(QWidget* parent, const QString& text) {
    showMessageBox(parent, MessageKind::Information, text);
}
inline void showError(QWidget* parent, const QString& text) {
    showMessageBox(parent, MessageKind::Error, text);
}

class MessageBoxRecorder {
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    const std::vector<ShownMessage>& shown() const { return shown_; }
    void clear() { shown_.clear(); }

private:
    friend void showMessageBox(QWidget*, MessageKind, const QString&);
    std::vector<ShownMessage> shown_;
    MessageBoxRecorder* previous_;
};

} // namespace qm::controls
