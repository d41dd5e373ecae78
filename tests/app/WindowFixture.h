#pragma once

// Window test fixture: every test gets a fresh TFrmMain with its own settings folder (a real
// settings file), its own "Windows" folder whose fonts/ subfolder the test fills with real font
// files, a record of every sound request and of every message box. Tests drive the window as
// a user does, through QTest, and read what the user sees.

#include "app/FindControl.h"
#include "app/Main.h"
#include "app/RegFiles.h"
#include "controls/MessageBox.h"
#include "platform/AppFonts.h"
#include "platform/SoundPlayer.h"
#include "tests/support/TestFonts.h"

#include <QLineEdit>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <ostream>

namespace qmtest {

// The one part the machine lacks: a sound output. Accepts every sound and is never busy, so
// synchronous play returns at once.
class RecordingSoundDevice : public qm::platform::SoundDevice {
public:
    bool available() override { return true; }
    bool start(const qm::platform::WaveData&, bool) override { return true; }
    bool playing() override { return false; }
    void stop() override {}
};

class WindowTest : public ::testing::Test {
public: // helpers for free functions of the tests as well
    WindowTest();
    ~WindowTest() override;

    // ---- Before the start ---------------------------------------------------------------
    // The folder that stands for the Windows folder; fontsFolder() is its "fonts" subfolder.
    QString windowsFolder() const;
    QString fontsFolder() const;
    QString systemFolder() const;
    // The folder that stands for the running program's own, where the viewer is sought first.
    QString programFolder() const;
    // The folder the settings file lives in ($XDG_CONFIG_HOME/quillmark here).
    QString settingsFolder() const;
    QString settingsFile() const;
    // A real font of the system copied into fontsFolder() (under another name if given).
    QString copySystemFont(const QString& systemPath, const QString& as = {});
    // A font built by the test font builder, written into folder (default fontsFolder()).
    QString writeFont(const QString& name, const testfonts::Bytes& bytes,
                      const QString& folder = {});
    // A path under the test's own temporary folder.
    QString scratchPath(const QString& name) const;

    // Settings as a fresh settings component reads and writes them in the settings file.
    void writeSetting(const QString& name, const qm::app::TaggedValue& value);
    qm::app::TaggedValue readSetting(const QString& name);
    bool settingExists(const QString& name);
    static QString settingsKey();

    // ---- The window ---------------------------------------------------------------------
    // Builds the window (FormCreate runs and shows it).
    TFrmMain& start();
    TFrmMain& window();
    bool started() const { return window_ != nullptr; }
    // Closes it as the user does; true when it closed (FormClose ran to the end).
    bool closeWindow();
    // Drops the window without closing it.
    void discardWindow();

    // ---- Driving --------------------------------------------------------------------------
    QWidget* find(const QString& objectName) const;
    template <class T> T* findAs(const QString& objectName) const {
        return qobject_cast<T*>(find(objectName));
    }
    // A control of a given window by its object name; throws when it has none.
    template <class T> static T* findAs(const QWidget& window, const char* objectName) {
        return qm::app::findAs<T>(window, objectName);
    }
    template <class T> static T* findAs(const QWidget* window, const char* objectName) {
        return qm::app::findAs<T>(window, objectName);
    }
    // A left click in the middle of the control (or at pos).
    void click(const QString& objectName);
    void clickAt(const QString& objectName, QPoint pos);
    void rightClick(const QString& objectName);
    // Focuses the box and types ASCII text; non-ASCII characters go one by one.
    void typeInto(const QString& objectName, const QString& text);
    void pressKey(const QString& objectName, Qt::Key key, Qt::KeyboardModifiers mods = {});
    // Lets queued events and timers run.
    static void settle(int ms = 0);

    // ---- What the user sees -----------------------------------------------------------------
    // The text a control shows: edit text, label text, button caption, path label's path,
    // counter caption.
    QString textOf(const QString& objectName) const;
    bool isShown(const QString& objectName) const; // visible on screen
    bool isEnabled(const QString& objectName) const;
    QPoint placeOf(const QString& objectName) const; // position in its parent

    // ---- Sounds and messages ----------------------------------------------------------------
    // Names of the sounds requested so far, in order.
    QStringList cues() const;
    const std::vector<qm::platform::SoundRequest>& soundRequests() const;
    void clearCues();

    // ---- Fonts registered for the program alone ----------------------------------------------
    // The window's app-only registrations, which the fixture hands in and keeps a handle on.
    const qm::platform::AppFonts& appFonts() const { return *fonts_; }
    const std::vector<qm::controls::ShownMessage>& messages() const { return messages_.shown(); }
    void clearMessages() { messages_.clear(); }

private:
    testfonts::TempDir temp_;
    QByteArray savedConfigHome_;
    bool hadConfigHome_ = false;
    qm::controls::MessageBoxRecorder messages_;
    std::shared_ptr<qm::platform::SoundPlayer> sound_;
    std::shared_ptr<qm::platform::AppFonts> fonts_;
    std::unique_ptr<TFrmMain> window_;
};

} // namespace qmtest

// Readable QStrings in test failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << '{' << list.join(QStringLiteral(", ")).toStdString() << '}';
}
