#include "app/TFormFitter.h"

#include <QGroupBox>
#include <QWidget>
#include <algorithm>
#include <map>

namespace {

int Depth(const QWidget* widget)
{
    int depth = 0;
    for (const QWidget* w = widget; w; w = w->parentWidget())
        ++depth;
    return depth;
}

// Half-open ranges [a1, a2) and [b1, b2) share at least one pixel.
bool Overlap(int a1, int a2, int b1, int b2)
{
    return a1 < b2 && b1 < a2;
}

bool OverlapX(const QRect& a, const QRect& b)
{
    return Overlap(a.left(), a.left() + a.width(), b.left(), b.left() + b.width());
}

bool OverlapY(const QRect& a, const QRect& b)
{
    return Overlap(a.top(), a.top() + a.height(), b.top(), b.top() + b.height());
}

// Whether two controls were designed side by side (to be kept apart left to right) rather than
// stacked (kept apart top to bottom). Where the design's rectangles, at the sizes the controls need
// now, overlap both ways, the direction of the smaller overlap is the one they were meant apart in.
bool SideBySide(const QRect& a, const QRect& b)
{
    const int ox = std::min(a.left() + a.width(), b.left() + b.width()) - std::max(a.left(), b.left());
    const int oy = std::min(a.top() + a.height(), b.top() + b.height()) - std::max(a.top(), b.top());
    if (ox <= 0 && oy <= 0)
        return -ox >= -oy;
    if (ox <= 0 || oy <= 0)
        return ox <= 0;
    const double relativeX = double(ox) / std::max(1, std::min(a.width(), b.width()));
    const double relativeY = double(oy) / std::max(1, std::min(a.height(), b.height()));
    return relativeX < relativeY;
}

} // namespace

void TFormFitter::Design(QWidget* widget, const QRect& rect, TAnchor anchor)
{
    TEntry entry;
    entry.widget = widget;
    entry.designed = rect;
    entry.anchor = anchor;
    m_entries.push_back(entry);
    const QSize size = NeededSize(m_entries.back());
    widget->setGeometry(QRect(rect.topLeft(), size));
}

void TFormFitter::Pair(QWidget* label, QWidget* field)
{
    for (TEntry& entry : m_entries)
        if (entry.widget == label)
            entry.buddy = field;
}

bool TFormFitter::IsDesigned(const QWidget* widget) const
{
    return std::any_of(
        m_entries.begin(), m_entries.end(), [widget](const TEntry& entry) { return entry.widget == widget; });
}

QRect TFormFitter::Designed(const QWidget* widget) const
{
    for (const TEntry& entry : m_entries)
        if (entry.widget == widget)
            return entry.designed;
    return {};
}

std::vector<QWidget*> TFormFitter::Children(const QWidget* container) const
{
    std::vector<QWidget*> children;
    for (const TEntry& entry : m_entries)
        if (entry.widget->parentWidget() == container)
            children.push_back(entry.widget);
    return children;
}

QSize TFormFitter::NeededSize(const TEntry& entry) const
{
    QWidget* w = entry.widget;
    const auto fitted = m_fittedSizes.constFind(w);
    if (fitted != m_fittedSizes.constEnd())
        return fitted.value();
    const QSize hint = w->sizeHint();
    QSize size(entry.designed.width() > 0 ? entry.designed.width() : hint.width(),
        entry.designed.height() > 0 ? entry.designed.height() : hint.height());
    // A group box that lays out its own items (a radio group) says what it needs through its
    // minimum size hint.
    if (qobject_cast<QGroupBox*>(w))
        size = size.expandedTo(w->minimumSizeHint());
    return size;
}

void TFormFitter::Fit()
{
    m_fittedSizes.clear();
    std::map<QWidget*, std::vector<TEntry*>> byContainer;
    for (TEntry& entry : m_entries)
        if (entry.widget->parentWidget())
            byContainer[entry.widget->parentWidget()].push_back(&entry);
    std::vector<QWidget*> containers;
    for (const auto& [container, children] : byContainer)
        containers.push_back(container);
    // Innermost first: a group box knows its size before its own container is fitted.
    std::stable_sort(containers.begin(), containers.end(),
        [](const QWidget* a, const QWidget* b) { return Depth(a) > Depth(b); });
    for (QWidget* container : containers)
        FitContainer(container, byContainer[container]);
}

