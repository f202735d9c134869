// TFormFitter: fits a window laid out at fixed pixel places to the platform style's metrics.
//
// Every control keeps the place it was designed at unless the style needs more room: the children
// of a group box start below the box's title, inside its frame; no two controls of one container
// overlap or touch; a group box grows to hold its children and the controls below it move down by
// as much, keeping the designed spacing; a control anchored at its bottom keeps that edge and gives
// up height instead. Controls move right or down from their designed places, and left only to stay
// inside the right edge.
#pragma once

#include <QHash>
#include <QRect>
#include <vector>

class QWidget;

class TFormFitter {
public:
    enum TAnchor {
        faTop, // keeps its height, moves down when pushed
        faBottom, // keeps its designed bottom edge, gets shorter when pushed
    };

    static constexpr int kDesignContentTop = 10; // pixels from a group box's top to its contents, as designed
    static constexpr int kMinGapX = 4; // pixels between side-by-side controls
    static constexpr int kMinGapY = 1; // pixels between stacked controls
    static constexpr int kFramePad = 2; // pixels between a group box's frame and its nearest child
    static constexpr int kRowTolerance = 2; // pixels within which designed tops (or lefts) count as one row

    // Where `widget` was designed to be, in its parent's coordinates. A group box's children are
    // placed as the design saw them, with the box's contents beginning kDesignContentTop below its
    // top. A width or height of 0 takes the widget's size hint. The widget is moved there at once.
    void Design(QWidget* widget, const QRect& rect, TAnchor anchor = faTop);
    // Centres `label` vertically on `field`, as a caption beside its edit box.
    void Pair(QWidget* label, QWidget* field);
    // Places every designed widget, the innermost containers first. Run it again after a font or
    // style change.
    void Fit();

    bool IsDesigned(const QWidget* widget) const;
    // The designed rectangle of `widget` as given (a null rectangle when it was not designed).
    QRect Designed(const QWidget* widget) const;
    // Designed widgets whose parent is `container`, in the order they were designed.
    std::vector<QWidget*> Children(const QWidget* container) const;

private:
    struct TEntry {
        QWidget* widget = nullptr;
        QRect designed;
        TAnchor anchor = faTop;
        QWidget* buddy = nullptr; // centred on this one
        QRect start; // the designed place in the container's contents, at the size it needs now
        QRect designSized; // the designed place at its designed size (the hint where none was given)
        QRect placed;
    };

    void FitContainer(QWidget* container, const std::vector<TEntry*>& children);
    QSize NeededSize(const TEntry& entry) const;
    static bool HorizontalPass(const std::vector<TEntry*>& children);
    static bool VerticalPass(const std::vector<TEntry*>& children);
    // Moves the design of controls that passed `rightEdge` (and of their left neighbours) to the
    // left, never past `leftEdge`; true when it moved any.
    static bool PullBack(const std::vector<TEntry*>& children, int leftEdge, int rightEdge);

    std::vector<TEntry> m_entries;
    QHash<const QWidget*, QSize> m_fittedSizes; // containers fitted in this run
};
