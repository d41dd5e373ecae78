#pragma once

// The eight naming boxes as one panel: they show a record's names, give back what they hold,
// derive the full and PostScript names from the family and style typed, and say when the
// family or the style box is left for another control of the window.

#include "core/FontNames.h"
#include "core/NamingRules.h"

#include <QObject>

#include <string_view>

class QLineEdit;

namespace qm::naming {

// The boxes, named as the record's fields.
struct NameBoxes {
    QLineEdit* FamilyName;
    QLineEdit* Style;
    QLineEdit* FullName;
    QLineEdit* Postscript;
    QLineEdit* Version;
    QLineEdit* FontID;
    QLineEdit* Copyright;
    QLineEdit* TradeMark;
};

class NamingPanel : public QObject {
    Q_OBJECT

public:
    NamingPanel(const NameBoxes& boxes, QObject* parent);

    // Each box holds its field of `names`, whole.
    void show(const ::FontNames& names);
    // Empty boxes, not the placeholders.
    void clear();
    // The boxes as the record holds texts.
    NameTexts texts() const;
    // The family, style, full and PostScript boxes derived from what was typed; an empty family
    // box takes the record's family back and leaves the others alone.
    void derive(std::string_view recordFamilyName);

signals:
    // The family or the style box was left for another control of the window.
    void namesEdited();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    NameBoxes boxes_;
};

} // namespace qm::naming