void TFormFitter::FitContainer(QWidget* container, const std::vector<TEntry*>& children)
{
    auto* group = qobject_cast<QGroupBox*>(container);
    // A group box's contents begin below its title as the style draws it; elsewhere the whole
    // container is contents.
    const QRect contents = group ? container->contentsRect() : QRect(0, 0, 1 << 20, 1 << 20);
    const int dy = group ? contents.top() - kDesignContentTop : 0;
    for (TEntry* e : children) {
        const QSize size = NeededSize(*e);
        // Spacing and directions come from the design's own sizes (a hint where it gave none).
        e->designSized = QRect(e->designed.topLeft(),
            QSize(e->designed.width() > 0 ? e->designed.width() : size.width(),
                e->designed.height() > 0 ? e->designed.height() : size.height()));
        QRect start = QRect(e->designed.topLeft(), size).translated(0, dy);
        start.moveLeft(std::max(start.left(), contents.left()));
        start.moveTop(std::max(start.top(), contents.top()));
        e->start = start;
        e->placed = start;
    }
    // The right edge nothing may pass: a group box's frame, or where the design's widest control
    // ends (the margin the design keeps to the window's edge).
    int right = 0;
    for (const TEntry* e : children)
        right = std::max(right, e->designSized.left() + e->designSized.width());
    if (group)
        right = contents.left() + contents.width() - kFramePad;
    // Each pass moves controls only right or down, as far as something placed before them
    // requires; a few rounds settle. Controls pushed past the right edge are then designed
    // further left (with their neighbours) and the rounds run again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        for (size_t round = 0; round < children.size() + 2; ++round) {
            const bool movedX = HorizontalPass(children);
            const bool movedY = VerticalPass(children);
            if (!movedX && !movedY)
                break;
        }
        if (!PullBack(children, contents.left(), right))
            break;
        for (TEntry* e : children)
            e->placed = e->start;
    }
    for (TEntry* e : children) {
        if (e->anchor == faBottom) {
            const int bottom = e->start.top() + e->start.height();
            e->placed.setHeight(std::max(0, bottom - e->placed.top()));
        }
    }
    for (TEntry* e : children) {
        if (!e->buddy)
            continue;
        for (TEntry* field : children) {
            if (field->widget == e->buddy) {
                const int centre = field->placed.top() + field->placed.height() / 2;
                e->placed.moveTop(std::max(contents.top(), centre - e->placed.height() / 2));
            }
        }
    }
    for (TEntry* e : children)
        e->widget->setGeometry(e->placed);

    if (!group)
        return;
    // The box grows to hold its children with the designed room below and right of them (at
    // least the frame and a small pad), never shrinks below its design.
    int designedBottom = 0, placedBottom = 0, placedRight = 0;
    for (TEntry* e : children) {
        designedBottom = std::max(designedBottom, e->designSized.top() + e->designSized.height());
        placedBottom = std::max(placedBottom, e->placed.top() + e->placed.height());
        placedRight = std::max(placedRight, e->placed.left() + e->placed.width());
    }
    auto self = std::find_if(m_entries.begin(), m_entries.end(),
        [container](const TEntry& entry) { return entry.widget == container; });
    const QSize designedSize = self != m_entries.end() && !self->designed.size().isEmpty()
        ? self->designed.size()
        : container->size();
    const int frameBottom = container->height() - (contents.top() + contents.height());
    const int frameRight = container->width() - (contents.left() + contents.width());
    const int padBottom = std::max(designedSize.height() - designedBottom, frameBottom + kFramePad);
    const int padRight = frameRight + kFramePad;
    QSize size = designedSize.expandedTo(container->minimumSizeHint());
    size = size.expandedTo(QSize(placedRight + padRight, placedBottom + padBottom));
    m_fittedSizes.insert(container, size);
    container->resize(size);
}

