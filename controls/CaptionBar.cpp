#include "controls/CaptionBar.h"

#include "controls/DevicePixels.h"
#include "controls/RollerGeometry.h"
#include "controls/SystemColors.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QWindow>

#include <algorithm>
#include <array>

using namespace qm::controls;

namespace {

QObject* checkedOwner(QObject* owner) {
    if (!isForm(owner))
        throw EOwnerError();
    return owner;
}

// Widgets of the frame itself (the roller's) are placed by their owners, never moved with the
// client area.
constexpr const char* kNonClientProperty = "qmNonClient";

enum CaptionButton { CloseButton = 0, MinimizeButton = 1, MaximizeButton = 2 };

// Glyphs of the classic caption buttons, as rows of 16-pixel masks from the button's top-left.
struct Glyph {
    int top;
    std::array<const char*, 9> rows;
};

const Glyph kCloseGlyph{3,
                        {"    **    **", "     **  **", "      ****", "       **", "      ****",
                         "     **  **", "    **    **", nullptr, nullptr}};
const Glyph kMinimizeGlyph{9, {"    ******", "    ******", nullptr}};
const Glyph kMaximizeGlyph{2,
                           {"   *********", "   *********", "   *       *", "   *       *",
                            "   *       *", "   *       *", "   *       *", "   *       *",
                            "   *********"}};

// With a grid, in device pixels (the button at 0, 0).
void drawGlyph(QPainter& p, const QRect& button, const Glyph& g, bool pushed, bool enabled,
               const DeviceGrid* grid = nullptr) {
    auto plot = [&](int dx, int dy, const QColor& c) {
        for (int row = 0; row < int(g.rows.size()) && g.rows[row]; ++row)
            for (int x = 0; g.rows[row][x]; ++x)
                if (g.rows[row][x] == '*') {
                    const QRect px(button.left() + x + dx, button.top() + g.top + row + dy, 1, 1);
                    p.fillRect(grid ? grid->map(px) : px, c);
                }
    };
    const int shift = pushed ? 1 : 0;
    if (enabled) {
        plot(shift, shift, qm::controls::system::btnText());
    } else {
        plot(1, 1, qm::controls::system::btnHighlight());
        plot(0, 0, qm::controls::system::btnShadow());
    }
}

} // namespace

// ---- TCompanyText ------------------------------------------------------------------------

TCompanyText::TCompanyText(TMSOfficeCaption* owner)
    : QObject(owner), owner_(owner), colorActive_(qm::controls::system::captionText()),
      colorInactive_(qm::controls::system::inactiveCaptionText()), font_(owner->captionFont()) {}

void TCompanyText::setCaption(const QString& text) {
    // The caption part is what follows the other parts, so read it before they change.
    const QString own = owner_->CaptionText() ? owner_->CaptionText()->Caption() : QString();
    caption_ = text;
    if (owner_->CaptionText() == this)
        owner_->captionText_->caption_ = text;
    else
        owner_->captionText_->caption_ = own;
    owner_->updateCaption();
    owner_->announceCaptions();
}

void TCompanyText::setVisible(bool on) {
    if (visible_ == on)
        return;
    owner_->captionText_->caption_ = owner_->CaptionText()->Caption();
    visible_ = on;
    owner_->updateCaption();
    emit visibleChanged(on);
    owner_->announceCaptions();
}

void TCompanyText::setColorActive(const QColor& c) {
    if (c == colorActive_)
        return;
    colorActive_ = c;
    owner_->update();
    emit colorActiveChanged(c);
}

void TCompanyText::setColorInactive(const QColor& c) {
    if (c == colorInactive_)
        return;
    colorInactive_ = c;
    owner_->update();
    emit colorInactiveChanged(c);
}

void TCompanyText::setFont(const QFont& f) {
    if (f == font_)
        return;
    font_ = f;
    owner_->update();
    emit fontChanged(f);
}

