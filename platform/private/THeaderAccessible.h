// THeaderAccessible: the accessible header row of a list view: one column header per column in
// display order, then the filter fields when the filter row is shown.
#pragma once

#include <QAccessibleWidget>
#include <QHash>

class THeaderControl;
class TCustomListView;

class THeaderAccessible : public QAccessibleWidget {
public:
    explicit THeaderAccessible(THeaderControl* header);
    ~THeaderAccessible() override;

    THeaderControl* Header() const;
    TCustomListView* List() const;
    // The column header shown at a display position, or null.
    QAccessibleInterface* Section(int position) const;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

private:
    QWidget* FilterField(int position) const; // null without the filter row
    int SectionCount() const;
    void ForgetSections() const;

    mutable QHash<int, QAccessible::Id> m_sections; // display position -> registered section
    mutable int m_sectionCount = 0; // column count when the cached sections were made
};
