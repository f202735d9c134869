#include "platform/THeaderControl.h"

#include "platform/TColor.h"
#include "platform/TCustomListView.h"
#include "platform/TImageList.h"

#include <QApplication>
#include <QIntValidator>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>

namespace {

constexpr int kDividerGrip = 4; // pixels either side of a section edge that grab the divider
constexpr int kFilterButton = 14; // width of the filter button at the right of a filter field
constexpr int kContentInset = 4; // horizontal space between a section edge and its content

unsigned AlignmentBits(TAlignment alignment)
{
    switch (alignment) {
    case taRightJustify:
        return HDF_RIGHT;
    case taCenter:
        return HDF_CENTER;
    default:
        return HDF_LEFT;
    }
}

} // namespace

unsigned THeaderControl::AlignmentFormat(TAlignment alignment)
{
    return AlignmentBits(alignment);
}

THeaderControl::THeaderControl(TCustomListView* list)
    : QWidget(list)
    , m_list(list)
    , m_font(list->font())
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_filterTimer = new QTimer(this);
    m_filterTimer->setSingleShot(true);
    connect(m_filterTimer, &QTimer::timeout, this, [this] { FireFilterChanges(); });
}

THeaderControl::~THeaderControl()
{
    if (m_images)
        m_images->UnregisterChangeLink(m_imagesLink);
}

int THeaderControl::ColumnCount() const
{
    return m_list->Columns().Count();
}

int THeaderControl::Offset() const
{
    return m_list->HorizontalOffset();
}

// ---- sections ---------------------------------------------------------------------------------

void THeaderControl::FollowAlignment(Section& section, const TListColumn& column)
{
    if (section.alignment == int(column.Alignment()))
        return;
    section.format = (section.format & ~unsigned(HDF_JUSTIFYMASK)) | AlignmentBits(column.Alignment());
    section.alignment = int(column.Alignment());
}

void THeaderControl::InsertSection(int section)
{
    const TListColumn& column = m_list->Columns()[section];
    auto s = std::make_unique<Section>();
    s->column = &column;
    s->alignment = int(column.Alignment());
    s->format = HDF_STRING | AlignmentBits(column.Alignment());
    if (column.ImageIndex() >= 0) {
        s->format |= HDF_IMAGE;
        s->image = column.ImageIndex();
    }
    m_sections.insert(m_sections.begin() + section, std::move(s));
}

void THeaderControl::RemoveSection(int section)
{
    if (!Valid(section))
        return;
    const Section& gone = *m_sections[size_t(section)];
    std::erase(m_pendingFilters, gone.column);
    delete gone.filter;
    m_sections.erase(m_sections.begin() + section);
    // A press, drag or divider track on a section that moved or went is over.
    if (m_activeSection >= section) {
        m_state = State::Idle;
        m_activeSection = -1;
    }
    if (m_hotSection >= section)
        m_hotSection = -1;
}

void THeaderControl::ClearSections()
{
    for (const auto& s : m_sections)
        delete s->filter;
    m_sections.clear();
    m_pendingFilters.clear();
    m_state = State::Idle;
    m_activeSection = -1;
    m_hotSection = -1;
}

void THeaderControl::SectionChanged(int section)
{
    if (Valid(section))
        FollowAlignment(*m_sections[size_t(section)], m_list->Columns()[section]);
}

void THeaderControl::SyncSections()
{
    const TListColumns& columns = m_list->Columns();
    for (int c = 0; c < int(m_sections.size()) && c < columns.Count(); ++c)
        FollowAlignment(*m_sections[size_t(c)], columns[c]);
    if (!m_ownFont && m_font != m_list->font()) {
        m_font = m_list->font();
        for (const auto& s : m_sections)
            if (s->filter)
                s->filter->setFont(m_font);
    }
    LayoutFilters();
    update();
}

unsigned THeaderControl::Format(int section) const
{
    return Valid(section) ? m_sections[size_t(section)]->format : 0;
}

void THeaderControl::SetFormat(int section, unsigned fmt)
{
    if (!Valid(section))
        return;
    m_sections[size_t(section)]->format = fmt;
    update();
}

QImage THeaderControl::Bitmap(int section) const
{
    return Valid(section) ? m_sections[size_t(section)]->bitmap : QImage();
}

void THeaderControl::SetBitmap(int section, const QImage& bitmap)
{
    if (!Valid(section))
        return;
    m_sections[size_t(section)]->bitmap = bitmap;
    update();
}

int THeaderControl::ImageIndex(int section) const
{
    return Valid(section) ? m_sections[size_t(section)]->image : -1;
}

