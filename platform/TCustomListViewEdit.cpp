// In-place label editing of the report list view.
#include "platform/TCustomListView.h"

#include "platform/TInPlaceEdit.h"
#include "platform/TPinnedEditor.h"

#include <QFocusEvent>
#include <QKeyEvent>

void TCustomListView::EditCaption(int item)
{
    if (!m_handleAllocated || !ValidItem(item) || m_readOnly)
        return;
    if (IsEditing())
        FinishEdit(true);
    EnsureVisible(item);
    auto* editor = new TInPlaceEdit(viewport());
    editor->setFont(m_font.ToQFont());
    editor->SetText(m_items[item].Caption());
    // Exactly over the caption label and one row high, so that it hides no other row.
    QRect r = SubItemRect(item, 0).ToQRect();
    r.setWidth(std::max(r.width(), 40));
    editor->setGeometry(r);
    m_editor = editor;
    m_editItem = item;
    m_editRow = &m_items[item];
    if (!BeginLabelEdit(item)) {
        if (m_editor == editor) {
            m_editPin->Release();
            m_editor = nullptr;
            m_editItem = -1;
            m_editRow = nullptr;
        }
        delete editor;
        return;
    }
    if (m_editor != editor)
        return;
    editor->installEventFilter(this);
    editor->show();
    editor->setFocus(Qt::OtherFocusReason);
    editor->selectAll();
}

QWidget* TCustomListView::EditWindow() const
{
    return m_editor;
}

void TCustomListView::EndEditing(bool accept)
{
    if (IsEditing())
        FinishEdit(accept);
}

QString TCustomListView::EditText() const
{
    return m_editor ? m_editor->Text() : QString();
}

void TCustomListView::SetEditText(const QString& text)
{
    if (m_editor)
        m_editor->SetText(text);
}

void TCustomListView::SetEditMultiLine(bool multiLine)
{
    if (m_editor)
        m_editor->SetMultiLine(multiLine);
}

void TCustomListView::SetEditMaxLength(int characters)
{
    if (m_editor)
        m_editor->SetMaxLength(characters);
}

void TCustomListView::SetEditVerticalAlignment(unsigned dtFlag)
{
    if (m_editor)
        m_editor->SetVerticalAlignment((dtFlag & DT_BOTTOM) ? Qt::AlignBottom
                : (dtFlag & DT_VCENTER)                     ? Qt::AlignVCenter
                                                            : Qt::AlignTop);
}

void TCustomListView::PinEditWindow(const TRect& rect)
{
    if (m_editor)
        m_editPin->Pin(m_editor, rect);
}

TRect TCustomListView::PinnedEditRect() const
{
    return m_editPin->Active() ? m_editPin->Rect() : TRect {};
}

void TCustomListView::FinishEdit(bool accept)
{
    if (!m_editor || m_finishingEdit)
        return;
    m_finishingEdit = true;
    TInPlaceEdit* editor = m_editor;
    const int item = m_editItem;
    const QString text = editor->Text();
    const bool editorHadFocus = editor->hasFocus();
    editor->removeEventFilter(this);
    m_editPin->Release();
    // The editor stays reachable through EditWindow() while the end notification runs.
    EndLabelEdit(item, text, accept);
    m_editor = nullptr;
    m_editItem = -1;
    m_editRow = nullptr;
    editor->hide();
    editor->deleteLater();
    m_finishingEdit = false;
    if (editorHadFocus)
        setFocus(Qt::OtherFocusReason);
}

bool TCustomListView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_editor) {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
            // Ctrl+Enter is a line break in a multi-line editor, not the end of the edit.
            if (enter && !(m_editor->MultiLine() && (key->modifiers() & Qt::ControlModifier))) {
                FinishEdit(true);
                return true;
            }
            if (key->key() == Qt::Key_Escape) {
                FinishEdit(false);
                return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
                FinishEdit(true);
        }
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}
