#include "tests/app/WindowFixture.h"

#include "controls/ColorButton.h"
#include "controls/LcdLabel.h"
#include "controls/PathLabel.h"
#include "platform/RegistryStore.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>

using qm::app::MainWindowSetup;
using qm::app::TaggedValue;

namespace qmtest {

namespace {

std::string local(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

WindowTest::WindowTest() {
    const QString root = QString::fromStdString(temp_.Path());
    QDir().mkpath(root + QStringLiteral("/windows/fonts"));
    QDir().mkpath(root + QStringLiteral("/system"));
    QDir().mkpath(root + QStringLiteral("/program"));
    QDir().mkpath(root + QStringLiteral("/config"));
    // Whatever else reads the settings folder from the environment ends up here too.
    hadConfigHome_ = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    savedConfigHome_ = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root + QStringLiteral("/config")));
    sound_ = std::make_shared<qm::platform::SoundPlayer>(std::make_unique<RecordingSoundDevice>());
    fonts_ = std::make_shared<qm::platform::AppFonts>();
}

WindowTest::~WindowTest() {
    discardWindow();
    if (hadConfigHome_)
        qputenv("XDG_CONFIG_HOME", savedConfigHome_);
    else
        qunsetenv("XDG_CONFIG_HOME");
}

QString WindowTest::windowsFolder() const {
    return QString::fromStdString(temp_.Path()) + QStringLiteral("/windows");
}

QString WindowTest::fontsFolder() const {
    return windowsFolder() + QStringLiteral("/fonts");
}

QString WindowTest::systemFolder() const {
    return QString::fromStdString(temp_.Path()) + QStringLiteral("/system");
}

QString WindowTest::programFolder() const {
    return QString::fromStdString(temp_.Path()) + QStringLiteral("/program");
}

QString WindowTest::settingsFolder() const {
    return QString::fromStdString(temp_.Path()) + QStringLiteral("/config/quillmark");
}

QString WindowTest::settingsFile() const {
    return settingsFolder() + QStringLiteral("/HKEY_CURRENT_USER.reg");
}

QString WindowTest::scratchPath(const QString& name) const {
    return QString::fromStdString(temp_.Path()) + QLatin1Char('/') + name;
}

QString WindowTest::copySystemFont(const QString& systemPath, const QString& as) {
    const QString target =
        fontsFolder() + QLatin1Char('/') + (as.isEmpty() ? QFileInfo(systemPath).fileName() : as);
    QFile::remove(target);
    if (!QFile::copy(systemPath, target))
        ADD_FAILURE() << "cannot copy " << systemPath.toStdString();
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    return target;
}

QString WindowTest::writeFont(const QString& name, const testfonts::Bytes& bytes,
                              const QString& folder) {
    const QString target = (folder.isEmpty() ? fontsFolder() : folder) + QLatin1Char('/') + name;
    testfonts::WriteFile(local(target), bytes);
    return target;
}

QString WindowTest::settingsKey() {
    return QStringLiteral("Software\\Solvane\\Vantrel\\Quillmark\\Application");
}

void WindowTest::writeSetting(const QString& name, const TaggedValue& value) {
    TRegFile reg(nullptr, std::make_shared<qm::platform::RegistryStore>(local(settingsFolder())));
    reg.setRootKey(TRegFile::hkCurrentUser);
    reg.setKey(settingsKey());
    reg.WriteValue(name, value);
}

TaggedValue WindowTest::readSetting(const QString& name) {
    TRegFile reg(nullptr, std::make_shared<qm::platform::RegistryStore>(local(settingsFolder())));
    reg.setRootKey(TRegFile::hkCurrentUser);
    reg.setKey(settingsKey());
    return reg.ReadValue(name);
}

bool WindowTest::settingExists(const QString& name) {
    TRegFile reg(nullptr, std::make_shared<qm::platform::RegistryStore>(local(settingsFolder())));
    reg.setRootKey(TRegFile::hkCurrentUser);
    reg.setKey(settingsKey());
    return reg.ValueExists(QString(), name);
}

TFrmMain& WindowTest::start() {
    discardWindow();
    MainWindowSetup setup;
    // Each start reads the settings file afresh, as a new process would.
    setup.registry = std::make_shared<qm::platform::RegistryStore>(local(settingsFolder()));
    setup.sound = sound_;
    // Each window registers afresh; what the previous one left is withdrawn with its handle.
    fonts_ = std::make_shared<qm::platform::AppFonts>();
    setup.fonts = fonts_;
    setup.folders = qm::platform::SystemFolders(windowsFolder(), systemFolder());
    setup.programFolder = programFolder();
    window_ = std::make_unique<TFrmMain>(nullptr, std::move(setup));
    // As a real start runs: the first frame, then, one turn later, what waits for it (the
    // start-up cue).
    settle();
    settle();
    return *window_;
}

TFrmMain& WindowTest::window() {
    if (!window_)
        start();
    return *window_;
}

bool WindowTest::closeWindow() {
    if (!window_)
        return false;
    const bool closed = window_->close();
    settle();
    return closed;
}

void WindowTest::discardWindow() {
    window_.reset();
    settle();
}

QWidget* WindowTest::find(const QString& objectName) const {
    if (!window_)
        return nullptr;
    if (window_->objectName() == objectName)
        return window_.get();
    return window_->findChild<QWidget*>(objectName);
}

void WindowTest::click(const QString& objectName) {
    QWidget* w = find(objectName);
    if (!w) {
        ADD_FAILURE() << "no control " << objectName.toStdString();
        return;
    }
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
    settle();
}

void WindowTest::clickAt(const QString& objectName, QPoint pos) {
    QWidget* w = find(objectName);
    if (!w) {
        ADD_FAILURE() << "no control " << objectName.toStdString();
        return;
    }
    QTest::mouseClick(w, Qt::LeftButton, {}, pos);
    settle();
}

void WindowTest::rightClick(const QString& objectName) {
    QWidget* w = find(objectName);
    if (!w) {
        ADD_FAILURE() << "no control " << objectName.toStdString();
        return;
    }
    QTest::mouseClick(w, Qt::RightButton, {}, w->rect().center());
    settle();
}

void WindowTest::typeInto(const QString& objectName, const QString& text) {
    QWidget* w = find(objectName);
    if (!w) {
        ADD_FAILURE() << "no control " << objectName.toStdString();
        return;
    }
    w->setFocus(Qt::OtherFocusReason);
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClicks(w, QString(c));
        else // keyClicks aborts on non-ASCII text
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), {});
    }
    settle();
}

