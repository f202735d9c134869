// Line breaking for the canvas's DrawText: prefix characters, tabs, word wrap and end ellipsis,
// all measured in device pixels with the font that will draw the text.
#pragma once

#include <QFontMetrics>
#include <QHash>
#include <QString>
#include <vector>

namespace textlayout {

struct Options {
    bool singleLine = false;
    bool wordBreak = false;
    bool breakLongWords = false; // edit-control behaviour: a word wider than the line is split
    bool expandTabs = false;
    bool prefix = true; // "&" marks the next character, "&&" is a literal "&"
    bool endEllipsis = false;
    int availWidth = 0; // device pixels
};

struct Line {
    QString text;
    std::vector<int> underlines; // indexes into text of characters marked by a prefix
    int width = 0; // device pixels
};

// Widths already measured with one font. Lists repaint the same cells over and over, and
// shaping a string costs far more than hashing it.
class WidthCache {
public:
    bool Find(const QString& s, int* width) const
    {
        auto it = m_widths.constFind(s);
        if (it == m_widths.constEnd())
            return false;
        *width = *it;
        return true;
    }
    void Insert(const QString& s, int width)
    {
        if (m_widths.size() >= kCapacity)
            m_widths.clear(); // crude but bounded; a new viewport refills it at once
        m_widths.insert(s, width);
    }

private:
    static constexpr qsizetype kCapacity = 4096;
    QHash<QString, int> m_widths;
};

// Measures text with tab expansion (tab stops every eight average character widths unless
// the caller names another count).
class Measurer {
public:
    // `tabChars` = 0 gives the standard eight characters per tab stop.
    // `averageCharWidth` < 0: asked of the metrics (slow for some fonts; callers that measure
    // often keep it).
    Measurer(const QFontMetrics& metrics, bool expandTabs, WidthCache* cache = nullptr, int tabChars = 0,
        int averageCharWidth = -1);
    int Width(const QString& text, int start, int length) const;
    int Width(const QString& text) const { return Width(text, 0, int(text.size())); }
    // Every character `charWidth` pixels wide (a canvas with fixed test metrics).
    void UseFixedWidth(int charWidth, int tabChars);
    // The advance of one character on its own (an estimate of its share in a string).
    int CharAdvance(QChar c) const;
    int TabWidth() const { return m_tabWidth; }
    bool ExpandTabs() const { return m_expandTabs; }
    // Where a tab starting at `x` ends.
    int NextTabStop(int x) const { return (x / m_tabWidth + 1) * m_tabWidth; }
    const QFontMetrics& Metrics() const { return m_metrics; }

private:
    int Advance(const QString& s) const;
    const QFontMetrics& m_metrics;
    WidthCache* m_cache;
    bool m_expandTabs;
    int m_tabWidth;
    int m_fixedCharWidth = 0;
};

// Removes prefix markers: returns the shown text and the indexes of the marked characters.
QString StripPrefix(const QString& text, std::vector<int>* underlines);

// The text a single line shows: prefix markers removed (their characters' indexes into `marks`
// when given), line breaks as blanks, tabs as blanks unless they are expanded.
QString SingleLineText(const QString& source, bool prefix, bool expandTabs, std::vector<int>* marks);

std::vector<Line> Layout(const QString& text, const Options& options, const Measurer& measure);

// Marks `line` as followed by text that is not shown: "..." appended, characters cut from the
// end until it fits `availWidth`.
void EndWithEllipsis(Line& line, int availWidth, const Measurer& measure);

} // namespace textlayout
