#include "controls/CaptionBar.h"

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

namespace {

QObject* checkedOwner(QObject* owner) {
    if (!isForm(owner))
        throw EOwnerError();
    return owner;
}

// Widgets of the frame itself (the roller's) are placed by their owners, never moved with the
// client area.
constexpr const char* NonClientProperty = "qmNonClient";

enum CaptionButton { CloseButton = 0, MinimizeButton = 1, MaximizeButton = 2 };

// Glyphs of the classic caption buttons, as rows of 16-pixel masks from the button's top-left.
struct Glyph {
    int top;
    std::array<const char*, 9> rows;
};

const Glyph CloseGlyph{3,
                       {"    **    **", "     **  **", "      ****", "       **", "      ****",
                        "     **  **", "    **    **", nullptr, nullptr}};
const Glyph MinimizeGlyph{9, {"    ******", "    ******", nullptr}};
const Glyph MaximizeGlyph{2,
                          {"   *********", "   *********", "   *       *", "   *       *",
                           "   *       *", "   *       *", "   *       *", "   *       *",
                           "   *********"}};

void drawGlyph(QPainter& p, const QRect& button, const Glyph& g, bool pushed, bool enabled) {
    auto plot = [&](int dx, int dy, const QColor& c) {
        for (int row = 0; row < int(g.rows.size()) && g.rows[row]; ++row)
            for (int x = 0; g.rows[row][x]; ++x)
                if (g.rows[row][x] == '*')
                    p.fillRect(button.left() + x + dx, button.top() + g.top + row + dy, 1, 1, c);
    };
    const int shift = pushed ? 1 : 0;
    if (enabled) {
        plot(shift, shift, SystemColors::btnText());
    } else {
        plot(1, 1, SystemColors::btnHighlight());
        plot(0, 0, SystemColors::btnShadow());
    }
}

} // namespace

// ---- TCompanyText ------------------------------------------------------------------------

TCompanyText::TCompanyText(TMSOfficeCaption* owner)
    : QObject(owner), FOwner(owner), FColorActive(SystemColors::captionText()),
      FColorInactive(SystemColors::inactiveCaptionText()), FFont(owner->CaptionFont()) {}

void TCompanyText::setCaption(const QString& text) {
    // The caption part is what follows the other parts, so read it before they change.
    const QString own = FOwner->CaptionText() ? FOwner->CaptionText()->Caption() : QString();
    FCaption = text;
    if (FOwner->CaptionText() == this)
        FOwner->FCaptionText->FCaption = text;
    else
        FOwner->FCaptionText->FCaption = own;
    FOwner->UpdateCaption();
}

void TCompanyText::setVisible(bool on) {
    if (FVisible == on)
        return;
    FOwner->FCaptionText->FCaption = FOwner->CaptionText()->Caption();
    FVisible = on;
    FOwner->UpdateCaption();
}

void TCompanyText::setColorActive(const QColor& c) {
    FColorActive = c;
    FOwner->update();
}

void TCompanyText::setColorInactive(const QColor& c) {
    FColorInactive = c;
    FOwner->update();
}

void TCompanyText::setFont(const QFont& f) {
    FFont = f;
    FOwner->update();
}

void TCompanyText::setFontKind(TFontKind k) {
    FFontKind = k;
    FOwner->update();
}

QFont TCompanyText::drawingFont(const QFont& captionFont) const {
    QFont f = captionFont;
    switch (FFontKind) {
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
        f = FFont;
        break;
    case fkAutoHeight:
        f = fontFittingHeight(FFont, captionFont);
        break;
    }
    return f;
}

QString TCaptionText::Caption() const {
    const QWidget* form = FOwner->FForm;
    if (!form)
        return {};
    const TCompanyText* company = FOwner->CompanyText();
    const TCompanyText* app = FOwner->AppNameText();
    return captionPartOf(form->windowTitle(), company->Caption(), company->Visible(),
                         app->Caption(), app->Visible());
}

// ---- TMSOfficeCaption --------------------------------------------------------------------

TMSOfficeCaption::TMSOfficeCaption(QObject* owner)
    : QWidget(static_cast<QWidget*>(checkedOwner(owner))), FColor(ClassicColors::black()) {
    setObjectName(QStringLiteral("TitleBar"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    FForm = static_cast<QWidget*>(owner);
    readCaptionFont();
    // The parts exist before any of them can ask for the others.
    FCompanyText = nullptr;
    FAppNameText = nullptr;
    FCaptionText = nullptr;
    auto* company = new TCompanyText(this);
    auto* app = new TAppNameText(this);
    auto* caption = new TCaptionText(this);
    FCompanyText = company;
    FAppNameText = app;
    FCaptionText = caption;
    FCompanyText->setObjectName(QStringLiteral("CompanyText"));
    FAppNameText->setObjectName(QStringLiteral("AppNameText"));
    FCaptionText->setObjectName(QStringLiteral("CaptionText"));

    FSystemMenu = new QMenu(this);
    FSystemMenu->setObjectName(QStringLiteral("SystemMenu"));
    QAction* minimize = FSystemMenu->addAction(QStringLiteral("Mi&nimize"));
    minimize->setObjectName(QStringLiteral("SystemMenuMinimize"));
    connect(minimize, &QAction::triggered, this, [this] { FForm->showMinimized(); });
    FSystemMenu->addSeparator();
    QAction* close = FSystemMenu->addAction(QStringLiteral("&Close"));
    close->setObjectName(QStringLiteral("SystemMenuClose"));
    close->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    close->setShortcutContext(Qt::WidgetShortcut); // shown in the menu; the form's own works
    connect(close, &QAction::triggered, this, [this] { FForm->close(); });
    auto* altF4 = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_F4), FForm);
    altF4->setContext(Qt::WindowShortcut);
    connect(altF4, &QShortcut::activated, this, [this] { FForm->close(); });

    connect(FForm, &QObject::destroyed, this, [this] { FFormDying = true; });
    takeOverFrame();
    FForm->installEventFilter(this);
    relayout();
}

