#include "app/MainLayout.h"

#include "app/Main.h"
#include "app/ReaderControls.h"
#include "browse/DirectoryListBox.h"
#include "browse/DriveComboBox.h"
#include "browse/FileListBox.h"
#include "controls/CheckBox.h"
#include "controls/ColorButton.h"
#include "controls/DeviceFrameStyle.h"
#include "controls/FlashingLabel.h"
#include "controls/FontImageLabel.h"
#include "controls/LcdLabel.h"
#include "controls/MessageBox.h"
#include "controls/PathLabel.h"
#include "controls/StoredPicture.h"
#include "controls/SystemColors.h"
#include "controls/ThreeDLabel.h"

#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextDocument>

#include <algorithm>
#include <cmath>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

using qm::browse::DirectoryListBox;
using qm::browse::DriveComboBox;
using qm::browse::FileListBox;
using qm::controls::defaultUiFont;
using qm::controls::showError;

namespace qm::app {

namespace {

using K = ControlKind;

// The smallest face a text is shrunk to so that it fits its place.
constexpr int kSmallestPixels = 8;

// A wrapping text that the system's face draws wider than the layout allows would lose its last
// words below the label; the face shrinks a pixel at a time until the whole text is read.
void fitWrappedText(QLabel* label) {
    QFont font = label->font();
    const QRect room = label->contentsRect();
    const int flags = int(label->alignment()) | Qt::TextWordWrap;
    while (font.pixelSize() > kSmallestPixels) {
        const QRect needed =
            QFontMetrics(font).boundingRect(QRect(0, 0, room.width(), 10000), flags, label->text());
        if (needed.height() <= room.height() && needed.width() <= room.width())
            break;
        font.setPixelSize(font.pixelSize() - 1);
    }
    label->setFont(font);
}

// A one-line text that the system's face draws wider than its place would be cut or wrapped;
// the face shrinks a pixel at a time until the text fits on one line.
QFont fitOneLine(QFont font, const QString& text, int room) {
    while (font.pixelSize() > kSmallestPixels && QFontMetrics(font).horizontalAdvance(text) > room)
        font.setPixelSize(font.pixelSize() - 1);
    return font;
}

// A read-only list is written one row a line; where the system's face draws a row wider than
// the box, the face shrinks a pixel at a time until the widest row fits on its line.
void fitListRows(QPlainTextEdit* list) {
    QFont font = list->font();
    const int room = list->contentsRect().width() -
                     2 * int(std::ceil(list->document()->documentMargin())) - list->cursorWidth();
    const QStringList rows = list->toPlainText().split(QLatin1Char('\n'));
    while (font.pixelSize() > kSmallestPixels) {
        const QFontMetrics metrics(font);
        int widest = 0;
        for (const QString& row : rows)
            widest = std::max(widest, metrics.horizontalAdvance(row));
        if (widest < room)
            break;
        font.setPixelSize(font.pixelSize() - 1);
    }
    list->setFont(font);
}

bool isLabelKind(ControlKind kind) {
    return kind == K::Label || kind == K::LabelButton;
}

// Shrinks the face of a control whose text would not fit its place.
void fitToPlace(QWidget* w, const LayoutRow& row) {
    if (isLabelKind(row.kind) && row.wrap)
        fitWrappedText(static_cast<QLabel*>(w));
    if (isLabelKind(row.kind) && !row.wrap) {
        auto* label = static_cast<QLabel*>(w);
        label->setFont(fitOneLine(label->font(), label->text(), label->contentsRect().width()));
    }
    if (row.kind == K::Button) {
        auto* button = static_cast<TColorButton*>(w);
        const int margin = 2 * (button->bevelSize() + button->borderSize());
        button->setFont(fitOneLine(button->font(), button->caption(), row.place.width() - margin));
    }
    if (row.kind == K::Memo && row.readOnly)
        fitListRows(static_cast<QPlainTextEdit*>(w));
}

// Fits the labels and lists of a panel hidden at start on its first show, which comes before
// its first paint. Buttons are fitted at once: their pictures are taken while hidden.
class FitWhenShown : public QObject {
public:
    explicit FitWhenShown(QWidget* panel) : QObject(panel) { panel->installEventFilter(this); }

