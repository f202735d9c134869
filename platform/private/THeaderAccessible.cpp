#include "platform/private/THeaderAccessible.h"

#include "platform/TCustomListView.h"
#include "platform/THeaderControl.h"
#include "platform/private/THeaderSectionAccessible.h"

#include <QLineEdit>

namespace {

// The cache may have deleted an interface already: it empties itself at exit in any order.
void Unregister(QAccessible::Id id)
{
    if (QAccessible::accessibleInterface(id))
        QAccessible::deleteAccessibleInterface(id);
}

} // namespace

THeaderAccessible::THeaderAccessible(THeaderControl* header)
    // A row of column headers, as a table's header row is described on the web and in AT-SPI.
    : QAccessibleWidget(header, QAccessible::Row)
{ }

THeaderAccessible::~THeaderAccessible()
{
    ForgetSections();
}

void THeaderAccessible::ForgetSections() const
{
    for (QAccessible::Id id : std::as_const(m_sections))
        Unregister(id);
    m_sections.clear();
}

THeaderControl* THeaderAccessible::Header() const
{
    return static_cast<THeaderControl*>(widget());
}

TCustomListView* THeaderAccessible::List() const
{
    return qobject_cast<TCustomListView*>(Header()->parentWidget());
}

int THeaderAccessible::SectionCount() const
{
    TCustomListView* list = List();
    return list ? list->Columns().Count() : 0;
}

QWidget* THeaderAccessible::FilterField(int position) const
{
    TCustomListView* list = List();
    if (!list || !(Header()->Style() & HDS_FILTERBAR))
        return nullptr;
    QLineEdit* field = Header()->FilterEdit(list->ColumnAtPosition(position));
    return field;
}

QAccessibleInterface* THeaderAccessible::Section(int position) const
{
    const int count = SectionCount();
    if (position < 0 || position >= count)
        return nullptr;
    if (count != m_sectionCount) {
        ForgetSections();
        m_sectionCount = count;
    }
    auto found = m_sections.constFind(position);
    if (found != m_sections.constEnd())
        return QAccessible::accessibleInterface(*found);
    auto* section = new THeaderSectionAccessible(Header(), position);
    m_sections.insert(position, QAccessible::registerAccessibleInterface(section));
    return section;
}

int THeaderAccessible::childCount() const
{
    const int sections = SectionCount();
    int fields = 0;
    for (int p = 0; p < sections; ++p)
        if (FilterField(p))
            ++fields;
    return sections + fields;
}

QAccessibleInterface* THeaderAccessible::child(int index) const
{
    const int sections = SectionCount();
    if (index < 0)
        return nullptr;
    if (index < sections)
        return Section(index);
    int field = index - sections;
    for (int p = 0; p < sections; ++p) {
        if (QWidget* edit = FilterField(p)) {
            if (field == 0)
                return QAccessible::queryAccessibleInterface(edit);
            --field;
        }
    }
    return nullptr;
}

int THeaderAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    if (!child)
        return -1;
    if (const auto* section = dynamic_cast<const THeaderSectionAccessible*>(child))
        return Section(section->Position()) == child ? section->Position() : -1;
    const int sections = SectionCount();
    int index = sections;
    for (int p = 0; p < sections; ++p) {
        if (QWidget* edit = FilterField(p)) {
            if (child->object() == edit)
                return index;
            ++index;
        }
    }
    return -1;
}

QAccessibleInterface* THeaderAccessible::childAt(int x, int y) const
{
    const int count = childCount();
    for (int i = 0; i < count; ++i) {
        QAccessibleInterface* c = child(i);
        if (c && c->rect().contains(x, y))
            return c;
    }
    return nullptr;
}