TMSOfficeCaption::~TMSOfficeCaption() {
    if (FFormDying || !FForm)
        return;
    FForm->removeEventFilter(this);
    FForm->setWindowTitle(FCaptionText->Caption());
    FForm->update();
}

void TMSOfficeCaption::takeOverFrame() {
    const QMargins m = ClientMargins();
    const QPoint shift(m.left(), m.top());
    for (QObject* o : FForm->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (w && w != this && !w->isWindow() && !w->property(NonClientProperty).toBool())
            w->move(w->pos() + shift);
    }
    const bool wasVisible = FForm->isVisible();
    const bool fixed = FForm->minimumSize() == FForm->maximumSize();
    const QSize outer = FForm->size().grownBy(m);
    FForm->setWindowFlags(FForm->windowFlags() | Qt::FramelessWindowHint);
    if (fixed) {
        FForm->setFixedSize(outer);
    } else {
        FForm->setMinimumSize(FForm->minimumSize().grownBy(m));
        FForm->resize(outer);
    }
    if (wasVisible)
        FForm->show();
}

QMargins TMSOfficeCaption::ClientMargins() const {
    return nonClientMargins(formStyleOf(FForm), FMetrics);
}

bool TMSOfficeCaption::IsActive() const {
    return FForm && FForm->isActiveWindow();
}

void TMSOfficeCaption::readCaptionFont() {
    // The classic caption font: the UI face, bold.
    FCaptionFont = defaultUiFont();
    FCaptionFont.setBold(true);
}

void TMSOfficeCaption::setColor(const QColor& c) {
    if (FColor == c)
        return;
    FColor = c;
    update();
}

void TMSOfficeCaption::setGradientEnabled(TGradEnabled e) {
    if (FEnabled == e)
        return;
    FEnabled = e;
    update();
}

void TMSOfficeCaption::setJustification(TJustification j) {
    if (FJustification == j)
        return;
    FJustification = j;
    update();
}

void TMSOfficeCaption::setNumColors(int n) {
    if (n < 1)
        return;
    n = std::min(n, MaxGradientColors);
    if (FNumColors == n)
        return;
    FNumColors = n;
    update();
}

void TMSOfficeCaption::setMetrics(const TSystemMetrics& m) {
    FMetrics = m;
    relayout();
}

void TMSOfficeCaption::UpdateCaption() {
    if (!FForm || FUpdatingCaption || !FCompanyText || !FAppNameText || !FCaptionText)
        return;
    FUpdatingCaption = true;
    const bool updates = FForm->updatesEnabled();
    FForm->setUpdatesEnabled(false);
    FForm->setWindowTitle(joinCaptionParts(
        {FCompanyText->Caption(), FAppNameText->Caption(), FCaptionText->FCaption},
        {FCompanyText->Visible(), FAppNameText->Visible(), FCaptionText->Visible()}));
    FForm->setUpdatesEnabled(updates);
    FUpdatingCaption = false;
    update();
}

void TMSOfficeCaption::relayout() {
    setGeometry(captionRect(FForm->width(), formStyleOf(FForm), FMetrics));
    update();
    FForm->update();
}

int TMSOfficeCaption::buttonAt(const QPoint& windowPos) const {
    const CaptionButtonRects b = captionButtonRects(FForm->width(), formStyleOf(FForm), FMetrics);
    if (b.close.contains(windowPos))
        return CloseButton;
    if (b.minimize.contains(windowPos))
        return MinimizeButton;
    if (b.maximize.contains(windowPos))
        return MaximizeButton;
    return -1;
}

