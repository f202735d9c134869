#include "printing/private/TPaintBox.h"

TPaintBox::TPaintBox(std::function<void(QWidget& box)> onPaint, QWidget* parent)
    : QWidget(parent)
    , m_onPaint(std::move(onPaint))
{ }

void TPaintBox::paintEvent(QPaintEvent* /*event*/)
{
    if (m_onPaint)
        m_onPaint(*this);
}