void THeaderControl::SetImageIndex(int section, int image)
{
    if (!Valid(section))
        return;
    m_sections[size_t(section)]->image = image;
    update();
}

void THeaderControl::SetImageList(TImageList* images)
{
    if (images == m_images)
        return;
    if (m_images)
        m_images->UnregisterChangeLink(m_imagesLink);
    m_images = images;
    m_imagesLink = 0;
    if (images)
        m_imagesLink = images->RegisterChangeLink([this] { update(); },
            [this] {
                m_images = nullptr;
                m_imagesLink = 0;
                update();
            });
    update();
}

void THeaderControl::SetStyle(unsigned style)
{
    if (style == m_style)
        return;
    const bool filterChanged = (style ^ m_style) & HDS_FILTERBAR;
    m_style = style;
    if (!(style & HDS_HOTTRACK))
        m_hotSection = -1;
    if (filterChanged)
        m_list->UpdateLayout();
    else
        update();
}

void THeaderControl::SetHeaderFont(const QFont& font)
{
    m_font = font;
    m_ownFont = true;
    for (const auto& s : m_sections)
        if (s->filter)
            s->filter->setFont(font);
    m_list->UpdateLayout();
}

void THeaderControl::ResetHeaderFont()
{
    m_ownFont = false;
    m_font = m_list->font();
    m_list->UpdateLayout();
}

int THeaderControl::CaptionHeight() const
{
    return QFontMetrics(m_font).height() + 6;
}

int THeaderControl::Height() const
{
    int height = CaptionHeight();
    if (m_style & HDS_FILTERBAR)
        height += QFontMetrics(m_font).height() + 8;
    return height;
}

TRect THeaderControl::SectionRect(int section) const
{
    if (!m_list->HandleAllocated() || !Valid(section))
        return {};
    int left = 0;
    const int count = ColumnCount();
    for (int p = 0; p < count; ++p) {
        const int column = m_list->ColumnAtPosition(p);
        const int width = m_list->Columns()[column].Width();
        if (column == section)
            return TRect { left, 0, left + width, Height() };
        left += width;
    }
    return {};
}

int THeaderControl::HitTest(TPoint p) const
{
    if (!m_list->HandleAllocated() || p.y < 0 || p.y >= Height() || p.x < 0)
        return -1;
    int left = 0;
    const int count = ColumnCount();
    for (int pos = 0; pos < count; ++pos) {
        const int column = m_list->ColumnAtPosition(pos);
        const int width = m_list->Columns()[column].Width();
        if (p.x >= left && p.x < left + width)
            return column;
        left += width;
    }
    return -1;
}

int THeaderControl::DividerAt(int contentX) const
{
    int best = -1;
    int bestDistance = kDividerGrip + 1;
    int right = 0;
    const int count = ColumnCount();
    for (int pos = 0; pos < count; ++pos) {
        const int column = m_list->ColumnAtPosition(pos);
        right += m_list->Columns()[column].Width();
        const int distance = std::abs(contentX - right);
        // Ties go to the later section so that a zero-width column can be pulled open again.
        if (distance <= bestDistance) {
            best = column;
            bestDistance = distance;
        }
    }
    return best;
}

int THeaderControl::PositionAtX(int contentX) const
{
    const int count = ColumnCount();
    int left = 0;
    for (int pos = 0; pos < count; ++pos) {
        left += m_list->Columns()[m_list->ColumnAtPosition(pos)].Width();
        if (contentX < left)
            return pos;
    }
    return std::max(0, count - 1);
}

// ---- filter row -------------------------------------------------------------------------------

QLineEdit* THeaderControl::FilterEdit(int section) const
{
    return Valid(section) ? m_sections[size_t(section)]->filter : nullptr;
}

QString THeaderControl::FilterText(int section) const
{
    return Valid(section) ? m_sections[size_t(section)]->filterText : QString();
}

void THeaderControl::SetFilterText(int section, const QString& text)
{
    if (!Valid(section))
        return;
    Section& s = *m_sections[size_t(section)];
    s.filterText = text;
    if (s.filter && s.filter->text() != text)
        s.filter->setText(text);
}

int THeaderControl::FilterNumber(int section, bool* ok) const
{
    bool valid = false;
    const int value = FilterText(section).trimmed().toInt(&valid);
    if (ok)
        *ok = valid;
    return valid ? value : 0;
}

bool THeaderControl::FilterNumeric(int section) const
{
    return Valid(section) && m_sections[size_t(section)]->numeric;
}