QImage TMSOfficeCaption::CaptionImage() {
    const QRect cap = captionRect(FForm->width(), formStyleOf(FForm), FMetrics);
    QImage img(cap.size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    QPainter p(&img);
    p.translate(-cap.topLeft());
    paintBar(p);
    return img;
}

void TMSOfficeCaption::paintBar(QPainter& p) {
    const TFormStyle style = formStyleOf(FForm);
    const int w = FForm->width();
    const bool active = IsActive();
    const QColor bar = active ? SystemColors::activeCaption() : SystemColors::inactiveCaption();
    int depth = FDisplayDepth;
    if (depth <= 0)
        depth = screen() ? screen()->depth() : 32;

    p.fillRect(captionRect(w, style, FMetrics), bar);
    QRect area = captionTextArea(w, style, FMetrics);
    if (gradientShown(FEnabled, active, depth)) {
        for (const GradientBand& band : gradientBands(area, FColor, bar, FNumColors))
            p.fillRect(band.rect, band.color);
    } else {
        p.fillRect(area, bar);
    }

    if (captionHasIcon(style)) {
        QIcon icon = FForm->windowIcon();
        if (icon.isNull())
            icon = QApplication::windowIcon();
        if (icon.isNull())
            icon = QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
        const QSize small(FMetrics.cxSmIcon, FMetrics.cySmIcon);
        p.drawPixmap(QRect(area.topLeft() + QPoint(1, 1), small), icon.pixmap(small));
        area.setLeft(area.left() + small.width() + 1);
    }

    const CaptionButtonRects b = captionButtonRects(w, style, FMetrics);
    auto button = [&](const QRect& r, const Glyph& glyph, int id, bool enabled) {
        if (r.isEmpty())
            return;
        const bool pushed = FPressedButton == id && FButtonDown;
        drawButtonFrame(p, r, pushed);
        drawGlyph(p, r, glyph, pushed, enabled);
    };
    button(b.close, CloseGlyph, CloseButton, true);
    button(b.maximize, MaximizeGlyph, MaximizeButton, style.maximize);
    button(b.minimize, MinimizeGlyph, MinimizeButton, style.minimize);

    if (isSignalConnected(QMetaMethod::fromSignal(&TMSOfficeCaption::OnDrawCaption))) {
        p.save();
        p.setFont(FCaptionFont);
        emit OnDrawCaption(this, &p, area);
        p.restore();
    }

    const std::array<TCompanyText*, 3> parts = {FCompanyText, FAppNameText, FCaptionText};
    std::array<CaptionPartText, 3> texts;
    for (int i = 0; i < 3; ++i)
        texts[i] = {parts[i]->Caption(), parts[i]->drawingFont(FCaptionFont), parts[i]->Visible()};
    FDrawn = layoutCaptionParts(area, texts, FJustification);
    for (const DrawnCaptionPart& d : FDrawn) {
        const TCompanyText* part = parts[d.part];
        p.setFont(texts[d.part].font);
        p.setPen(active ? part->ColorActive() : part->ColorInactive());
        p.drawText(d.rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, d.text);
    }
}

void TMSOfficeCaption::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, CaptionImage());
}

void TMSOfficeCaption::showSystemMenu(const QPoint& globalPos) {
    const TFormStyle style = formStyleOf(FForm);
    FSystemMenu->actions().first()->setEnabled(style.minimize);
    FSystemMenu->popup(globalPos);
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
    const TFormStyle style = formStyleOf(FForm);
    const int b = buttonAt(windowPos);
    if (b == CloseButton || (b == MinimizeButton && style.minimize) ||
        (b == MaximizeButton && style.maximize)) {
        FPressedButton = b;
        FButtonDown = true;
        update();
        return;
    }
    const QRect area = captionTextArea(FForm->width(), style, FMetrics);
    const QRect icon(area.topLeft() + QPoint(1, 1), QSize(FMetrics.cxSmIcon, FMetrics.cySmIcon));
    if (captionHasIcon(style) && icon.contains(windowPos)) {
        showSystemMenu(FForm->mapToGlobal(QPoint(icon.left() - 1, area.bottom() + 1)));
        return;
    }
    // Without a window manager the system move is refused: follow the mouse ourselves.
    QWindow* handle = FForm->windowHandle();
    if (!handle || !handle->startSystemMove()) {
        FDragging = true;
        FDragOffset = global - FForm->pos();
    }
}

void TMSOfficeCaption::mouseMoveEvent(QMouseEvent* e) {
    if (FPressedButton >= 0) {
        const bool down = buttonAt(mapToParent(e->position().toPoint())) == FPressedButton;
        if (down != FButtonDown) {
            FButtonDown = down;
            update();
        }
    } else if (FDragging) {
        FForm->move(e->globalPosition().toPoint() - FDragOffset);
    }
}

void TMSOfficeCaption::mouseReleaseEvent(QMouseEvent* e) {
    FDragging = false;
    if (FPressedButton < 0 || e->button() != Qt::LeftButton)
        return;
    const int pressed = FPressedButton;
    const bool hit = buttonAt(mapToParent(e->position().toPoint())) == pressed;
    FPressedButton = -1;
    FButtonDown = false;
    update();
    if (!hit)
        return;
    if (pressed == CloseButton)
        FForm->close();
    else if (pressed == MinimizeButton)
        FForm->showMinimized();
}

bool TMSOfficeCaption::eventFilter(QObject* watched, QEvent* event) {
    if (watched != FForm)
        return false;
    switch (event->type()) {
    case QEvent::Paint: {
        QPainter p(FForm);
        drawWindowFrame(p, FForm->rect(), formStyleOf(FForm), FMetrics);
        break;
    }
    case QEvent::Resize:
        relayout();
        break;
    case QEvent::ActivationChange:
    case QEvent::WindowTitleChange:
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
