// Input of the report list view: selection, mouse, keyboard, type-ahead, hot tracking and hints.
#include "platform/TCustomListView.h"

#include "platform/ListCells.h"
#include "platform/THintWindow.h"
#include "platform/private/ListViewMetrics.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>

using namespace ListViewMetrics;

void TCustomListView::ClearSelection()
{
    if (m_items.SelectedCount() == 0)
        return;
    // The focused and anchor rows usually hold the only selection; look there before scanning.
    if (TListItem* focused = m_items.Focused())
        focused->SetSelected(false);
    if (TListItem* anchor = m_items.Item(m_anchor))
        anchor->SetSelected(false);
    for (int i = 0; i < m_items.Count() && m_items.SelectedCount() > 0; ++i)
        m_items[i].SetSelected(false);
}

void TCustomListView::SelectRange(int from, int to)
{
    if (m_items.Count() == 0)
        return;
    if (from > to)
        std::swap(from, to);
    from = std::clamp(from, 0, m_items.Count() - 1);
    to = std::clamp(to, 0, m_items.Count() - 1);
    for (int i = from; i <= to; ++i)
        m_items[i].SetSelected(true);
}

int TCustomListView::FocusedIndex() const
{
    const TListItem* focused = m_items.Focused();
    return focused ? focused->Index() : -1;
}

void TCustomListView::DeselectOutside(int from, int to)
{
    int inside = 0;
    for (int i = from; i <= to; ++i)
        inside += m_items[i].Selected() ? 1 : 0;
    // Stop as soon as every selection left lies inside the range.
    for (int i = 0; i < m_items.Count() && m_items.SelectedCount() > inside; ++i) {
        if (i == from) {
            i = to;
            continue;
        }
        m_items[i].SetSelected(false);
    }
}

void TCustomListView::ClickSelect(int item, Qt::KeyboardModifiers modifiers)
{
    if (!ValidItem(item))
        return;
    TListItem& it = m_items[item];
    TListItem* old = m_items.Focused();
    if (old == &it)
        old = nullptr;
    // Each row changes once: the old focus row loses focus (and its selection when that goes
    // too) in one report, the clicked row gains selection and focus in one report.
    if (m_multiSelect && (modifiers & Qt::ControlModifier)) {
        if (old)
            old->SetFocused(false);
        it.SetState(!it.Selected(), true);
        m_anchor = item;
    } else if (m_multiSelect && (modifiers & Qt::ShiftModifier)) {
        const int anchor = ValidItem(m_anchor) ? m_anchor : std::max(0, FocusedIndex());
        const int from = std::min(anchor, item);
        const int to = std::max(anchor, item);
        if (old) {
            const int index = old->Index();
            old->SetState(index >= from && index <= to, false);
        }
        DeselectOutside(from, to);
        for (int i = from; i <= to; ++i)
            if (i != item)
                m_items[i].SetSelected(true);
        it.SetState(true, true);
        m_anchor = anchor;
    } else {
        if (old)
            old->SetState(false, false);
        DeselectOutside(item, item);
        it.SetState(true, true);
        m_anchor = item;
    }
}

void TCustomListView::MoveFocusTo(int item, Qt::KeyboardModifiers modifiers)
{
    if (!ValidItem(item))
        return;
    if (m_multiSelect && (modifiers & Qt::ControlModifier) && !(modifiers & Qt::ShiftModifier))
        m_items[item].SetFocused(true);
    else
        ClickSelect(item, modifiers & Qt::ShiftModifier);
    EnsureVisible(item);
}