void THeaderControl::SetFilterNumeric(int section, bool numeric)
{
    if (!Valid(section))
        return;
    Section& s = *m_sections[size_t(section)];
    s.numeric = numeric;
    if (s.filter)
        s.filter->setValidator(numeric ? new QIntValidator(s.filter) : nullptr);
}

void THeaderControl::SetFilterTimeOut(int ms)
{
    m_filterTimeOutMs = std::max(0, ms);
}

TRect THeaderControl::ButtonRectIn(const TRect& r) const
{
    return TRect { std::max(r.left, r.right - kFilterButton - 1), CaptionHeight(), r.right - 1,
        Height() - 1 };
}

TRect THeaderControl::FilterButtonRect(int section) const
{
    if (!(m_style & HDS_FILTERBAR))
        return {};
    const TRect r = SectionRect(section);
    if (r.IsEmpty())
        return {};
    return ButtonRectIn(r);
}

void THeaderControl::ScheduleFilterLayout()
{
    const bool show = (m_style & HDS_FILTERBAR) && m_list->HandleAllocated() && m_list->ShowColumnHeaders();
    if ((!show && !m_filtersShown) || m_filterLayoutPosted)
        return;
    // Column changes outside an update bracket come one by one; their fields move once.
    m_filterLayoutPosted = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_filterLayoutPosted)
                LayoutFilters();
        },
        Qt::QueuedConnection);
}

QLineEdit* THeaderControl::MakeFilterEdit(Section& s)
{
    auto* edit = new QLineEdit(this);
    edit->setFont(m_font);
    edit->setFrame(false);
    edit->setText(s.filterText);
    if (s.numeric)
        edit->setValidator(new QIntValidator(edit));
    const TListColumn* column = s.column;
    connect(edit, &QLineEdit::textEdited, this, [this, column] { FilterEdited(column); });
    // Enter does not wait for the time-out.
    connect(edit, &QLineEdit::returnPressed, this, [this] {
        m_filterTimer->stop();
        FireFilterChanges();
    });
    s.filter = edit;
    return edit;
}

void THeaderControl::LayoutFilters()
{
    m_filterLayoutPosted = false;
    const bool show = (m_style & HDS_FILTERBAR) && m_list->HandleAllocated() && m_list->ShowColumnHeaders();
    if (!show && !m_filtersShown)
        return; // nothing placed, nothing to hide
    m_filtersShown = show;
    const int offset = Offset();
    const TListColumns& columns = m_list->Columns();
    const int count = std::min(ColumnCount(), int(m_sections.size()));
    int left = 0;
    for (int pos = 0; pos < count; ++pos) {
        const int c = m_list->ColumnAtPosition(pos);
        const int w = columns[c].Width();
        const TRect r { left - offset, 0, left - offset + w, Height() };
        left += w;
        Section& s = *m_sections[size_t(c)];
        const bool onScreen = show && r.right > 0 && r.left < width() && r.Width() > kFilterButton + 4;
        if (!onScreen) {
            if (s.filter)
                s.filter->hide();
            continue;
        }
        QLineEdit* edit = s.filter ? s.filter : MakeFilterEdit(s);
        edit->setGeometry(
            r.left + 2, CaptionHeight() + 1, r.Width() - kFilterButton - 5, Height() - CaptionHeight() - 3);
        edit->show();
    }
}

void THeaderControl::FilterEdited(const TListColumn* column)
{
    for (const auto& s : m_sections)
        if (s->column == column && s->filter)
            s->filterText = s->filter->text();
    if (std::find(m_pendingFilters.begin(), m_pendingFilters.end(), column) == m_pendingFilters.end())
        m_pendingFilters.push_back(column);
    m_filterTimer->start(m_filterTimeOutMs);
}

void THeaderControl::FireFilterChanges()
{
    const std::vector<const TListColumn*> pending = std::move(m_pendingFilters);
    m_pendingFilters.clear();
    for (const TListColumn* column : pending) {
        for (size_t c = 0; c < m_sections.size(); ++c)
            if (m_sections[c]->column == column) {
                m_list->FilterChange(int(c));
                break;
            }
    }
}

// ---- painting ---------------------------------------------------------------------------------

void THeaderControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(clBtnFace));
    const int offset = Offset();
    const int captionHeight = CaptionHeight();
    const TListColumns& columns = m_list->Columns();
    const int count = std::min(ColumnCount(), int(m_sections.size()));
    // One walk over the display positions; sections left of the view are only counted.
    int left = 0;
    for (int pos = 0; pos < count; ++pos) {
        const int section = m_list->ColumnAtPosition(pos);
        const int w = columns[section].Width();
        const TRect content { left, 0, left + w, Height() };
        left += w;
        TRect r = content.Translated(-offset, 0);
        if (r.right <= 0)
            continue;
        if (r.left >= width())
            break;
        r.bottom = captionHeight;
        painter.save();
        painter.setClipRect(r.ToQRect());
        if (m_sections[size_t(section)]->format & HDF_OWNERDRAW)
            m_list->HeaderDrawSection(painter, section, r);
        else
            PaintSection(painter, section, r);
        painter.restore();
        if (m_style & HDS_FILTERBAR)
            PaintFilterButton(painter, content);
    }
    if (m_state == State::DraggingSection && Valid(m_activeSection)) {
        // The dragged section follows the mouse; a bar marks where it will land.
        const TRect from = SectionRect(m_activeSection);
        const int target = m_list->ColumnAtPosition(PositionAtX(m_dragX));
        const TRect to = SectionRect(target);
        const bool right = m_list->PositionOfColumn(target) > m_list->PositionOfColumn(m_activeSection);
        const int barX = (right ? to.right : to.left) - offset;
        painter.fillRect(QRect(barX - 1, 0, 3, captionHeight), ToQColor(clHighlight));
        QColor ghost = ToQColor(clHighlight);
        ghost.setAlpha(70);
        painter.fillRect(
            QRect(from.left - offset + (m_dragX - m_pressX), 0, from.Width(), captionHeight), ghost);
    }
}

void THeaderControl::PaintSection(QPainter& painter, int section, const TRect& rect)
{
    const Section& s = *m_sections[size_t(section)];
    const QRect r = rect.ToQRect();
    const bool pressed = m_state == State::Pressing && m_activeSection == section && (m_style & HDS_BUTTONS);
    const bool hot = (m_style & HDS_HOTTRACK) && m_hotSection == section && m_state == State::Idle;
    QColor face = ToQColor(clBtnFace);
    if (pressed)
        face = face.darker(115);
    else if (hot)
        face = face.lighter(110);
    painter.fillRect(r, face);
    if (m_style & HDS_BUTTONS) {
        painter.setPen(ToQColor(pressed ? clBtnShadow : clBtnHighlight));
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(ToQColor(pressed ? clBtnHighlight : clBtnShadow));
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    } else {
        painter.setPen(ToQColor(clBtnShadow));
        painter.drawLine(r.right(), r.top() + 2, r.right(), r.bottom() - 2);
    }
    if (hot) {
        painter.setPen(ToQColor(clHighlight));
        painter.drawLine(r.left(), r.bottom() - 1, r.right(), r.bottom() - 1);
    }

    QRect content = r.adjusted(kContentInset, 1, -kContentInset, -1);
    if (pressed)
        content.translate(1, 1);
    QImage picture;
    if ((s.format & HDF_BITMAP) && !s.bitmap.isNull())
        picture = s.bitmap;
    else if ((s.format & HDF_IMAGE) && m_images && s.image >= 0)
        picture = m_images->Image(s.image);
    if (!picture.isNull()) {
        const int y = content.top() + std::max(0, (content.height() - picture.height()) / 2);
        if (s.format & HDF_BITMAP_ON_RIGHT) {
            painter.drawImage(content.right() + 1 - picture.width(), y, picture);
            content.setRight(content.right() - picture.width() - 2);
        } else {
            painter.drawImage(content.left(), y, picture);
            content.setLeft(content.left() + picture.width() + 2);
        }
    }
    if ((s.format & HDF_STRING) && Valid(section)) {
        Qt::Alignment align = Qt::AlignLeft;
        if ((s.format & HDF_JUSTIFYMASK) == HDF_RIGHT)
            align = Qt::AlignRight;
        else if ((s.format & HDF_JUSTIFYMASK) == HDF_CENTER)
            align = Qt::AlignHCenter;
        painter.setFont(m_font);
        painter.setPen(ToQColor(clBtnText));
        const QString caption = m_list->Columns()[section].Caption();
        const QString shown
            = QFontMetrics(m_font).elidedText(caption, Qt::ElideRight, std::max(0, content.width()));
        painter.drawText(content, int(align | Qt::AlignVCenter) | Qt::TextSingleLine, shown);
    }
}

