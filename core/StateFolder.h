#pragma once

// The folder on the host where a run keeps what a run killed before it ended needs: never on
// the fonts' own medium, which may be the thing that failed. Part of the file layer.

#include "core/FileHandle.h"

#include <string>
#include <vector>

namespace qm::core {

// $XDG_STATE_HOME/quillmark (~/.local/state/quillmark when it is unset or relative); on
// Windows %LOCALAPPDATA%\Quillmark. Created, for this user only, when missing. Empty, with
// `problem` in words, when there is none or it is not this user's alone.
std::string stateFolder(std::string& problem);

// The path of `name` in `folder`, with the system's separator.
std::string pathInFolder(const std::string& folder, const std::string& name);

// The names in `folder` (no "." or ".."); none when it cannot be listed.
std::vector<std::string> namesIn(const std::string& folder);

// Renames the file `from` over `to` in the same folder and syncs the folder.
void renameOver(const std::string& from, const std::string& to);

// True when `path` is a regular file (not a link) of this user's that nobody else may write.
bool isOwnPrivateFile(const std::string& path);

// `path` made absolute and without "." or ".." parts, links left as they are.
std::string absolutePathOf(const std::string& path);

} // namespace qm::core
