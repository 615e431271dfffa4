#include "ui/fonts.h"

#include <QStringList>

namespace kalvoran::ui {

QFont fontFor(const Style &style)
{
    QFont font(QString::fromLatin1(kFace.family));
    font.setFamilies(QStringList{QString::fromLatin1(kFace.family), QString::fromLatin1(kFace.fallback)});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(style.points * kFace.scale);
    font.setBold(style.bold);
    font.setItalic(style.italic);
    return font;
}

} // namespace kalvoran::ui
