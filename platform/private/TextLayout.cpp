#include "platform/private/TextLayout.h"

#include <algorithm>

namespace textlayout {

Measurer::Measurer(
    const QFontMetrics& metrics, bool expandTabs, WidthCache* cache, int tabChars, int averageCharWidth)
    : m_metrics(metrics)
    , m_cache(cache)
    , m_expandTabs(expandTabs)
{
    const int ave = averageCharWidth >= 0 ? averageCharWidth : metrics.averageCharWidth();
    m_tabWidth = std::max(1, (tabChars > 0 ? tabChars : 8) * (ave > 0 ? ave : 1));
}

void Measurer::UseFixedWidth(int charWidth, int tabChars)
{
    m_fixedCharWidth = std::max(1, charWidth);
    m_tabWidth = (tabChars > 0 ? tabChars : 8) * m_fixedCharWidth;
}

int Measurer::CharAdvance(QChar c) const
{
    return m_fixedCharWidth > 0 ? m_fixedCharWidth : m_metrics.horizontalAdvance(c);
}

int Measurer::Advance(const QString& s) const
{
    if (m_fixedCharWidth > 0)
        return int(s.size()) * m_fixedCharWidth;
    int width = 0;
    if (m_cache && m_cache->Find(s, &width))
        return width;
    width = m_metrics.horizontalAdvance(s);
    if (m_cache)
        m_cache->Insert(s, width);
    return width;
}

int Measurer::Width(const QString& text, int start, int length) const
{
    if (length <= 0)
        return 0;
    const QStringView view = QStringView(text).mid(start, length);
    if (!m_expandTabs || !view.contains(QLatin1Char('\t')))
        return Advance(start == 0 && length == text.size() ? text : view.toString());
    int x = 0;
    qsizetype segStart = 0;
    for (qsizetype i = 0; i <= view.size(); ++i) {
        if (i == view.size() || view[i] == QLatin1Char('\t')) {
            if (i > segStart)
                x += Advance(view.mid(segStart, i - segStart).toString());
            if (i < view.size())
                x = NextTabStop(x);
            segStart = i + 1;
        }
    }
    return x;
}

QString StripPrefix(const QString& text, std::vector<int>* underlines)
{
    if (!text.contains(QLatin1Char('&')))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('&')) {
            out += c;
            continue;
        }
        if (i + 1 >= text.size())
            break; // a trailing marker has nothing to mark
        ++i;
        if (text[i] != QLatin1Char('&') && underlines)
            underlines->push_back(int(out.size()));
        out += text[i];
    }
    return out;
}

namespace {

struct Span {
    int start;
    int length;
};

// Greedy breaking at blanks. Every measurement runs from the line start, so the cost is
// bounded by (words x characters per line), never by the square of the text length.
void WrapParagraph(
    const QString& text, Span para, const Options& opt, const Measurer& measure, std::vector<Span>& out)
{
    const int end = para.start + para.length;
    int lineStart = para.start;
    if (para.length == 0) {
        out.push_back(para);
        return;
    }
    while (lineStart < end) {
        int accepted = -1; // end of the last word that fits
        int pos = lineStart;
        while (pos < end) {
            int wordEnd = pos;
            while (wordEnd < end && text[wordEnd] == QLatin1Char(' '))
                ++wordEnd;
            while (wordEnd < end && text[wordEnd] != QLatin1Char(' '))
                ++wordEnd;
            if (measure.Width(text, lineStart, wordEnd - lineStart) > opt.availWidth)
                break;
            accepted = wordEnd;
            pos = wordEnd;
        }
        int lineEnd;
        if (accepted >= 0) {
            lineEnd = accepted;
        } else {
            // The first word alone is too wide.
            int wordEnd = lineStart;
            while (wordEnd < end && text[wordEnd] == QLatin1Char(' '))
                ++wordEnd;
            while (wordEnd < end && text[wordEnd] != QLatin1Char(' '))
                ++wordEnd;
            lineEnd = wordEnd;
            if (opt.breakLongWords) {
                int lo = 1, hi = wordEnd - lineStart; // characters; at least one per line
                while (lo < hi) {
                    const int mid = (lo + hi + 1) / 2;
                    if (measure.Width(text, lineStart, mid) <= opt.availWidth)
                        lo = mid;
                    else
                        hi = mid - 1;
                }
                lineEnd = lineStart + lo;
                // Never split a surrogate pair; a line of one such character takes both halves.
                if (lineEnd < wordEnd && text[lineEnd].isLowSurrogate())
                    lineEnd += lo > 1 ? -1 : 1;
            }
        }
        out.push_back(Span { lineStart, lineEnd - lineStart });
        // Blanks at a break are swallowed by the break.
        lineStart = lineEnd;
        while (lineStart < end && text[lineStart] == QLatin1Char(' '))
            ++lineStart;
    }
}

QString Ellipsize(const QString& line, int availWidth, const Measurer& measure, int* keptChars)
{
    const QString dots = QStringLiteral("...");
    const int dotsWidth = measure.Width(dots);
    const int room = availWidth - dotsWidth;
    auto fits = [&](int chars) { return measure.Width(line, 0, chars) <= room; };
    // No more characters fit than a few per pixel (zero-width marks aside), which keeps a
    // very long line from being measured in full at every step of the search.
    int lo = 0, hi = std::min(int(line.size()), std::max(0, availWidth) * 4 + 64);
    // Summed character advances predict the cut within a character or two (kerning and
    // shaping make the difference); checking the guess costs two or three measurements where
    // a plain bisection of the line costs one per halving.
    if (room > 0 && !(measure.ExpandTabs() && line.contains(QLatin1Char('\t')))) {
        int guess = 0;
        for (int sum = 0; guess < hi; ++guess) {
            sum += measure.CharAdvance(line[guess]);
            if (sum > room)
                break;
        }
        constexpr int kSteps = 3;
        if (fits(guess)) {
            lo = guess;
            for (int i = 0; i < kSteps && lo < hi; ++i) {
                if (!fits(lo + 1)) {
                    hi = lo;
                    break;
                }
                ++lo;
            }
        } else {
            hi = guess - 1;
            for (int i = 0; i < kSteps && hi > lo; ++i) {
                if (fits(hi)) {
                    lo = hi;
                    break;
                }
                --hi;
            }
        }
    }
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        if (fits(mid))
            lo = mid;
        else
            hi = mid - 1;
    }
    if (lo > 0 && lo < line.size() && line[lo].isLowSurrogate())
        --lo; // keep surrogate pairs whole
    *keptChars = lo;
    return line.left(lo) + dots;
}

} // namespace

