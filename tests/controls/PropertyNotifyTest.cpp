// Every published property of every control that can change after construction has a NOTIFY
// signal, emitted exactly once for a real change and never for a write of the same value.

#include "ControlTestUtil.h"

#include "controls/BalloonHint.h"
#include "controls/CaptionBar.h"
#include "controls/CheckBox.h"
#include "controls/ColorButton.h"
#include "controls/FlashingLabel.h"
#include "controls/FontImageLabel.h"
#include "controls/LcdLabel.h"
#include "controls/PathLabel.h"
#include "controls/ThreeDLabel.h"
#include "controls/WindowRoller.h"

#include <QMetaProperty>
#include <QPixmap>
#include <QSignalSpy>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Subject {
    const char* name;
    const QMetaObject* meta;
    // Makes a fresh control; `form` is the main window a window component needs.
    std::function<QObject*(QWidget& form)> make;
};

void PrintTo(const Subject& s, std::ostream* os) {
    *os << s.name;
}

// Our own properties start where the Qt base class's end.
int firstOwnProperty(const QMetaObject* meta) {
    const QMetaObject* base = meta;
    while (base && QByteArray(base->className()).startsWith('T'))
        base = base->superClass();
    return base ? base->propertyCount() : 0;
}

QVariant enumValue(const QMetaType& type, int n) {
    QVariant v(type);
    *static_cast<int*>(v.data()) = n;
    return v;
}

// Values to try, in order, each different from `now` in the property's own type; a setter
// may refuse or normalise some of them.
std::vector<QVariant> candidates(const QMetaProperty& p, const QVariant& now) {
    const QMetaType type = p.metaType();
    if (type == QMetaType::fromType<bool>())
        return {!now.toBool()};
    if (type == QMetaType::fromType<int>())
        return {now.toInt() + 1, now.toInt() - 1};
    if (type == QMetaType::fromType<QString>())
        return {now.toString() + QStringLiteral("x")};
    if (type == QMetaType::fromType<QColor>()) {
        const QColor c = now.value<QColor>();
        return {c.isValid() ? QColor(255 - c.red(), 255 - c.green(), 255 - c.blue())
                            : QColor(1, 2, 3)};
    }
    if (type == QMetaType::fromType<QFont>()) {
        QFont f = now.value<QFont>();
        f.setBold(!f.bold());
        return {f};
    }
    if (type == QMetaType::fromType<QPixmap>()) {
        QPixmap pixmap(4, 4);
        pixmap.fill(Qt::red);
        return {pixmap};
    }
    if (type == QMetaType::fromType<TFIFont>()) {
        TFIFont f = now.value<TFIFont>();
        f.color = QColor(1, 2, 3);
        return {QVariant::fromValue(f)};
    }
    if (type == QMetaType::fromType<TBalloonBehaviors>())
        return {QVariant::fromValue(now.value<TBalloonBehaviors>() ^ bbUseRegions)};
    if (type.flags().testFlag(QMetaType::IsEnumeration) && type.sizeOf() == sizeof(int)) {
        const int n = *static_cast<const int*>(now.constData());
        if (p.isEnumType()) {
            std::vector<QVariant> others;
            for (int i = 0; i < p.enumerator().keyCount(); ++i)
                if (p.enumerator().value(i) != n)
                    others.push_back(enumValue(type, p.enumerator().value(i)));
            return others;
        }
        // An enumeration without meta data starts at 0, so a neighbour is a valid value.
        return {enumValue(type, n > 0 ? n - 1 : n + 1)};
    }
    return {};
}

bool same(const QVariant& a, const QVariant& b) {
    if (a.metaType() == QMetaType::fromType<QPixmap>())
        return a.value<QPixmap>().cacheKey() == b.value<QPixmap>().cacheKey();
    return a == b;
}

class PropertyNotify : public ::testing::TestWithParam<Subject> {};

TEST_P(PropertyNotify, announcesEachRealChangeOnce) {
    const Subject& subject = GetParam();
    const int first = firstOwnProperty(subject.meta);
    ASSERT_LT(first, subject.meta->propertyCount());
    for (int i = first; i < subject.meta->propertyCount(); ++i) {
        const QMetaProperty p = subject.meta->property(i);
        SCOPED_TRACE(p.name());
        if (p.isConstant())
            continue;
        ASSERT_TRUE(p.isWritable());
        ASSERT_TRUE(p.hasNotifySignal());

        // A fresh control for each property, so earlier writes cannot hide a change.
        QWidget form;
        QObject* control = subject.make(form);
        QSignalSpy spy(control, p.notifySignal());
        const QVariant before = p.read(control);
        ASSERT_TRUE(p.write(control, before));
        EXPECT_EQ(spy.size(), 0) << "announced a write of the same value";

        bool changed = false;
        for (const QVariant& value : candidates(p, before)) {
            ASSERT_TRUE(p.write(control, value));
            const QVariant after = p.read(control);
            if (same(after, before)) {
                EXPECT_EQ(spy.size(), 0) << "announced a refused value";
                continue;
            }
            changed = true;
            EXPECT_EQ(spy.size(), 1);
            ASSERT_TRUE(p.write(control, after));
            EXPECT_EQ(spy.size(), 1) << "announced a write of the same value";
            break;
        }
        EXPECT_TRUE(changed) << "no value tried changed the property";
    }
}

template <typename T> QObject* child(QWidget& form) {
    return new T(&form);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, PropertyNotify,
    ::testing::Values(
        Subject{"LcdLabel", &TLCDLabel::staticMetaObject, child<TLCDLabel>},
        Subject{"PathLabel", &TFileLabel::staticMetaObject, child<TFileLabel>},
        Subject{"ColorButton", &TColorButton::staticMetaObject, child<TColorButton>},
        Subject{"FlashingLabel", &TFlashingLabel::staticMetaObject, child<TFlashingLabel>},
        Subject{"FontImageLabel", &TMyFontImage::staticMetaObject, child<TMyFontImage>},
        Subject{"CheckBox", &TBWCCCheckBox::staticMetaObject, child<TBWCCCheckBox>},
        Subject{"ThreeDLabel", &TDRLabel::staticMetaObject, child<TDRLabel>},
        Subject{"BalloonHint", &TBalloonHint::staticMetaObject, child<TBalloonHint>},
        Subject{"CaptionBar", &TMSOfficeCaption::staticMetaObject, child<TMSOfficeCaption>},
        Subject{
            "CompanyText", &TCompanyText::staticMetaObject,
            [](QWidget& form) -> QObject* { return (new TMSOfficeCaption(&form))->CompanyText(); }},
        Subject{
            "CaptionText", &TCaptionText::staticMetaObject,
            [](QWidget& form) -> QObject* { return (new TMSOfficeCaption(&form))->CaptionText(); }},
        Subject{"WindowRoller", &TWinRoller::staticMetaObject,
                [](QWidget& form) -> QObject* {
                    auto* roller = new TWinRoller(&form);
                    roller->setEnabled(true); // a disabled roller refuses to roll
                    return roller;
                }}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