void TCompanyText::setFontKind(TFontKind k) {
    if (k == fontKind_)
        return;
    fontKind_ = k;
    owner_->update();
    emit fontKindChanged(k);
}

QFont TCompanyText::drawingFont(const QFont& captionFont) const {
    QFont f = captionFont;
    switch (fontKind_) {
    case fkSystem:
        break;
    case fkSystemI:
        f.setItalic(true);
        break;
    case fkSystemB:
        f.setBold(true);
        break;
    case fkSystemBI:
        f.setBold(true);
        f.setItalic(true);
        break;
    case fkCustom:
        f = font_;
        break;
    case fkAutoHeight:
        f = fontFittingHeight(font_, captionFont);
        break;
    }
    return f;
}

QString TCaptionText::Caption() const {
    const QWidget* form = owner_->form_;
    if (!form)
        return {};
    const TCompanyText* company = owner_->CompanyText();
    const TCompanyText* app = owner_->AppNameText();
    return captionPartOf(form->windowTitle(), company->Caption(), company->Visible(),
                         app->Caption(), app->Visible());
}

// ---- TMSOfficeCaption --------------------------------------------------------------------

TMSOfficeCaption::TMSOfficeCaption(QObject* owner)
    : QWidget(static_cast<QWidget*>(checkedOwner(owner))), color_(qm::controls::classic::black()) {
    setObjectName(QStringLiteral("TitleBar"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    form_ = static_cast<QWidget*>(owner);
    readCaptionFont();
    // The parts exist before any of them can ask for the others.
    companyText_ = nullptr;
    appNameText_ = nullptr;
    captionText_ = nullptr;
    auto* company = new TCompanyText(this);
    auto* app = new TAppNameText(this);
    auto* caption = new TCaptionText(this);
    companyText_ = company;
    appNameText_ = app;
    captionText_ = caption;
    companyText_->setObjectName(QStringLiteral("CompanyText"));
    appNameText_->setObjectName(QStringLiteral("AppNameText"));
    captionText_->setObjectName(QStringLiteral("CaptionText"));

    systemMenu_ = new QMenu(this);
    systemMenu_->setObjectName(QStringLiteral("SystemMenu"));
    QAction* minimize = systemMenu_->addAction(QStringLiteral("Mi&nimize"));
    minimize->setObjectName(QStringLiteral("SystemMenuMinimize"));
    connect(minimize, &QAction::triggered, this, [this] { form_->showMinimized(); });
    systemMenu_->addSeparator();
    QAction* close = systemMenu_->addAction(QStringLiteral("&Close"));
    close->setObjectName(QStringLiteral("SystemMenuClose"));
    close->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    close->setShortcutContext(Qt::WidgetShortcut); // shown in the menu; the form's own works
    connect(close, &QAction::triggered, this, [this] { form_->close(); });
    auto* altF4 = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_F4), form_);
    altF4->setContext(Qt::WindowShortcut);
    connect(altF4, &QShortcut::activated, this, [this] { form_->close(); });
    // Alt+Space opens the menu from the keyboard, under the caption's left end, as the icon does.
    auto* altSpace = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), form_);
    altSpace->setContext(Qt::WindowShortcut);
    connect(altSpace, &QShortcut::activated, this, [this] {
        const QRect area = captionTextArea(form_->width(), formStyleOf(form_), metrics_);
        showSystemMenu(form_->mapToGlobal(QPoint(area.left(), area.bottom() + 1)));
    });

    connect(form_, &QObject::destroyed, this, [this] { formDying_ = true; });
    takeOverFrame();
    form_->installEventFilter(this);
    relayout();
    announceCaptions();
}

TMSOfficeCaption::~TMSOfficeCaption() {
    if (formDying_ || !form_)
        return;
    form_->removeEventFilter(this);
    form_->setWindowTitle(captionText_->Caption());
    form_->update();
}

