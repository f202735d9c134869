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

int TRadioGroup::RowCount() const
{
    return (int(m_buttons.size()) + m_columns - 1) / m_columns;
}

QSize TRadioGroup::ItemSize() const
{
    QSize size;
    for (const QRadioButton* button : m_buttons)
        size = size.expandedTo(button->sizeHint());
    return size;
}

QSize TRadioGroup::minimumSizeHint() const
{
    const QSize title = QGroupBox::minimumSizeHint();
    if (m_buttons.empty())
        return title;
    const QMargins margins = contentsMargins(); // the frame and title as the style draws them
    const QSize item = ItemSize();
    const int rows = RowCount();
    const int width = margins.left() + margins.right() + 2 * kItemIndent + m_columns * item.width();
    const int height = margins.top() + margins.bottom() + rows * item.height() + (rows - 1);
    return title.expandedTo(QSize(width, height));
}

// Items fill the contents below the title in equal columns, rows top to bottom; a layout would
// not keep the designed column positions.
void TRadioGroup::resizeEvent(QResizeEvent* event)
{
    QGroupBox::resizeEvent(event);
    const int count = int(m_buttons.size());
    if (count == 0)
        return;
    const QRect contents = contentsRect();
    const int rows = RowCount();
    const int left = contents.left() + kItemIndent;
    const int columnWidth = (contents.width() - 2 * kItemIndent) / m_columns;
    const int rowHeight = qMax(1, contents.height() / rows);
    for (int i = 0; i < count; ++i) {
        QRadioButton* button = m_buttons[size_t(i)];
        const int h = qMin(rowHeight, button->sizeHint().height());
        const int w = qMin(columnWidth, button->sizeHint().width());
        button->setGeometry(left + (i % m_columns) * columnWidth,
            contents.top() + (i / m_columns) * rowHeight + (rowHeight - h) / 2, w, h);
    }
}