    // Whether w's fit waits for the panel; the rows outlive the window.
    bool defer(QWidget* w, const LayoutRow& row) {
        if (!isLabelKind(row.kind) && row.kind != K::Memo)
            return false;
        waiting_.push_back({w, &row});
        return true;
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == parent() && event->type() == QEvent::Show) {
            for (const auto& [w, row] : waiting_)
                fitToPlace(w, *row);
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    std::vector<std::pair<QWidget*, const LayoutRow*>> waiting_;
};

void applyBevel(QFrame* frame, const LayoutRow& row) {
    switch (row.bevel) {
    case Bevel::None:
        frame->setFrameStyle(QFrame::NoFrame);
        break;
    case Bevel::Lowered:
        frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        break;
    case Bevel::Raised:
        frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
        break;
    case Bevel::Single:
        frame->setFrameStyle(QFrame::Box | QFrame::Plain);
        break;
    }
    frame->setLineWidth(row.bevelSize > 0 ? row.bevelSize : 1);
}

// Shows the stored picture a row names (none where it names none) at the ratio of the screen
// the window is on, and again whenever it moves to a screen of another ratio.
void showStoredPicture(const LayoutRow& row, QWidget* w,
                       const std::function<void(const QPixmap&)>& show) {
    if (row.picture == nullptr) {
        show(QPixmap());
        return;
    }
    qm::controls::showPictureForRatio(
        w, QStringLiteral(":/pictures/%1.png").arg(QLatin1String(row.picture)), show);
}

QWidget* createControl(const LayoutRow& row, QWidget* parent) {
    const QString caption = QString::fromUtf8(row.caption);
    switch (row.kind) {
    case K::Panel:
    case K::AlertPanel: {
        QFrame* w = row.kind == K::Panel ? new QFrame(parent) : new AlertPanel(parent);
        applyBevel(w, row);
        return w;
    }
    case K::Label:
    case K::LabelButton: {
        // A doubled ampersand in a caption shows as one.
        const QString text = QString(caption).replace(QStringLiteral("&&"), QStringLiteral("&"));
        QLabel* w = row.kind == K::Label ? new QLabel(text, parent) : new LabelButton(text, parent);
        w->setWordWrap(row.wrap);
        w->setAlignment(row.align);
        w->setTextFormat(Qt::PlainText);
        applyBevel(w, row);
        return w;
    }
    case K::Picture: {
        auto* w = new QLabel(parent);
        showStoredPicture(row, w, [w](const QPixmap& picture) { w->setPixmap(picture); });
        return w;
    }
    case K::Rule: {
        auto* w = new QFrame(parent);
        w->setFrameStyle(QFrame::HLine | QFrame::Sunken);
        return w;
    }
    case K::Edit:
    case K::ReadOnlyBox: {
        QLineEdit* w =
            row.kind == K::Edit ? new QLineEdit(caption, parent) : new ReadOnlyBox(caption, parent);
        w->setFrame(false);
        if (row.maxLength > 0)
            w->setMaxLength(row.maxLength);
        w->setReadOnly(row.readOnly);
        return w;
    }
    case K::Memo: {
        auto* w = new QPlainTextEdit(caption, parent);
        w->setReadOnly(row.readOnly);
        w->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        return w;
    }
    case K::Button: {
        auto* w = new TColorButton(parent);
        w->setCaption(caption);
        w->setColor(row.color);
        w->setFontColor(rowText(row)); // it paints with its own colour, not the palette's
        if (row.bevelSize > 0)
            w->setBevelSize(row.bevelSize);
        return w;
    }
    case K::Toggle: {
        auto* w = new TBWCCCheckBox(parent);
        w->setCaption(caption);
        w->setCheckColor(qm::controls::classic::red());
        w->setColor(row.color);
        w->setFontColor(rowText(row));
        w->setTabStop(false);
        return w;
    }
    case K::PathLabel:
    case K::PathButton: {
        TFileLabel* w = row.kind == K::PathLabel ? new TFileLabel(parent) : new PathButton(parent);
        w->setSeparator(QStringLiteral("/"));
        w->setAlignment(row.align);
        w->setFileName(caption);
        return w;
    }
    case K::Counter: {
        auto* w = new TLCDLabel(parent);
        // The counter refuses bad settings; the window shows why, as an error box.
        QObject::connect(w, &TLCDLabel::settingRefused, w,
                         [w](const QString& message) { showError(w, message); });
        w->setDotMatrix(TLCDLabel::mat5x7);
        w->setTextLines(1);
        w->setNoOfChars(10);
        w->setCaption(caption);
        w->updateSize();
        return w;
    }
    case K::FontImage: {
        auto* w = new TMyFontImage(parent);
        showStoredPicture(row, w, [w](const QPixmap& picture) { w->setPicture(picture); });
        w->setTransparent(true);
        return w;
    }
    case K::Flashing: {
        auto* w = new TFlashingLabel(parent);
        w->setText(caption);
        w->setAlignment(row.align);
        w->setColor(row.text);
        w->setInterval(500);
        return w;
    }
    case K::Label3D: {
        auto* w = new TDRLabel(parent);
        w->setText(caption);
        w->setTransparent(true);
        w->setShadowColor(qm::controls::system::btnHighlight());
        w->setDeep(1);
        return w;
    }
    case K::ScrollBar: {
        auto* w = new QScrollBar(Qt::Horizontal, parent);
        w->setRange(1, 224);
        w->setValue(34);
        return w;
    }
    case K::DriveBox:
        return new DriveComboBox(parent);
    case K::FolderList:
        return new DirectoryListBox(parent);
    case K::FileList:
        return new FileListBox(parent);
    }
    return nullptr;
}

// A member of another class than its control would crash at first use: refuse to build the
// window instead, in every build.
template <class T> T* made(const QHash<QString, QWidget*>& controls, const char* name) {
    auto* control = dynamic_cast<T*>(controls.value(QLatin1String(name)));
    if (!control)
        throw std::logic_error(std::string("the layout made no fitting control ") + name);
    return control;
}

} // namespace

void buildMainLayout(TFrmMain& form) {
    // At 1.25x or 1.5x the stock controls' frame lines are laid on whole device pixels.
    qm::controls::useDeviceFrames(&form);
    // The UI face is chosen once: asking the font database per row cost more than the rows.
    const QFont uiFont = defaultUiFont();
    QHash<QString, QWidget*> controls;
    // The fit each control of a panel fitted on show waits for.
    QHash<QWidget*, FitWhenShown*> fitsOnShow;
    QWidget* previousStop = nullptr;
    for (const LayoutRow& row : mainLayout()) {
        QWidget* parent = row.parent ? controls.value(QLatin1String(row.parent)) : &form;
        if (!parent)
            throw std::logic_error(std::string("no parent made before ") + row.name);
        QWidget* w = createControl(row, parent);
        w->setObjectName(QLatin1String(row.name));
        dressControl(w, row, uiFont);
        w->setGeometry(row.place);
        FitWhenShown* const panelFit = fitsOnShow.value(parent);
        if (!panelFit || !panelFit->defer(w, row))
            fitToPlace(w, row);
        if (panelFit)
            fitsOnShow.insert(w, panelFit);
        else if (row.fitWhenShown)
            fitsOnShow.insert(w, new FitWhenShown(w));
        if (row.kind == K::Counter)
            static_cast<TLCDLabel*>(w)->updateSize(); // keeps its own snapped size
        if (*row.hint)
            w->setToolTip(QString::fromUtf8(row.hint));
        // Not a tab stop still takes the focus by mouse where the control needs it to act.
        const bool clickFocus = row.kind == K::Edit || row.kind == K::ReadOnlyBox ||
                                row.kind == K::Memo || row.kind == K::Toggle ||
                                row.kind == K::DriveBox;
        w->setFocusPolicy(row.tabStop ? Qt::StrongFocus
                                      : (clickFocus ? Qt::ClickFocus : Qt::NoFocus));
        w->setVisible(!row.hidden);
        controls.insert(QLatin1String(row.name), w);
        // Tab walks the tab stops in table order.
        if (row.tabStop) {
            if (previousStop)
                QWidget::setTabOrder(previousStop, w);
            previousStop = w;
        }
    }

#define QM_CONTROL(kind, name, ...) form.name = made<ControlClass<K::kind>>(controls, #name);
#include "app/MainControls.def"
#undef QM_CONTROL
}

void applyHandCursor(TFrmMain& form, const QCursor& cursor) {
    // The members and the rows come from the same list, in the same order.
    QWidget* const controls[] = {
#define QM_CONTROL(kind, name, ...) form.name,
#include "app/MainControls.def"
#undef QM_CONTROL
    };
    const std::vector<LayoutRow>& rows = mainLayout();
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].hand)
            controls[i]->setCursor(cursor);
}

} // namespace qm::app
