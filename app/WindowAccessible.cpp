#include "app/WindowAccessible.h"

#include "app/FindControl.h"
#include "app/Main.h"
#include "app/ReaderControls.h"
#include "controls/CheckBox.h"
#include "controls/ColorButton.h"
#include "controls/LcdLabel.h"
#include "controls/PathLabel.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollBar>

namespace qm::app {

namespace {

// What a label that acts as a button is read as; a path label adds the path it shows.
const char* const kReadAsProperty = "qmReadAs";

// "  Font Full Name:       (we handle this)" is read "Font Full Name".
QString stripName(const QString& caption) {
    return caption.section(QLatin1Char(':'), 0, 0).simplified();
}

// The balloon hint, or the one of the panel the control lies on.
QString hintOf(const QWidget* w) {
    for (; w && !w->isWindow(); w = w->parentWidget())
        if (!w->toolTip().isEmpty())
            return w->toolTip();
    return {};
}

// Presses run one event-loop turn later: a box the press opens must not hold up the reader's
// call that asked for it.
template <class F> void later(QObject* context, F&& f) {
    QMetaObject::invokeMethod(context, std::forward<F>(f), Qt::QueuedConnection);
}

class PressableAccessible : public QAccessibleWidget {
public:
    explicit PressableAccessible(QWidget* w, QAccessible::Role role = QAccessible::Button)
        : QAccessibleWidget(w, role) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Description)
            return hintOf(widget());
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override {
        if (name != pressAction())
            return QAccessibleWidget::doAction(name);
        if (widget()->isEnabled() && widget()->isVisible())
            press();
    }

protected:
    virtual void press() = 0;
};

class ColorButtonAccessible : public PressableAccessible {
public:
    using PressableAccessible::PressableAccessible;

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return button()->caption().simplified();
        if (t == QAccessible::Accelerator) {
            const QVariant key = button()->property("qmAccessKey");
            return key.isValid() ? QStringLiteral("Alt+") + key.toString() : QString();
        }
        return PressableAccessible::text(t);
    }
    QStringList keyBindingsForAction(const QString& name) const override {
        const QString key = text(QAccessible::Accelerator);
        return name == pressAction() && !key.isEmpty() ? QStringList{key} : QStringList{};
    }

protected:
    void press() override {
        TColorButton* b = button();
        later(b, [b] { b->click(); });
    }

private:
    TColorButton* button() const { return static_cast<TColorButton*>(widget()); }
};

// "Click Me", "OKAY" and the destination box: Space on them clicks, as on a button.
class LabelButtonAccessible : public PressableAccessible {
public:
    using PressableAccessible::PressableAccessible;

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name)
            return PressableAccessible::text(t);
        QString name = widget()->property(kReadAsProperty).toString();
        if (const auto* path = qobject_cast<const TFileLabel*>(widget()))
            name += QStringLiteral(": ") + path->fileName();
        return name;
    }

protected:
    void press() override {
        QWidget* w = widget();
        later(w, [w] {
            QKeyEvent down(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
            QCoreApplication::sendEvent(w, &down);
        });
    }
};

// The roller's caption button reads and acts as the window menu's entry for it.
class RollerButtonAccessible : public PressableAccessible {
public:
    using PressableAccessible::PressableAccessible;

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name)
            return PressableAccessible::text(t);
        const QAction* roll = rollAction();
        return roll ? roll->text().remove(QLatin1Char('&')) : QString();
    }

protected:
    void press() override {
        QAction* roll = rollAction();
        if (roll)
            later(roll, [roll] { roll->trigger(); });
    }

private:
    QAction* rollAction() const {
        return widget()->window()->findChild<QAction*>(QStringLiteral("SystemMenuRoll"));
    }
};

class CheckBoxAccessible : public PressableAccessible {
public:
    explicit CheckBoxAccessible(TBWCCCheckBox* box)
        : PressableAccessible(box, QAccessible::CheckBox) {
        // Readers hear the switch change however it changed.
        QObject::connect(box, &TCheckBoxBase::checkedChanged, box, [box] {
            QAccessible::State changed;
            changed.checked = true;
            QAccessibleStateChangeEvent event(box, changed);
            QAccessible::updateAccessibility(&event);
        });
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return box()->caption().simplified();
        return PressableAccessible::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = PressableAccessible::state();
        s.checkable = true;
        s.checked = box()->checked();
        return s;
    }
    QStringList actionNames() const override {
        return QStringList{toggleAction()} + PressableAccessible::actionNames();
    }
    void doAction(const QString& name) override {
        PressableAccessible::doAction(name == toggleAction() ? pressAction() : name);
    }

protected:
    void press() override {
        TBWCCCheckBox* b = box();
        later(b, [b] { b->toggle(); });
    }

private:
    TBWCCCheckBox* box() const { return static_cast<TBWCCCheckBox*>(widget()); }
};

// Text a reader may read but not change.
class ReadOnlyTextAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    using QAccessibleWidget::QAccessibleWidget;

    using QAccessibleWidget::text;
    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = false;
        s.readOnly = true;
        return s;
    }

    // No caret, no selection.
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override { return shown().mid(start, end - start); }
    int characterCount() const override { return int(shown().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }

protected:
    virtual QString shown() const = 0;
};