void TCustomListView::mousePressEvent(QMouseEvent* event)
{
    if (!m_handleAllocated) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    if (IsEditing())
        FinishEdit(true);
    if (m_editTimer) {
        killTimer(m_editTimer);
        m_editTimer = 0;
    }
    const TPoint p = TPoint::FromQPoint(event->position().toPoint());
    int item = -1;
    int column = -1;
    const bool hit = SubItemHitTest(p, item, column);
    if (event->button() == Qt::LeftButton) {
        if (!hit) {
            if (!(event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)))
                ClearSelection();
            ItemClick(-1, -1);
            return;
        }
        const TListItem& it = m_items[item];
        const bool wasCurrent = it.Selected() && it.Focused() && m_items.SelectedCount() == 1;
        if (CheckBoxRect(item).Inflated(1, 1).Contains(p))
            m_items[item].SetChecked(!it.Checked());
        ClickSelect(item, event->modifiers());
        EnsureVisible(item);
        // A second, slow click on the caption of the current row starts editing it.
        if (wasCurrent && !m_readOnly && column == 0 && event->modifiers() == Qt::NoModifier
            && SubItemRect(item, 0).Contains(p)) {
            m_pendingEditItem = item;
            m_editTimer = startTimer(QApplication::doubleClickInterval());
        }
        ItemClick(item, column);
    } else if (event->button() == Qt::RightButton) {
        if (hit && !m_items[item].Selected())
            ClickSelect(item, Qt::NoModifier);
        else if (hit)
            m_items[item].SetFocused(true);
        ItemRClick(hit ? item : -1, hit ? column : -1);
    }
}

void TCustomListView::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
}

void TCustomListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second click of a pair is still a click (a quick click on another row selects it),
    // but it never starts caption editing.
    mousePressEvent(event);
    if (m_editTimer) {
        killTimer(m_editTimer);
        m_editTimer = 0;
    }
}

void TCustomListView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_handleAllocated && m_hotTrack) {
        int item = -1;
        int column = -1;
        SubItemHitTest(TPoint::FromQPoint(event->position().toPoint()), item, column);
        SetHot(item);
    }
    QAbstractScrollArea::mouseMoveEvent(event);
}

void TCustomListView::leaveEvent(QEvent* event)
{
    SetHot(-1);
    QAbstractScrollArea::leaveEvent(event);
}

void TCustomListView::SetHot(int item)
{
    if (item == m_hotItem)
        return;
    const int old = m_hotItem;
    m_hotItem = item;
    RefreshRow(old);
    RefreshRow(item);
    if (m_hoverTimer) {
        killTimer(m_hoverTimer);
        m_hoverTimer = 0;
    }
    if (item >= 0 && m_hotTrack)
        m_hoverTimer = startTimer(std::max(1, m_hoverTimeMs));
}

void TCustomListView::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_hoverTimer && m_hoverTimer) {
        killTimer(m_hoverTimer);
        m_hoverTimer = 0;
        // Hot tracking selects the row the mouse rests on.
        if (m_hotTrack && ValidItem(m_hotItem) && !m_items[m_hotItem].Selected())
            ClickSelect(m_hotItem, Qt::NoModifier);
        return;
    }
    if (event->timerId() == m_editTimer && m_editTimer) {
        killTimer(m_editTimer);
        m_editTimer = 0;
        EditCaption(m_pendingEditItem);
        return;
    }
    QAbstractScrollArea::timerEvent(event);
}

