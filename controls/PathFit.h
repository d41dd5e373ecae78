#pragma once

// Splitting a path at its separator and shortening it to a pixel width with "...",
// independent of any widget: the width of a text is asked of a callback.

#include <QString>
#include <QStringList>
#include <functional>

namespace qm::controls {

enum class PathDirection { FromLeft, FromRight };

struct PathPieces {
    QStringList pieces;
    bool hasDrive = false; // the first piece is a drive name such as "c:"
};

PathPieces splitPath(const QString& fileName, const QString& separator);

using TextWidth = std::function<int(const QString&)>;

// The text to show for fileName in a label `available` pixels wide.
QString fitPath(const QString& fileName, const PathPieces& split, const QString& separator,
                PathDirection direction, int available, const TextWidth& width);

} // namespace qm::controls
