#pragma once

// What a step of the session did, as a value the window shows and the command line reports.

#include <string>
#include <utility>

namespace qm::session {

// The sounds a step ends with; the window maps them to its cue names.
enum class Cue { None, Ok, OhOh, Ding, Tock, Chimes };

// How the message is shown: a box, or the red panel under the strip.
enum class MessageKind { None, Information, Error, FontPanel };

// What the step did to the files.
enum class OnDisk { Nothing, Created, Swapped, SwappedUnconfirmed };

struct Outcome {
    OnDisk disk = OnDisk::Nothing;
    Cue cue = Cue::None;
    MessageKind kind = MessageKind::None;
    // UTF-8, lines ended by a lone CR.
    std::string message;
    // The file or folder the message names on a line of its own (bytes, as the file system has
    // them); empty when it names none.
    std::string path;
    // The window shows no font any more: its names, path and registration go.
    bool forgetFont = false;
    // The session's names are shown in the boxes.
    bool showNames = false;
};

// A step that changed nothing on disk and says so.
inline Outcome saying(Cue cue, MessageKind kind, std::string message) {
    Outcome outcome;
    outcome.cue = cue;
    outcome.kind = kind;
    outcome.message = std::move(message);
    return outcome;
}

} // namespace qm::session
