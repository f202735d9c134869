#include "app/TRadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QResizeEvent>

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(caption, parent)
{
    m_columns = qMax(1, columns);
    auto* group = new QButtonGroup(this);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        group->addButton(button, i);
        m_buttons.push_back(button);
    }
    connect(group, &QButtonGroup::idClicked, this, [this](int) {
        if (OnClick)
            OnClick();
    });
}

int TRadioGroup::ItemIndex() const
{
    for (int i = 0; i < int(m_buttons.size()); ++i)
        if (m_buttons[size_t(i)]->isChecked())
            return i;
    return -1;
}

void TRadioGroup::SetItemIndex(int index)
{
    if (index >= 0 && index < int(m_buttons.size()))
        m_buttons[size_t(index)]->setChecked(true);
}

QRadioButton* TRadioGroup::Button(int index) const
{
    return index >= 0 && index < int(m_buttons.size()) ? m_buttons[size_t(index)] : nullptr;
}

// Items fill the space under the caption in equal columns, rows top to bottom; a layout would
// refuse the low group boxes the window is laid out with.
void TRadioGroup::resizeEvent(QResizeEvent* event)
{
    QGroupBox::resizeEvent(event);
    const int count = int(m_buttons.size());
    if (count == 0)
        return;
    const int rows = (count + m_columns - 1) / m_columns;
    const int top = fontMetrics().height() + 1;
    const int left = 8;
    const int columnWidth = (width() - 2 * left) / m_columns;
    const int rowHeight = qMax(1, (height() - top - 2) / rows);
    for (int i = 0; i < count; ++i) {
        QRadioButton* button = m_buttons[size_t(i)];
        const int h = qMin(rowHeight, button->sizeHint().height());
        button->setGeometry(left + (i % m_columns) * columnWidth,
            top + (i / m_columns) * rowHeight + (rowHeight - h) / 2, columnWidth, h);
    }
}
