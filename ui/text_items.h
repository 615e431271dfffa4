#pragma once

#include <QString>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

// How a text divides into characters, words, sentences and paragraphs, in
// offsets of its UTF-16 code units, for the text boxes' accessible queries.

namespace kalvoran::ui {

// The offsets from `start` up to, not including, `end`.
struct TextRange
{
    int start = 0;
    int end = 0;
};

// The items of one kind (characters, words, lines, ...) that a text divides
// into, known by where each starts: ascending, the first at 0. A start at the
// very end stands for an empty last item, such as the line after a final line
// break or the character at the end of the text.
class TextItems
{
public:
    TextItems(std::vector<int> starts, int length)
        : m_starts(std::move(starts))
        , m_length(length)
    { }

    // The item that holds `offset`; at the end of the text, the last item.
    [[nodiscard]] TextRange at(int offset) const
    {
        const auto next = std::upper_bound(m_starts.begin(), m_starts.end(), offset);
        return {*std::prev(next), next == m_starts.end() ? m_length : *next};
    }

    // The item before the one that holds `offset`; empty at the start.
    [[nodiscard]] TextRange before(int offset) const
    {
        const TextRange item = at(offset);
        return item.start == 0 ? TextRange{} : at(item.start - 1);
    }

    // The item after the one that holds `offset`; empty at the end.
    [[nodiscard]] TextRange after(int offset) const
    {
        const TextRange item = at(offset);
        return item.end >= m_length ? TextRange{m_length, m_length} : at(item.end);
    }

private:
    std::vector<int> m_starts;
    int m_length;
};

[[nodiscard]] inline int lengthOf(const QString &text)
{
    return static_cast<int>(text.size());
}

// Where Unicode's rules start graphemes, words or sentences; a word runs from
// its own start to the next word's, spaces included.
[[nodiscard]] std::vector<int> unicodeStarts(QTextBoundaryFinder::BoundaryType type, const QString &text);

// Where each paragraph starts: at 0 and after each line break.
[[nodiscard]] std::vector<int> paragraphStarts(const QString &text);

} // namespace kalvoran::ui
