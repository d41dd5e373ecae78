#include "controls/PathFit.h"

namespace qm::controls {

PathPieces splitPath(const QString& fileName, const QString& separator) {
    PathPieces out;
    QString rest = fileName;
    // An empty separator would never advance: the whole name is one piece.
    while (!separator.isEmpty()) {
        const qsizetype p = rest.indexOf(separator);
        if (p < 0)
            break;
        out.pieces.append(rest.left(p));
        rest = rest.mid(p + separator.size());
    }
    out.pieces.append(rest);
    const QString& first = out.pieces.first();
    out.hasDrive = first.size() > 1 && first.endsWith(QLatin1Char(':'));
    return out;
}

QString fitPath(const QString& fileName, const PathPieces& split, const QString& separator,
                PathDirection direction, int available, const TextWidth& width) {
    if (fileName.isEmpty() || width(fileName) <= available)
        return fileName;

    const QString ellipsis = QStringLiteral("...") + separator;
    const QString tail = split.pieces.last();
    int used = width(ellipsis) + width(tail);
    if (used >= available)
        return tail;

    QString head;
    qsizetype firstUsable = 0;
    if (split.hasDrive) {
        head = split.pieces.first() + separator;
        firstUsable = 1;
    }
    if (width(head) + used >= available)
        return ellipsis + tail;
    used += width(head);

    const qsizetype lastMiddle = split.pieces.size() - 2; // the piece before the tail
    QString middle;
    if (direction == PathDirection::FromLeft) {
        for (qsizetype i = lastMiddle; i >= firstUsable; --i) {
            const QString candidate = split.pieces[i] + separator + middle;
            if (width(candidate) + used > available)
                break;
            middle = candidate;
        }
        return head + ellipsis + middle + tail;
    }
    for (qsizetype i = firstUsable; i <= lastMiddle; ++i) {
        const QString candidate = middle + split.pieces[i] + separator;
        if (width(candidate) + used > available)
            break;
        middle = candidate;
    }
    return head + middle + ellipsis + tail;
}

} // namespace qm::controls
