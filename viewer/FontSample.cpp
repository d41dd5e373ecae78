#include "viewer/FontSample.h"

#include "core/EInOutError.h"
#include "core/FontReader.h"
#include "core/Windows1252.h"
#include "platform/AppFonts.h"
#include "platform/FileNames.h"

#include <exception>

namespace qm::viewer {

namespace {

QString display(const std::string& windows1252) {
    return QString::fromStdString(windows1252ToUtf8(windows1252));
}

QString cannotShow(const QString& path, const QString& why) {
    return QStringLiteral("Cannot show %1: %2").arg(path, why);
}

} // namespace

FontSample loadFontSample(const QString& path) {
    FontSample sample;
    sample.path = path;
    if (path.isEmpty()) {
        sample.error = QStringLiteral("No font file given. Start glyphsee with the path of a "
                                      "TrueType font file: glyphsee FONT-FILE");
        return sample;
    }
    // The main program hands over a folder when no font is chosen in it.
    if (platform::isFolder(path)) {
        sample.error = cannotShow(path, QStringLiteral("it is a folder, not a font file."));
        return sample;
    }

    FontRead reader;
    try {
        reader = ReadFontNames(platform::fileNameBytes(path));
    } catch (const EInOutError& error) {
        sample.error = cannotShow(path, QString::fromStdString(error.what()));
        return sample;
    } catch (const std::exception& error) {
        sample.error = cannotShow(path, QString::fromLocal8Bit(error.what()));
        return sample;
    }
    if (reader.ReadFailed) {
        sample.error = cannotShow(path, QString::fromStdString(reader.ErrorText));
        return sample;
    }

    const ::FontNames& names = reader.FontNames;
    sample.names = {
        {QStringLiteral("Family name"), display(names.FamilyName)},
        {QStringLiteral("Style"), display(names.Style)},
        {QStringLiteral("Full name"), display(names.FullName)},
        {QStringLiteral("PostScript name"), display(names.Postscript)},
        {QStringLiteral("Version"), display(names.Version)},
        {QStringLiteral("Font ID"), display(names.FontID)},
        {QStringLiteral("Copyright"), display(names.Copyright)},
        {QStringLiteral("Trademark"), display(names.TradeMark)},
    };
    sample.fullName = display(names.FullName);
    sample.bold = names.Bold;
    sample.italic = names.Italic;

    // The name table can be sound while the outlines are not.
    sample.face = platform::AppFonts::rawFont(path, 12);
    if (!sample.face.isValid())
        sample.error = cannotShow(path, QStringLiteral("its glyph outlines cannot be loaded."));
    return sample;
}

QString characterSet() {
    QString chars;
    for (int code = 32; code <= 255; ++code) {
        const char32_t ch = unicodeOfWindows1252(static_cast<unsigned char>(code));
        chars += QString::fromUcs4(&ch, 1);
    }
    return chars;
}

} // namespace qm::viewer