void TMSOfficeCaption::takeOverFrame() {
    const QMargins m = clientMargins();
    const QPoint shift(m.left(), m.top());
    for (QObject* o : form_->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (w && w != this && !w->isWindow() && !w->property(kNonClientProperty).toBool())
            w->move(w->pos() + shift);
    }
    const bool wasVisible = form_->isVisible();
    const bool fixed = form_->minimumSize() == form_->maximumSize();
    const QSize outer = form_->size().grownBy(m);
    form_->setWindowFlags(form_->windowFlags() | Qt::FramelessWindowHint);
    if (fixed) {
        form_->setFixedSize(outer);
    } else {
        form_->setMinimumSize(form_->minimumSize().grownBy(m));
        form_->resize(outer);
    }
    if (wasVisible)
        form_->show();
}

QMargins TMSOfficeCaption::clientMargins() const {
    return nonClientMargins(formStyleOf(form_), metrics_);
}

bool TMSOfficeCaption::isActive() const {
    return form_ && form_->isActiveWindow();
}

void TMSOfficeCaption::readCaptionFont() {
    // The classic caption font: the UI face, bold.
    captionFont_ = defaultUiFont();
    captionFont_.setBold(true);
}

void TMSOfficeCaption::setColor(const QColor& c) {
    if (color_ == c)
        return;
    color_ = c;
    update();
    emit colorChanged(c);
}

void TMSOfficeCaption::setGradientEnabled(TGradEnabled e) {
    if (enabled_ == e)
        return;
    enabled_ = e;
    update();
    emit gradientEnabledChanged(e);
}

void TMSOfficeCaption::setJustification(TJustification j) {
    if (justification_ == j)
        return;
    justification_ = j;
    update();
    emit justificationChanged(j);
}

void TMSOfficeCaption::setNumColors(int n) {
    if (n < 1)
        return;
    n = std::min(n, kMaxGradientColors);
    if (numColors_ == n)
        return;
    numColors_ = n;
    update();
    emit numColorsChanged(n);
}

void TMSOfficeCaption::setMetrics(const TSystemMetrics& m) {
    metrics_ = m;
    relayout();
}

void TMSOfficeCaption::updateCaption() {
    if (!form_ || updatingCaption_ || !companyText_ || !appNameText_ || !captionText_)
        return;
    updatingCaption_ = true;
    const bool updates = form_->updatesEnabled();
    form_->setUpdatesEnabled(false);
    form_->setWindowTitle(joinCaptionParts(
        {companyText_->Caption(), appNameText_->Caption(), captionText_->caption_},
        {companyText_->Visible(), appNameText_->Visible(), captionText_->Visible()}));
    form_->setUpdatesEnabled(updates);
    updatingCaption_ = false;
    update();
}

void TMSOfficeCaption::announceCaptions() {
    // A part's caption can change without its setter: the caption part follows the window
    // caption, and the others decide where it starts.
    if (!companyText_ || !appNameText_ || !captionText_)
        return;
    const std::array<TCompanyText*, 3> parts{companyText_, appNameText_, captionText_};
    for (TCompanyText* part : parts) {
        const QString now = part->Caption();
        if (now == part->announced_)
            continue;
        part->announced_ = now;
        emit part->captionChanged(now);
    }
}

void TMSOfficeCaption::relayout() {
    setGeometry(captionRect(form_->width(), formStyleOf(form_), metrics_));
    update();
    form_->update();
}

int TMSOfficeCaption::buttonAt(const QPoint& windowPos) const {
    const CaptionButtonRects b = captionButtonRects(form_->width(), formStyleOf(form_), metrics_);
    if (b.close.contains(windowPos))
        return CloseButton;
    if (b.minimize.contains(windowPos))
        return MinimizeButton;
    if (b.maximize.contains(windowPos))
        return MaximizeButton;
    return -1;
}

