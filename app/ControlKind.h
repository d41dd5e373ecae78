#pragma once

// The kinds of control the main window's layout makes, and the class each kind is made as.

class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QScrollBar;
class TBWCCCheckBox;
class TColorButton;
class TDRLabel;
class TFileLabel;
class TFlashingLabel;
class TLCDLabel;
class TMyFontImage;

namespace qm::browse {
class DriveComboBox;
class DirectoryListBox;
class FileListBox;
} // namespace qm::browse

namespace qm::app {

class AlertPanel;
class LabelButton;
class PathButton;
class ReadOnlyBox;

enum class ControlKind {
    Panel,      // QFrame with a colour and a bevel
    Label,      // QLabel
    Picture,    // QLabel showing a stored picture
    Rule,       // a sunken horizontal line
    Edit,       // borderless QLineEdit
    Memo,       // read-only QPlainTextEdit
    Button,     // TColorButton
    Toggle,     // TBWCCCheckBox
    PathLabel,  // TFileLabel
    Counter,    // TLCDLabel
    FontImage,  // TMyFontImage showing a stored picture
    Flashing,   // TFlashingLabel
    Label3D,    // TDRLabel
    ScrollBar,  // horizontal QScrollBar
    DriveBox,   // DriveComboBox
    FolderList, // DirectoryListBox
    FileList,   // FileListBox
    // Read by screen readers as what they do, drawn as their plain kinds.
    AlertPanel,  // Panel announced when shown
    LabelButton, // Label that acts as a button
    PathButton,  // PathLabel that acts as a button
    ReadOnlyBox, // Edit the program fills in
};

template <ControlKind> struct ControlClassOf;
template <> struct ControlClassOf<ControlKind::Panel> { using type = QFrame; };
template <> struct ControlClassOf<ControlKind::Label> { using type = QLabel; };
template <> struct ControlClassOf<ControlKind::Picture> { using type = QLabel; };
template <> struct ControlClassOf<ControlKind::Rule> { using type = QFrame; };
template <> struct ControlClassOf<ControlKind::Edit> { using type = QLineEdit; };
template <> struct ControlClassOf<ControlKind::Memo> { using type = QPlainTextEdit; };
template <> struct ControlClassOf<ControlKind::Button> { using type = TColorButton; };
template <> struct ControlClassOf<ControlKind::Toggle> { using type = TBWCCCheckBox; };
template <> struct ControlClassOf<ControlKind::PathLabel> { using type = TFileLabel; };
template <> struct ControlClassOf<ControlKind::Counter> { using type = TLCDLabel; };
template <> struct ControlClassOf<ControlKind::FontImage> { using type = TMyFontImage; };
template <> struct ControlClassOf<ControlKind::Flashing> { using type = TFlashingLabel; };
template <> struct ControlClassOf<ControlKind::Label3D> { using type = TDRLabel; };
template <> struct ControlClassOf<ControlKind::ScrollBar> { using type = QScrollBar; };
template <> struct ControlClassOf<ControlKind::DriveBox> {
    using type = qm::browse::DriveComboBox;
};
template <> struct ControlClassOf<ControlKind::FolderList> {
    using type = qm::browse::DirectoryListBox;
};
template <> struct ControlClassOf<ControlKind::FileList> { using type = qm::browse::FileListBox; };
template <> struct ControlClassOf<ControlKind::AlertPanel> { using type = AlertPanel; };
template <> struct ControlClassOf<ControlKind::LabelButton> { using type = LabelButton; };
template <> struct ControlClassOf<ControlKind::PathButton> { using type = PathButton; };
template <> struct ControlClassOf<ControlKind::ReadOnlyBox> { using type = ReadOnlyBox; };

// The class a control of kind K is made as.
template <ControlKind K> using ControlClass = typename ControlClassOf<K>::type;

} // namespace qm::app
