#include "ui/fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace kalvoran::ui {

namespace {

QString familyName(const Face &face)
{
    return QString::fromLatin1(face.family.data(), qsizetype(face.family.size()));
}

} // namespace

void loadOwnFaces()
{
#if defined(Q_OS_WIN)
    static const bool loaded = [] {
        for (const char *file : {"Regular", "Bold", "Italic", "BoldItalic"})
            QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/LiberationSans-%1.ttf").arg(QLatin1String(file)));
        return true;
    }();
    (void)loaded;
#endif
}

const Face &windowFace()
{
    // Resolved once: the font list does not change while the program runs.
    static const Face &face = []() -> const Face & {
        loadOwnFaces();
        const QStringList installed = QFontDatabase::families();
        for (const Face &candidate : kFaces) {
            if (installed.contains(familyName(candidate)))
                return candidate;
        }
        return kFaces.back();
    }();
    return face;
}

QFont fontFor(const Style &style)
{
    const Face &face = windowFace();
    QFont font(familyName(face));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(style.points * face.scale);
    font.setBold(style.bold);
    font.setItalic(style.italic);
    return font;
}

} // namespace kalvoran::ui
