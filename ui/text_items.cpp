#include "ui/text_items.h"

namespace kalvoran::ui {

// Each step of the finder moves forward, so the walk ends within the length of
// the text.
std::vector<int> unicodeStarts(QTextBoundaryFinder::BoundaryType type, const QString &text)
{
    std::vector<int> starts{0};
    QTextBoundaryFinder finder(type, text);
    qsizetype previous = 0;
    for (qsizetype at = finder.toNextBoundary(); at > previous && at < text.size(); at = finder.toNextBoundary()) {
        previous = at;
        if (type != QTextBoundaryFinder::Word || finder.boundaryReasons().testFlag(QTextBoundaryFinder::StartOfItem))
            starts.push_back(static_cast<int>(at));
    }
    return starts;
}

std::vector<int> paragraphStarts(const QString &text)
{
    std::vector<int> starts{0};
    for (int i = 0; i < lengthOf(text); ++i) {
        if (text.at(i) == u'\n')
            starts.push_back(i + 1);
    }
    return starts;
}

} // namespace kalvoran::ui
