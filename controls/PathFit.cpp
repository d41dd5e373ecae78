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

namespace {

QString fitPieces(const QString& fileName, const PathPieces& split, const QString& separator,
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

} // namespace

QString fitPath(const QString& fileName, const PathPieces& split, const QString& separator,
                PathDirection direction, int available, const TextWidth& width) {
    const QString fitted = fitPieces(fileName, split, separator, direction, available, width);
    // A folder's path ends in the separator, so its last piece is empty: where the folder's own
    // name found no room, only ".../" would be left. The name is kept instead.
    const QString ellipsis = QStringLiteral("...") + separator;
    const qsizetype count = split.pieces.size();
    if (count > 2 && split.pieces.last().isEmpty() && fitted.endsWith(ellipsis)) {
        const QString own = split.pieces[count - 2] + separator;
        return width(ellipsis + own) <= available ? ellipsis + own : own;
    }
    return fitted;
}

} // namespace qm::controls