void WindowTest::pressKey(const QString& objectName, Qt::Key key, Qt::KeyboardModifiers mods) {
    QWidget* w = find(objectName);
    if (!w) {
        ADD_FAILURE() << "no control " << objectName.toStdString();
        return;
    }
    QTest::keyClick(w, key, mods);
    settle();
}

void WindowTest::settle(int ms) {
    QCoreApplication::processEvents();
    if (ms > 0)
        QTest::qWait(ms);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QString WindowTest::textOf(const QString& objectName) const {
    QWidget* w = find(objectName);
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return edit->text();
    if (auto* path = qobject_cast<TFileLabel*>(w))
        return path->fileName();
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    if (auto* button = qobject_cast<TColorButton*>(w))
        return button->caption();
    if (auto* lcd = qobject_cast<TLCDLabel*>(w))
        return lcd->caption();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(w))
        return memo->toPlainText();
    if (w && w->property("Caption").isValid())
        return w->property("Caption").toString();
    return w ? w->windowTitle() : QString();
}

bool WindowTest::isShown(const QString& objectName) const {
    QWidget* w = find(objectName);
    return w && w->isVisible();
}

bool WindowTest::isEnabled(const QString& objectName) const {
    QWidget* w = find(objectName);
    return w && w->isEnabled();
}

QPoint WindowTest::placeOf(const QString& objectName) const {
    QWidget* w = find(objectName);
    return w ? w->pos() : QPoint(-1, -1);
}

QStringList WindowTest::cues() const {
    QStringList names;
    for (const auto& request : sound_->requests())
        names << request.name;
    return names;
}

const std::vector<qm::platform::SoundRequest>& WindowTest::soundRequests() const {
    return sound_->requests();
}

void WindowTest::clearCues() {
    sound_->clearRequests();
}

} // namespace qmtest
