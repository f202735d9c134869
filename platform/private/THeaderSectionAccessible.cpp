#include "platform/private/THeaderSectionAccessible.h"

#include "platform/TCustomListView.h"
#include "platform/THeaderControl.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWindow>

THeaderSectionAccessible::THeaderSectionAccessible(THeaderControl* header, int position)
    : m_header(header)
    , m_position(position)
{ }

namespace {

TCustomListView* ListOf(THeaderControl* header)
{
    return header ? qobject_cast<TCustomListView*>(header->parentWidget()) : nullptr;
}

} // namespace

bool THeaderSectionAccessible::isValid() const
{
    TCustomListView* list = ListOf(m_header);
    return list && m_position >= 0 && m_position < list->Columns().Count();
}

int THeaderSectionAccessible::Column() const
{
    TCustomListView* list = ListOf(m_header);
    return list ? list->ColumnAtPosition(m_position) : -1;
}

QWindow* THeaderSectionAccessible::window() const
{
    return m_header ? m_header->window()->windowHandle() : nullptr;
}

QAccessibleInterface* THeaderSectionAccessible::parent() const
{
    return m_header ? QAccessible::queryAccessibleInterface(m_header.data()) : nullptr;
}

QString THeaderSectionAccessible::text(QAccessible::Text t) const
{
    if (t != QAccessible::Name || !isValid())
        return {};
    return ListOf(m_header)->DisplayText(-1, Column());
}

QRect THeaderSectionAccessible::LocalRect() const
{
    if (!isValid())
        return {};
    const TRect r = m_header->SectionRect(Column());
    if (r.right <= r.left)
        return {};
    // Section rectangles are in header content coordinates, which scroll with the rows.
    const int offset = ListOf(m_header)->HorizontalOffset();
    return QRect(QPoint(r.left - offset, 0), QPoint(r.right - offset - 1, m_header->CaptionHeight() - 1));
}

QRect THeaderSectionAccessible::rect() const
{
    const QRect local = LocalRect();
    if (local.isEmpty())
        return {};
    return QRect(m_header->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::State THeaderSectionAccessible::state() const
{
    QAccessible::State s;
    if (!isValid()) {
        s.invalid = true;
        return s;
    }
    const QRect local = LocalRect();
    if (!m_header->isVisible() || local.isEmpty() || !m_header->rect().intersects(local)) {
        s.invisible = true;
        s.offscreen = true;
    }
    return s;
}

void* THeaderSectionAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ActionInterface)
        return static_cast<QAccessibleActionInterface*>(this);
    return nullptr;
}

QStringList THeaderSectionAccessible::actionNames() const
{
    if (!isValid() || !(m_header->Style() & HDS_BUTTONS))
        return {};
    return { pressAction() };
}

void THeaderSectionAccessible::doAction(const QString& actionName)
{
    if (actionName != pressAction() || !actionNames().contains(actionName))
        return;
    // The same press and release a mouse makes, so the header runs its usual click handling.
    const QRect local = LocalRect();
    if (local.isEmpty())
        return;
    const QPointF point = QRectF(local).center();
    const QPointF global = m_header->mapToGlobal(point);
    QMouseEvent press(
        QEvent::MouseButtonPress, point, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_header.data(), &press);
    QMouseEvent release(
        QEvent::MouseButtonRelease, point, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_header.data(), &release);
}