void TCustomListView::keyPressEvent(QKeyEvent* event)
{
    CancelHint();
    if (!m_handleAllocated || m_items.Count() == 0) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const int count = m_items.Count();
    const int focused = FocusedIndex();
    const int current = focused >= 0 ? focused : 0;
    const int page = std::max(1, VisibleRowCount() - 1);
    int target = -1;
    switch (event->key()) {
    case Qt::Key_Up:
        target = focused < 0 ? 0 : std::max(0, current - 1);
        break;
    case Qt::Key_Down:
        target = focused < 0 ? 0 : std::min(count - 1, current + 1);
        break;
    case Qt::Key_PageUp:
        target = std::max(0, current - page);
        break;
    case Qt::Key_PageDown:
        target = std::min(count - 1, current + page);
        break;
    case Qt::Key_Home:
        target = 0;
        break;
    case Qt::Key_End:
        target = count - 1;
        break;
    case Qt::Key_Space:
        if (focused >= 0) {
            if (m_multiSelect && (event->modifiers() & Qt::ControlModifier))
                m_items[focused].SetSelected(!m_items[focused].Selected());
            else if (Checkboxes())
                m_items[focused].SetChecked(!m_items[focused].Checked());
            else
                ClickSelect(focused, Qt::NoModifier);
        }
        return;
    case Qt::Key_F2:
        EditCaption(focused);
        return;
    case Qt::Key_Left:
    case Qt::Key_Right: // report view has no column cursor: the arrows scroll sideways
        ScrollBy(event->key() == Qt::Key_Left ? -horizontalScrollBar()->singleStep()
                                              : horizontalScrollBar()->singleStep(),
            0);
        return;
    default:
        if (TypeAhead(event))
            return;
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    MoveFocusTo(target, event->modifiers());
}

bool TCustomListView::TypeAhead(QKeyEvent* event)
{
    const QString text = event->text();
    if (text.isEmpty() || !text.at(0).isPrint()
        || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    if (!m_typeAheadTimer.isValid() || m_typeAheadTimer.elapsed() > 1000)
        m_typeAhead.clear();
    m_typeAheadTimer.start();
    // Repeating one letter steps through the rows starting with it; more letters refine the match.
    const bool repeat = m_typeAhead.size() == 1 && text.compare(m_typeAhead, Qt::CaseInsensitive) == 0;
    if (!repeat)
        m_typeAhead += text;
    const int count = m_items.Count();
    const int focused = FocusedIndex();
    const int start = focused < 0 ? 0 : (repeat || m_typeAhead.size() == 1 ? focused + 1 : focused);
    for (int n = 0; n < count; ++n) {
        const int i = (start + n) % count;
        if (m_items[i].Caption().startsWith(m_typeAhead, Qt::CaseInsensitive)) {
            MoveFocusTo(i, Qt::NoModifier);
            break;
        }
    }
    return true;
}

bool TCustomListView::viewportEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::ToolTip:
        if (m_handleAllocated) {
            const auto& help = *static_cast<QHelpEvent*>(event);
            // Accepted exactly when a hint shows.
            event->setAccepted((m_toolTips && ShowCellTip(help)) || ShowHint(help));
            return true;
        }
        break;
    case QEvent::Leave:
        // A hint shown over the pointer takes the pointer from the rows on some window systems;
        // the mouse has only left when it is no longer over them.
        if (m_hintWindow->Visible() && viewport()->rect().contains(viewport()->mapFromGlobal(QCursor::pos())))
            break;
        CancelHint();
        MouseLeave();
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
        CancelHint();
        break;
    default:
        break;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

bool TCustomListView::ShowCellTip(const QHelpEvent& help)
{
    int item = -1;
    int column = -1;
    if (SubItemHitTest(TPoint::FromQPoint(help.pos()), item, column)) {
        const QString text = CellText(item, column);
        const TRect label = SubItemRect(item, column);
        const int padding = column == 0 ? kCaptionPadding : kCellPadding;
        if (QFontMetrics(m_font.ToQFont()).horizontalAdvance(text) > label.Width() - 2 * padding) {
            QToolTip::showText(help.globalPos(), text, viewport(), label.ToQRect());
            return true;
        }
    }
    QToolTip::hideText();
    return false;
}

bool TCustomListView::ShowHint(const QHelpEvent& help)
{
    THintRequest request;
    request.cursorPos = TPoint::FromQPoint(help.pos());
    request.hintPos = TPoint { help.globalPos().x(), help.globalPos().y() + kHintCursorGap };
    request.text = toolTip();
    request.font.SetColor(clInfoText);
    const QScreen* screen = QApplication::screenAt(help.globalPos());
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const int frame = THintWindow::RectForContent(0, 0).Width();
    request.maxWidth = std::max(1, available.right() + 1 - request.hintPos.x - frame);
    if (!HintShow(request) || request.text.isEmpty()) {
        CancelHint();
        return false;
    }
    THintWindow& window = *m_hintWindow;
    window.SetFont(request.font);
    window.SetColor(clInfoBk);
    window.SetPainter(request.paint);
    TRect rect = request.paint ? THintWindow::RectForContent(request.contentWidth, request.contentHeight)
                               : window.CalcHintRect(request.maxWidth, request.text);
    rect = rect.Translated(request.hintPos.x, request.hintPos.y);
    // Long hints stay as long as it takes to read them.
    window.ActivateHint(rect, request.text, 10000 + 40 * int(request.text.size()));
    return true;
}

void TCustomListView::CancelHint()
{
    if (m_hintWindow)
        m_hintWindow->ReleaseHint();
}

void TCustomListView::SetRowsCursor(const QCursor& cursor)
{
    viewport()->setCursor(cursor);
}

QCursor TCustomListView::RowsCursor() const
{
    return viewport()->cursor();
}