QString SingleLineText(const QString& source, bool prefix, bool expandTabs, std::vector<int>* marks)
{
    QString text = prefix ? StripPrefix(source, marks) : source;
    if (!expandTabs)
        text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

std::vector<Line> Layout(const QString& source, const Options& opt, const Measurer& measure)
{
    std::vector<int> marks;
    QString text;
    std::vector<Span> paragraphs;
    if (opt.singleLine) {
        text = SingleLineText(source, opt.prefix, opt.expandTabs, &marks);
        paragraphs.push_back(Span { 0, int(text.size()) });
    } else {
        text = opt.prefix ? StripPrefix(source, &marks) : source;
        if (!opt.expandTabs)
            text.replace(QLatin1Char('\t'), QLatin1Char(' '));
        int start = 0;
        const int n = int(text.size());
        for (int i = 0; i < n; ++i) {
            const QChar c = text[i];
            if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
                paragraphs.push_back(Span { start, i - start });
                if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                    ++i;
                start = i + 1;
            }
        }
        paragraphs.push_back(Span { start, n - start });
    }

    std::vector<Span> spans;
    spans.reserve(paragraphs.size());
    for (const Span& p : paragraphs) {
        if (opt.wordBreak && !opt.singleLine)
            WrapParagraph(text, p, opt, measure, spans);
        else
            spans.push_back(p);
    }

    std::vector<Line> lines;
    lines.reserve(spans.size());
    size_t mark = 0;
    for (const Span& s : spans) {
        Line line;
        line.text = text.mid(s.start, s.length);
        line.width = measure.Width(line.text);
        int kept = int(line.text.size());
        if (opt.endEllipsis && line.width > opt.availWidth) {
            line.text = Ellipsize(line.text, opt.availWidth, measure, &kept);
            line.width = measure.Width(line.text);
        }
        while (mark < marks.size() && marks[mark] < s.start)
            ++mark;
        for (size_t m = mark; m < marks.size() && marks[m] < s.start + s.length; ++m) {
            if (marks[m] - s.start < kept)
                line.underlines.push_back(marks[m] - s.start);
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

void EndWithEllipsis(Line& line, int availWidth, const Measurer& measure)
{
    const QString dots = QStringLiteral("...");
    if (line.width + measure.Width(dots) <= availWidth) {
        line.text += dots;
    } else {
        int kept = 0;
        line.text = Ellipsize(line.text, availWidth, measure, &kept);
        std::erase_if(line.underlines, [kept](int i) { return i >= kept; });
    }
    line.width = measure.Width(line.text);
}

} // namespace textlayout
