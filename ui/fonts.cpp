#include "ui/fonts.h"

#include <QDir>
#include <QFontDatabase>
#include <QStringList>

namespace kalvoran::ui {

namespace {

QString familyName(const Face &face)
{
    return QString::fromLatin1(face.family.data(), qsizetype(face.family.size()));
}

// The Windows build carries Liberation Sans in its resources (ui/CMakeLists.txt),
// for machines with neither Windows face, and Wine; elsewhere there is none.
void loadOwnFaces()
{
    for (const QString &file : QDir(QStringLiteral(":/fonts")).entryList(QDir::Files))
        QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/") + file);
}

} // namespace

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

QFont fontFor(const layout::Style &style)
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
