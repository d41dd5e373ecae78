#pragma once

// The gallery draws every display control in each of its states to PNG files so a person can
// look at them. Each control family has one page function; main.cpp lists them in a table.

#include <QDir>
#include <QString>
#include <QWidget>

class Gallery {
public:
    explicit Gallery(const QDir& out) : out_(out) {}

    // Saves the widget as drawn now as <name>.png, plus a 4x enlargement for small controls.
    void shot(const QString& name, QWidget& w);
    int written() const { return written_; }
    bool failed() const { return failed_; }

    // Mouse helpers that act like a user on the control.
    static void press(QWidget& w, QPoint at);
    static void release(QWidget& w, QPoint at);

private:
    QDir out_;
    int written_ = 0;
    bool failed_ = false;
};

using GalleryPage = void (*)(Gallery&);

void lcdPage(Gallery& g);
void pathLabelPage(Gallery& g);
void flashingLabelPage(Gallery& g);
void fontImagePage(Gallery& g);
void drLabelPage(Gallery& g);
void colorButtonPage(Gallery& g);
void checkBoxPage(Gallery& g);
void balloonPage(Gallery& g);
void rollerPage(Gallery& g);
void captionPage(Gallery& g);
void chromeWindowPage(Gallery& g);
void mainWindowPage(Gallery& g);