bool TFormFitter::HorizontalPass(const std::vector<TEntry*>& children)
{
    std::vector<TEntry*> order(children);
    std::stable_sort(order.begin(), order.end(),
        [](const TEntry* a, const TEntry* b) { return a->start.left() < b->start.left(); });
    bool moved = false;
    size_t i = 0;
    while (i < order.size()) {
        // A column: controls designed at (nearly) the same left edge move together.
        size_t end = i + 1;
        while (end < order.size() && order[end]->start.left() - order[i]->start.left() <= kRowTolerance)
            ++end;
        // Never back: a control moved in an earlier round stays at least as far along, so the
        // rounds cannot swing between two layouts.
        int shift = 0;
        for (size_t m = i; m < end; ++m)
            shift = std::max(shift, order[m]->placed.left() - order[m]->start.left());
        for (size_t m = i; m < end; ++m) {
            for (size_t v = 0; v < i; ++v) {
                const QRect& left = order[v]->placed;
                if (SideBySide(order[v]->designSized, order[m]->designSized)
                    && OverlapY(order[m]->placed, left))
                    shift = std::max(shift, left.left() + left.width() + kMinGapX - order[m]->start.left());
            }
        }
        for (size_t m = i; m < end; ++m) {
            const int x = order[m]->start.left() + shift;
            if (order[m]->placed.left() != x) {
                order[m]->placed.moveLeft(x);
                moved = true;
            }
        }
        i = end;
    }
    return moved;
}

bool TFormFitter::PullBack(const std::vector<TEntry*>& children, int leftEdge, int rightEdge)
{
    std::vector<TEntry*> order(children);
    std::stable_sort(order.begin(), order.end(),
        [](const TEntry* a, const TEntry* b) { return a->start.left() > b->start.left(); });
    bool moved = false;
    size_t i = 0;
    while (i < order.size()) {
        // Columns from the right: each keeps the gap to what is right of it and inside the edge.
        size_t end = i + 1;
        while (end < order.size() && order[i]->start.left() - order[end]->start.left() <= kRowTolerance)
            ++end;
        int over = 0;
        for (size_t m = i; m < end; ++m) {
            int limit = rightEdge;
            for (size_t v = 0; v < i; ++v) {
                if (SideBySide(order[m]->designSized, order[v]->designSized)
                    && OverlapY(order[m]->placed, order[v]->placed))
                    limit = std::min(limit, order[v]->placed.left() - kMinGapX);
            }
            over = std::max(over, order[m]->placed.left() + order[m]->placed.width() - limit);
        }
        if (over > 0) {
            for (size_t m = i; m < end; ++m) {
                const int left = std::max(leftEdge, order[m]->placed.left() - over);
                if (left < order[m]->placed.left()) {
                    order[m]->start.moveLeft(left);
                    order[m]->placed.moveLeft(left);
                    moved = true;
                }
            }
        }
        i = end;
    }
    return moved;
}

bool TFormFitter::VerticalPass(const std::vector<TEntry*>& children)
{
    std::vector<TEntry*> order(children);
    std::stable_sort(order.begin(), order.end(),
        [](const TEntry* a, const TEntry* b) { return a->start.top() < b->start.top(); });
    bool moved = false;
    size_t i = 0;
    while (i < order.size()) {
        // A row: controls designed at (nearly) the same top move together, keeping the designed
        // spacing to what is above them (at least kMinGapY).
        size_t end = i + 1;
        while (end < order.size() && order[end]->start.top() - order[i]->start.top() <= kRowTolerance)
            ++end;
        int shift = 0;
        for (size_t m = i; m < end; ++m)
            shift = std::max(shift, order[m]->placed.top() - order[m]->start.top());
        for (size_t m = i; m < end; ++m) {
            for (size_t v = 0; v < i; ++v) {
                const TEntry& above = *order[v];
                if (SideBySide(above.designSized, order[m]->designSized)
                    || !OverlapX(order[m]->placed, above.placed))
                    continue;
                const int designedGap
                    = order[m]->designSized.top() - (above.designSized.top() + above.designSized.height());
                const int gap = std::max(kMinGapY, designedGap);
                shift = std::max(
                    shift, above.placed.top() + above.placed.height() + gap - order[m]->start.top());
            }
        }
        for (size_t m = i; m < end; ++m) {
            const int y = order[m]->start.top() + shift;
            if (order[m]->placed.top() != y) {
                order[m]->placed.moveTop(y);
                moved = true;
            }
        }
        i = end;
    }
    return moved;
}