// The derived names: filled in by the program, never typed.
class ReadOnlyBoxAccessible : public ReadOnlyTextAccessible {
public:
    explicit ReadOnlyBoxAccessible(QLineEdit* box)
        : ReadOnlyTextAccessible(box, QAccessible::EditableText) {
        QObject::connect(box, &QLineEdit::textChanged, box, [box](const QString& now) {
            QAccessibleTextUpdateEvent event(box, 0, QString(), now);
            QAccessible::updateAccessibility(&event);
        });
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return shown();
        return QAccessibleWidget::text(t);
    }

protected:
    QString shown() const override { return static_cast<QLineEdit*>(widget())->text(); }
};

// The counter reads as its count: "0029 Fonts" is "29 Fonts".
class CounterAccessible : public ReadOnlyTextAccessible {
public:
    explicit CounterAccessible(TLCDLabel* counter)
        : ReadOnlyTextAccessible(counter, QAccessible::StaticText) {
        QObject::connect(counter, &TLCDLabel::captionChanged, counter, [counter] {
            QAccessibleEvent event(counter, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&event);
        });
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name || t == QAccessible::Value)
            return shown();
        return QAccessibleWidget::text(t);
    }

protected:
    QString shown() const override {
        static const QRegularExpression leadingZeros(QStringLiteral("^0+(?=\\d)"));
        return static_cast<TLCDLabel*>(widget())->caption().trimmed().remove(leadingZeros);
    }
};

// The red panel: an alert whose text is what could not be read and why.
class ErrorPanelAccessible : public QAccessibleWidget {
public:
    explicit ErrorPanelAccessible(QWidget* panel)
        : QAccessibleWidget(panel, QAccessible::AlertMessage) {}

    QString text(QAccessible::Text t) const override {
        const QWidget* p = widget();
        const auto* title = p->findChild<QLabel*>(QStringLiteral("LB_FontErrorTitle"));
        const auto* file = p->findChild<TFileLabel*>(QStringLiteral("LB_FontFileError"));
        const auto* reason = p->findChild<QLabel*>(QStringLiteral("LB_FontError"));
        if (t == QAccessible::Name && title)
            return title->text().simplified();
        if (t == QAccessible::Description && file && reason)
            return QStringLiteral("Font Location: %1\nReason: %2")
                .arg(file->fileName(), reason->text());
        return QAccessibleWidget::text(t);
    }
};

} // namespace

void nameControlsForReaders(TFrmMain& form) {
    const std::pair<const char*, const char*> boxes[] = {
        {"E_FamilyName", "LB_FamilyNameCaption"}, {"E_Style", "LB_StyleCaption"},
        {"E_FullName", "LB_FullNameCaption"},     {"E_Version", "LB_VersionCaption"},
        {"E_FontID", "LB_FontIDCaption"},         {"E_Postscript", "LB_PostscriptCaption"},
        {"E_Copyright", "LB_CopyrightCaption"},   {"E_TradeMark", "LB_TradeMarkCaption"},
    };
    for (const auto& [box, caption] : boxes)
        findAs<QLineEdit>(form, box)->setAccessibleName(
            stripName(findAs<QLabel>(form, caption)->text()));
    findAs<QLineEdit>(form, "D_FileName")->setAccessibleName(QStringLiteral("New font file name"));
    findAs<QWidget>(form, "D_File")->setAccessibleName(QStringLiteral("Font files"));
    findAs<QWidget>(form, "D_Dir")->setAccessibleName(QStringLiteral("Folders"));
    auto* drives = findAs<QComboBox>(form, "D_Drive");
    drives->setAccessibleName(QStringLiteral("Drive"));
    drives->view()->setAccessibleName(QStringLiteral("Drives"));
    findAs<QWidget>(form, "SB_All256Chars")->setAccessibleName(QStringLiteral("Characters shown"));
    findAs<QWidget>(form, "M_WhatsNew")
        ->setAccessibleName(findAs<QLabel>(form, "LB_WhatsNewTitle")->text());

    findAs<QWidget>(form, "LB_WarnMask")
        ->setProperty(kReadAsProperty, findAs<QLabel>(form, "LB_Warning")->text());
    findAs<QWidget>(form, "LB_WarningOff")
        ->setProperty(kReadAsProperty, findAs<QLabel>(form, "LB_WarningOff")->text());
    findAs<QWidget>(form, "LB_DestinationFile")
        ->setProperty(kReadAsProperty, stripName(findAs<QLabel>(form, "Label28")->text()));
}

QAccessibleInterface* windowAccessibleFactory(const QString&, QObject* object) {
    auto* w = qobject_cast<QWidget*>(object);
    if (w == nullptr)
        return nullptr;
    if (qobject_cast<TFrmMain*>(w))
        return new QAccessibleWidget(w, QAccessible::Window);
    if (qobject_cast<TColorButton*>(w))
        return new ColorButtonAccessible(w);
    if (auto* box = qobject_cast<TBWCCCheckBox*>(w))
        return new CheckBoxAccessible(box);
    if (auto* counter = qobject_cast<TLCDLabel*>(w))
        return new CounterAccessible(counter);
    if (qobject_cast<LabelButton*>(w) || qobject_cast<PathButton*>(w))
        return new LabelButtonAccessible(w);
    if (auto* box = qobject_cast<ReadOnlyBox*>(w))
        return new ReadOnlyBoxAccessible(box);
    if (qobject_cast<AlertPanel*>(w))
        return new ErrorPanelAccessible(w);
    if (w->objectName() == QLatin1String("WinRollerButton"))
        return new RollerButtonAccessible(w);
    return nullptr;
}

} // namespace qm::app
