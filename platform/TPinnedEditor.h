// TPinnedEditor: keeps an editor widget on a fixed rectangle of its parent. Installed as an event
// filter on the editor, it puts the editor back whenever anything moves or resizes it, so that
// whatever the editor's own layout logic does, the cell it edits stays exactly covered.
#pragma once

#include "platform/TTypes.h"

#include <QObject>
#include <QPointer>

class QWidget;

class TPinnedEditor : public QObject {
    Q_OBJECT
public:
    explicit TPinnedEditor(QObject* parent = nullptr);
    ~TPinnedEditor() override;

    // Starts pinning `editor` to `rect` (client coordinates of the editor's parent) and places it
    // there at once. A previously pinned editor is released first.
    void Pin(QWidget* editor, const TRect& rect);
    // Stops pinning; the editor stays where it is.
    void Release();

    bool Active() const { return !m_editor.isNull(); }
    QWidget* Editor() const { return m_editor; }
    TRect Rect() const { return m_rect; }
    // A new rectangle for the pinned editor (the cell moved).
    void SetRect(const TRect& rect);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Place();

    QPointer<QWidget> m_editor; // forgets an editor that goes away while pinned
    TRect m_rect;
    bool m_placing = false; // the pin's own move and resize must not place again
};
