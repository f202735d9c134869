// TPinnedEditor: keeps an editor on a fixed rectangle. Installed as an event filter on the
// editor, it answers every move or resize that leaves the rectangle by asking its placer to put
// the editor back, so whatever the editor's own layout logic does, the cell stays covered.
#pragma once

#include "platform/TTypes.h"

#include <QObject>
#include <functional>

class TPinnedEditor : public QObject {
    Q_OBJECT
public:
    // Moves the editor (a widget, which this class does not know) onto `rect`.
    using TPlacer = std::function<void(QObject& editor, const TRect& rect)>;

    explicit TPinnedEditor(QObject* parent = nullptr);
    ~TPinnedEditor() override;

    // Starts pinning `editor` to `rect` (client coordinates of the editor's parent) and places it
    // there at once. A previously pinned editor is released first.
    void Pin(QObject* editor, const TRect& rect, TPlacer placer);
    // Stops pinning; the editor keeps where it is.
    void Release();

    bool Active() const { return m_editor != nullptr; }
    QObject* Editor() const { return m_editor; }
    TRect Rect() const { return m_rect; }
    // A new rectangle for the pinned editor (the cell moved, the list scrolled).
    void SetRect(const TRect& rect);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Place();

    QObject* m_editor = nullptr;
    TRect m_rect;
    TPlacer m_placer;
    bool m_placing = false; // the placer's own move and resize must not call it again
    QMetaObject::Connection m_destroyedConnection;
};