void THeaderControl::PaintFilterButton(QPainter& painter, const TRect& sectionRect)
{
    const TRect b = ButtonRectIn(sectionRect).Translated(-Offset(), 0);
    if (b.IsEmpty())
        return;
    const QRect r = b.ToQRect();
    painter.fillRect(r, ToQColor(clBtnFace));
    painter.setPen(ToQColor(clBtnShadow));
    painter.drawRect(r.adjusted(0, 0, -1, -1));
    // A small funnel.
    const int cx = r.center().x();
    const int cy = r.center().y();
    painter.setPen(ToQColor(clBtnText));
    for (int i = 0; i < 4; ++i)
        painter.drawLine(cx - 4 + i, cy - 3 + i, cx + 4 - i, cy - 3 + i);
    painter.drawLine(cx, cy + 1, cx, cy + 3);
    // The field's own background under the caption row.
    const TRect section_ = sectionRect.Translated(-Offset(), 0);
    painter.setPen(ToQColor(clBtnShadow));
    painter.drawLine(section_.left, CaptionHeight(), section_.right - 1, CaptionHeight());
}

// ---- mouse ------------------------------------------------------------------------------------

void THeaderControl::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const TPoint p { pos.x() + Offset(), pos.y() };
    if (event->button() == Qt::RightButton) {
        m_list->HeaderRClick(p);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    if (p.y >= CaptionHeight()) {
        const int section = HitTest(p);
        if (section >= 0 && FilterButtonRect(section).Contains(p))
            m_list->FilterBtnClick(section);
        return;
    }
    const int divider = DividerAt(p.x);
    if (divider >= 0) {
        if (!m_list->HeaderBeginTrack(divider))
            return;
        m_state = State::TrackingDivider;
        m_activeSection = divider;
        m_pressX = p.x;
        m_trackStartWidth = m_list->Columns()[divider].Width();
        return;
    }
    const int section = HitTest(p);
    if (section < 0)
        return;
    m_state = State::Pressing;
    m_activeSection = section;
    m_pressX = p.x;
    update();
}

void THeaderControl::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const int x = pos.x() + Offset();
    switch (m_state) {
    case State::TrackingDivider: {
        TListColumn* column = m_list->Columns().Column(m_activeSection);
        if (!column)
            break;
        const int width = std::max(0, m_trackStartWidth + x - m_pressX);
        if (width != column->Width()) {
            column->SetWidth(width);
            m_list->HeaderItemChanged(m_activeSection);
        }
        break;
    }
    case State::Pressing:
        if ((m_list->ExtendedStyle() & LVS_EX_HEADERDRAGDROP)
            && std::abs(x - m_pressX) >= QApplication::startDragDistance()) {
            m_state = State::DraggingSection;
            m_dragX = x;
            update();
        }
        break;
    case State::DraggingSection:
        m_dragX = x;
        update();
        break;
    case State::Idle: {
        const bool onDivider = pos.y() < CaptionHeight() && DividerAt(x) >= 0;
        setCursor(onDivider ? Qt::SplitHCursor : Qt::ArrowCursor);
        const int hot = (m_style & HDS_HOTTRACK) && pos.y() < CaptionHeight() ? HitTest({ x, pos.y() }) : -1;
        if (hot != m_hotSection) {
            m_hotSection = hot;
            update();
        }
        break;
    }
    }
}

void THeaderControl::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const int x = pos.x() + Offset();
    const State state = m_state;
    const int section = m_activeSection;
    m_state = State::Idle;
    m_activeSection = -1;
    switch (state) {
    case State::TrackingDivider:
        if (Valid(section))
            m_list->HeaderEndTrack(section);
        break;
    case State::Pressing:
        update();
        if (HitTest({ x, pos.y() }) == section)
            m_list->ColumnClick(section);
        break;
    case State::DraggingSection: {
        std::vector<int> order = m_list->ColumnOrder();
        const int from = m_list->PositionOfColumn(section);
        const int to = PositionAtX(x);
        if (from >= 0 && to != from) {
            order.erase(order.begin() + from);
            order.insert(order.begin() + to, section);
            m_list->SetColumnOrder(order);
        }
        update();
        break;
    }
    case State::Idle:
        break;
    }
}

void THeaderControl::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton && pos.y() < CaptionHeight()) {
        const int divider = DividerAt(pos.x() + Offset());
        if (divider >= 0) {
            m_list->HeaderDividerDblClick(divider);
            return;
        }
    }
    // A quick second click on a section is still a click.
    mousePressEvent(event);
}

void THeaderControl::leaveEvent(QEvent* event)
{
    if (m_hotSection != -1) {
        m_hotSection = -1;
        update();
    }
    QWidget::leaveEvent(event);
}

void THeaderControl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayoutFilters();
}
