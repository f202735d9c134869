#include "platform/TPinnedEditor.h"

#include <QEvent>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QWidget>

TPinnedEditor::TPinnedEditor(QObject* parent)
    : QObject(parent)
{ }

TPinnedEditor::~TPinnedEditor()
{
    Release();
}

void TPinnedEditor::Pin(QWidget* editor, const TRect& rect)
{
    Release();
    if (!editor)
        return;
    m_editor = editor;
    m_rect = rect;
    m_editor->installEventFilter(this);
    Place();
}

void TPinnedEditor::Release()
{
    if (m_editor)
        m_editor->removeEventFilter(this);
    m_editor = nullptr;
}

void TPinnedEditor::SetRect(const TRect& rect)
{
    m_rect = rect;
    Place();
}

void TPinnedEditor::Place()
{
    if (!m_editor || m_placing)
        return;
    m_placing = true;
    m_editor->setGeometry(m_rect.ToQRect());
    m_placing = false;
}

bool TPinnedEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_editor && !m_placing) {
        if (event->type() == QEvent::Move) {
            if (static_cast<QMoveEvent*>(event)->pos() != QPoint(m_rect.left, m_rect.top))
                Place();
        } else if (event->type() == QEvent::Resize) {
            if (static_cast<QResizeEvent*>(event)->size() != QSize(m_rect.Width(), m_rect.Height()))
                Place();
        }
    }
    return QObject::eventFilter(watched, event);
}