QImage TMSOfficeCaption::captionImage() {
    const QRect cap = captionRect(form_->width(), formStyleOf(form_), metrics_);
    QImage img(cap.size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    QPainter p(&img);
    p.translate(-cap.topLeft());
    paintBar(p);
    return img;
}

void TMSOfficeCaption::paintBar(QPainter& p, const DeviceCanvas* canvas) {
    const qreal ratio = canvas ? canvas->ratio() : 1.0;
    const TFormStyle style = formStyleOf(form_);
    const int w = form_->width();
    const bool active = isActive();
    const QColor bar =
        active ? qm::controls::system::activeCaption() : qm::controls::system::inactiveCaption();
    int depth = displayDepth_;
    if (depth <= 0)
        depth = screen() ? screen()->depth() : 32;

    p.fillRect(captionRect(w, style, metrics_), bar);
    QRect area = captionTextArea(w, style, metrics_);
    if (gradientShown(enabled_, active, depth)) {
        for (const GradientBand& band : gradientBands(area, color_, bar, numColors_))
            p.fillRect(band.rect, band.color);
    } else {
        p.fillRect(area, bar);
    }

    if (captionHasIcon(style)) {
        QIcon icon = form_->windowIcon();
        if (icon.isNull())
            icon = QApplication::windowIcon();
        if (icon.isNull())
            icon = QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
        const QSize small(metrics_.cxSmIcon, metrics_.cySmIcon);
        const QRect at(area.topLeft() + QPoint(1, 1), small);
        if (ratio == 1.0) {
            p.drawPixmap(at, icon.pixmap(small));
        } else {
            p.save();
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.drawPixmap(at, icon.pixmap(small, ratio));
            p.restore();
        }
        area.setLeft(area.left() + small.width() + 1);
    }

    const CaptionButtonRects b = captionButtonRects(w, style, metrics_);
    auto button = [&](const QRect& r, const Glyph& glyph, int id, bool enabled) {
        if (r.isEmpty())
            return;
        const bool pushed = pressedButton_ == id && buttonDown_;
        if (ratio == 1.0) {
            drawButtonFrame(p, r, pushed);
            drawGlyph(p, r, glyph, pushed, enabled);
            return;
        }
        // In device pixels, its edges and glyph on whole device lines.
        const QRect cap = captionRect(w, style, metrics_);
        const int left = qRound((r.left() - cap.left()) * ratio);
        const int top = qRound((r.top() - cap.top()) * ratio);
        const DeviceGrid grid{
            DeviceAxis(r.width(), qRound((r.left() + r.width() - cap.left()) * ratio) - left, 2,
                       canvas->line()),
            DeviceAxis(r.height(), qRound((r.top() + r.height() - cap.top()) * ratio) - top, 2,
                       canvas->line())};
        p.save();
        p.resetTransform();
        p.translate(left, top);
        const QRect local(QPoint(0, 0), r.size());
        drawButtonFrame(p, local, pushed, &grid);
        drawGlyph(p, local, glyph, pushed, enabled, &grid);
        p.restore();
    };
    button(b.close, kCloseGlyph, CloseButton, true);
    button(b.maximize, kMaximizeGlyph, MaximizeButton, style.maximize);
    button(b.minimize, kMinimizeGlyph, MinimizeButton, style.minimize);

    if (isSignalConnected(QMetaMethod::fromSignal(&TMSOfficeCaption::OnDrawCaption))) {
        p.save();
        p.setFont(captionFont_);
        emit OnDrawCaption(this, &p, area);
        p.restore();
    }

    const std::array<TCompanyText*, 3> parts = {companyText_, appNameText_, captionText_};
    std::array<CaptionPartText, 3> texts;
    for (int i = 0; i < 3; ++i)
        texts[i] = {parts[i]->Caption(), parts[i]->drawingFont(captionFont_), parts[i]->Visible()};
    drawn_ = layoutCaptionParts(area, texts, justification_);
    for (const DrawnCaptionPart& d : drawn_) {
        const TCompanyText* part = parts[d.part];
        p.setFont(texts[d.part].font);
        p.setPen(active ? part->ColorActive() : part->ColorInactive());
        p.drawText(d.rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, d.text);
    }
}

void TMSOfficeCaption::paintEvent(QPaintEvent*) {
    DeviceCanvas canvas(this, QImage::Format_RGB32);
    if (canvas.ratio() == 1.0) {
        QPainter(this).drawImage(0, 0, captionImage());
        return;
    }
    // Above 1x: the bar and its texts at the screen's resolution, the buttons in device pixels.
    const QRect cap = captionRect(form_->width(), formStyleOf(form_), metrics_);
    {
        QPainter p(&canvas.image());
        p.scale(canvas.ratio(), canvas.ratio());
        p.translate(-cap.topLeft());
        paintBar(p, &canvas);
    }
    canvas.paintOn(this);
}

void TMSOfficeCaption::showSystemMenu(const QPoint& globalPos) {
    const TFormStyle style = formStyleOf(form_);
    systemMenu_->actions().first()->setEnabled(style.minimize);
    systemMenu_->popup(globalPos);
}

void TMSOfficeCaption::mousePressEvent(QMouseEvent* e) {
    const QPoint windowPos = mapToParent(e->position().toPoint());
    const QPoint global = e->globalPosition().toPoint();
    if (e->button() == Qt::RightButton) {
        showSystemMenu(global);
        return;
    }
    if (e->button() != Qt::LeftButton)
        return;
    const TFormStyle style = formStyleOf(form_);
    const int b = buttonAt(windowPos);
    if (b == CloseButton || (b == MinimizeButton && style.minimize) ||
        (b == MaximizeButton && style.maximize)) {
        pressedButton_ = b;
        buttonDown_ = true;
        update();
        return;
    }
    const QRect area = captionTextArea(form_->width(), style, metrics_);
    const QRect icon(area.topLeft() + QPoint(1, 1), QSize(metrics_.cxSmIcon, metrics_.cySmIcon));
    if (captionHasIcon(style) && icon.contains(windowPos)) {
        showSystemMenu(form_->mapToGlobal(QPoint(icon.left() - 1, area.bottom() + 1)));
        return;
    }
    // Without a window manager the system move is refused: follow the mouse ourselves.
    QWindow* handle = form_->windowHandle();
    if (!handle || !handle->startSystemMove()) {
        dragging_ = true;
        dragOffset_ = global - form_->pos();
    }
}

void TMSOfficeCaption::mouseMoveEvent(QMouseEvent* e) {
    if (pressedButton_ >= 0) {
        const bool down = buttonAt(mapToParent(e->position().toPoint())) == pressedButton_;
        if (down != buttonDown_) {
            buttonDown_ = down;
            update();
        }
    } else if (dragging_) {
        form_->move(e->globalPosition().toPoint() - dragOffset_);
    }
}

void TMSOfficeCaption::mouseReleaseEvent(QMouseEvent* e) {
    dragging_ = false;
    if (pressedButton_ < 0 || e->button() != Qt::LeftButton)
        return;
    const int pressed = pressedButton_;
    const bool hit = buttonAt(mapToParent(e->position().toPoint())) == pressed;
    pressedButton_ = -1;
    buttonDown_ = false;
    update();
    if (!hit)
        return;
    if (pressed == CloseButton)
        form_->close();
    else if (pressed == MinimizeButton)
        form_->showMinimized();
}

bool TMSOfficeCaption::eventFilter(QObject* watched, QEvent* event) {
    if (watched != form_)
        return false;
    switch (event->type()) {
    case QEvent::Paint: {
        QPainter p(form_);
        drawWindowFrame(p, form_->rect(), formStyleOf(form_), metrics_);
        break;
    }
    case QEvent::Resize:
        relayout();
        break;
    case QEvent::WindowTitleChange:
        announceCaptions();
        update();
        break;
    case QEvent::ActivationChange:
    case QEvent::WindowIconChange:
        update();
        break;
    case QEvent::StyleChange:
    case QEvent::ScreenChangeInternal:
        readCaptionFont();
        update();
        break;
    default:
        break;
    }
    return false;
}
