#include "ui/fonts.h"

namespace kalvoran::ui {

namespace {
// Liberation Sans runs wider than the bitmap "MS Sans Serif" it replaces. At
// this scale 8.25 pt becomes 7.5 pt, 10 pixels at 96 dots per inch, and every
// caption keeps to the box drawn for it (the layout tests check each one with
// the real font metrics).
constexpr double kFaceScale = 0.91;
} // namespace

QFont fontFor(const Style &style)
{
    QFont font(QString::fromLatin1(kFaceFamily));
    font.setFamilies(QStringList{QString::fromLatin1(kFaceFamily), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(style.points * kFaceScale);
    font.setBold(style.bold);
    font.setItalic(style.italic);
    return font;
}

} // namespace kalvoran::ui
