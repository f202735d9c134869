// THeaderSectionAccessible: one column header of a list view. Its text is the caption as the
// header shows it; pressing it clicks the section (which sorts a sortable list).
#pragma once

#include <QAccessibleInterface>
#include <QPointer>

class THeaderControl;

class THeaderSectionAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    THeaderSectionAccessible(THeaderControl* header, int position);

    // QAccessibleInterface
    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override { }
    QRect rect() const override; // screen pixels
    QAccessible::Role role() const override { return QAccessible::ColumnHeader; }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleActionInterface
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    int Position() const { return m_position; }

private:
    int Column() const; // column index shown at the section's position
    QRect LocalRect() const; // header widget pixels

    QPointer<THeaderControl> m_header;
    int m_position;
};
