#pragma once

// A small frameless window dressed like the main one: caption bar, roller button, balloon
// help over two buttons with hints. The gallery draws it; chromedemo shows it for real.

#include <QWidget>
#include <memory>

class QPushButton;
class TBalloonHint;
class TMSOfficeCaption;
class TWinRoller;

struct ChromeSample {
    std::unique_ptr<QWidget> form;
    TBalloonHint* hint = nullptr;
    TWinRoller* roller = nullptr;
    TMSOfficeCaption* bar = nullptr;
    QPushButton* create = nullptr;
    QPushButton* restore = nullptr;
};

ChromeSample buildChromeSample();
