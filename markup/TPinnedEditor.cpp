#include "markup/TPinnedEditor.h"

#include <QEvent>
#include <QMoveEvent>
#include <QResizeEvent>

TPinnedEditor::TPinnedEditor(QObject* parent)
    : QObject(parent)
{ }

TPinnedEditor::~TPinnedEditor()
{
    Release();
}

void TPinnedEditor::Pin(QObject* editor, const TRect& rect, TPlacer placer)
{
    Release();
    if (!editor)
        return;
    m_editor = editor;
    m_rect = rect;
    m_placer = std::move(placer);
    m_editor->installEventFilter(this);
    m_destroyedConnection = connect(m_editor, &QObject::destroyed, this, [this] {
        m_editor = nullptr;
        m_placer = nullptr;
    });
    Place();
}

void TPinnedEditor::Release()
{
    if (!m_editor)
        return;
    m_editor->removeEventFilter(this);
    disconnect(m_destroyedConnection);
    m_editor = nullptr;
    m_placer = nullptr;
}

void TPinnedEditor::SetRect(const TRect& rect)
{
    m_rect = rect;
    if (m_editor)
        Place();
}

void TPinnedEditor::Place()
{
    if (!m_editor || !m_placer || m_placing)
        return;
    m_placing = true;
    m_placer(*m_editor, m_rect);
    m_placing = false;
}

bool TPinnedEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_editor && !m_placing) {
        if (event->type() == QEvent::Move) {
            const auto* move = static_cast<QMoveEvent*>(event);
            if (move->pos() != QPoint(m_rect.left, m_rect.top))
                Place();
        } else if (event->type() == QEvent::Resize) {
            const auto* resize = static_cast<QResizeEvent*>(event);
            if (resize->size() != QSize(m_rect.Width(), m_rect.Height()))
                Place();
        }
    }
    return QObject::eventFilter(watched, event);
}
