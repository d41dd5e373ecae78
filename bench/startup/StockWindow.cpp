// What Qt itself takes for the window's contents: every control of the window's layout table as
// the plain Qt widget nearest to it (labels, line edits, push buttons, check boxes, lists, a combo
// box, frames), with the same places, texts, faces and colours, in a frameless QWidget of the
// window's size. No control of the program's own, no caption bar, settings, sound or browsing.
//   stock_window W H frame [START-NS]   as bare_window
//   stock_window W H idle MS

#include "app/MainLayout.h"
#include "bench/common/FirstFrame.h"
#include "controls/ResourcePng.h"
#include "controls/SystemColors.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using qm::app::Bevel;
using qm::app::LayoutRow;
using K = qm::app::ControlKind;
namespace C = qm::controls::classic;

QPixmap storedPicture(const char* name) {
    return QPixmap::fromImage(qm::controls::readResourcePng(
        QStringLiteral(":/pictures/%1.png").arg(QLatin1String(name))));
}

// The start folder's path, a line a folder, and the folders in it.
void fillFolders(QListWidget* list) {
    const QDir start = QDir::home();
    for (const QString& part : start.absolutePath().split(QLatin1Char('/')))
        list->addItem(part.isEmpty() ? QStringLiteral("/") : part);
    list->addItems(start.entryList(QDir::Dirs | QDir::NoDotAndDotDot));
}

QWidget* stockControl(const LayoutRow& row, QWidget* parent) {
    const QString caption = QString::fromUtf8(row.caption);
    switch (row.kind) {
    case K::Panel:
    case K::AlertPanel: {
        auto* w = new QFrame(parent);
        if (row.bevel != Bevel::None)
            w->setFrameStyle(QFrame::Panel |
                             (row.bevel == Bevel::Raised ? QFrame::Raised : QFrame::Sunken));
        return w;
    }
    case K::Rule: {
        auto* w = new QFrame(parent);
        w->setFrameStyle(QFrame::HLine | QFrame::Sunken);
        return w;
    }
    case K::Picture:
    case K::FontImage: {
        auto* w = new QLabel(parent);
        if (row.picture)
            w->setPixmap(storedPicture(row.picture));
        return w;
    }
    case K::Edit:
    case K::ReadOnlyBox: {
        auto* w = new QLineEdit(caption, parent);
        w->setFrame(false);
        w->setReadOnly(row.readOnly);
        return w;
    }
    case K::Memo:
        return new QPlainTextEdit(caption, parent);
    case K::Button:
        return new QPushButton(caption, parent);
    case K::Toggle: {
        auto* w = new QCheckBox(caption, parent);
        w->setChecked(true);
        return w;
    }
    case K::ScrollBar:
        return new QScrollBar(Qt::Horizontal, parent);
    case K::DriveBox: {
        auto* w = new QComboBox(parent);
        w->addItem(QStringLiteral("/"));
        return w;
    }
    case K::FolderList: {
        auto* w = new QListWidget(parent);
        fillFolders(w);
        return w;
    }
    case K::FileList: {
        auto* w = new QListWidget(parent);
        w->addItems(QDir::home().entryList({QStringLiteral("*.ttf")}, QDir::Files));
        return w;
    }
    case K::Label:
    case K::LabelButton:
    case K::Label3D:
    case K::Flashing:
    case K::Counter:
    case K::PathLabel:
    case K::PathButton: {
        auto* w = new QLabel(caption, parent);
        w->setWordWrap(row.wrap);
        w->setAlignment(row.align);
        return w;
    }
    }
    return new QWidget(parent);
}

} // namespace

int main(int argc, char** argv) {
    using qm::bench::Spans;
    if (argc < 4) {
        std::fprintf(stderr, "usage: stock_window W H frame|idle [START-NS|MS]\n");
        return 2;
    }
    const bool idle = std::strcmp(argv[3], "idle") == 0;
    if (!idle && argc > 4)
        Spans::start(std::atoll(argv[4]));
    Spans::mark("main");
    QApplication app(argc, argv);
    Spans::mark("application");
    QWidget window;
    window.setWindowFlag(Qt::FramelessWindowHint);
    window.resize(std::atoi(argv[1]), std::atoi(argv[2]));
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, C::black());
    window.setPalette(pal);
    window.setAutoFillBackground(true);
    const QFont uiFont = qm::controls::defaultUiFont();
    window.setFont(uiFont);
    QHash<QString, QWidget*> made;
    for (const LayoutRow& row : qm::app::mainLayout()) {
        QWidget* parent = row.parent ? made.value(QLatin1String(row.parent)) : &window;
        QWidget* w = stockControl(row, parent ? parent : &window);
        qm::app::dressControl(w, row, uiFont);
        w->setGeometry(row.place);
        w->setVisible(!row.hidden);
        made.insert(QLatin1String(row.name), w);
    }
    window.show();
    Spans::mark("window-shown");
    qm::bench::endAfterFirstFrame(window, idle && argc > 4 ? std::atoi(argv[4]) : -1);
    return QApplication::exec();
}
