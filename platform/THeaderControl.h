// THeaderControl: the column header of a report list view, with section formats, images,
// divider tracking, drag reordering and an optional filter row of line edits.
#pragma once

#include "platform/TTypes.h"

#include <QFont>
#include <QImage>
#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

class QLineEdit;
class QTimer;
class TCustomListView;
class TImageList;
class TListColumn;

// Section format flags.
enum THeaderFormatFlag : unsigned {
    HDF_LEFT = 0x0,
    HDF_RIGHT = 0x1,
    HDF_CENTER = 0x2,
    HDF_JUSTIFYMASK = 0x3,
    HDF_IMAGE = 0x0800,
    HDF_BITMAP_ON_RIGHT = 0x1000,
    HDF_BITMAP = 0x2000,
    HDF_STRING = 0x4000,
    HDF_OWNERDRAW = 0x8000,
};

// Header window styles.
enum THeaderStyleFlag : unsigned { HDS_BUTTONS = 0x2, HDS_HOTTRACK = 0x4, HDS_FILTERBAR = 0x100 };

// Sections are the list's columns: a section index is a column index, shown at the display
// position the list's column order gives it. Section rectangles and hit tests use header content
// coordinates (the header's own pixels plus the list's horizontal scroll offset), so that they
// stay put while the list scrolls sideways.
class THeaderControl : public QWidget {
    Q_OBJECT
public:
    explicit THeaderControl(TCustomListView* list);
    ~THeaderControl() override;

    // The section format bits (HDF_LEFT, HDF_RIGHT, HDF_CENTER) of a column alignment.
    static unsigned AlignmentFormat(TAlignment alignment);

    unsigned Format(int section) const; // 0 when out of range
    void SetFormat(int section, unsigned fmt);
    QImage Bitmap(int section) const;
    void SetBitmap(int section, const QImage& bitmap); // shown with HDF_BITMAP
    int ImageIndex(int section) const; // -1 = none
    void SetImageIndex(int section, int image); // shown with HDF_IMAGE
    void SetImageList(TImageList* images); // not owned; cleared when destroyed
    TImageList* ImageList() const { return m_images; }

    unsigned Style() const { return m_style; }
    void SetStyle(unsigned style);

    void SetHeaderFont(const QFont& font); // the height follows it
    QFont HeaderFont() const { return m_font; }
    void ResetHeaderFont(); // back to the list's own font
    int Height() const; // caption row (+ filter row with HDS_FILTERBAR), pixels
    int CaptionHeight() const; // the caption row alone, pixels

    int HitTest(TPoint p) const; // section under a content point, or -1 (also -1 without a window)
    TRect SectionRect(int section) const; // content coordinates; empty without a window or out of range

    // Filter row: one field per section.
    QString FilterText(int section) const;
    void SetFilterText(int section, const QString& text); // does not raise a filter change
    int FilterNumber(int section, bool* ok = nullptr) const;
    bool FilterNumeric(int section) const;
    void SetFilterNumeric(int section, bool numeric); // the field then takes digits only
    int FilterTimeOut() const { return m_filterTimeOutMs; }
    void SetFilterTimeOut(int ms);
    QLineEdit* FilterEdit(int section) const; // the field widget, or null until its section first shows
    TRect FilterButtonRect(int section) const; // content coordinates; empty without the filter row

    int HotSection() const { return m_hotSection; } // section under the mouse with HDS_HOTTRACK

    // Re-reads the list's font and the columns' alignments and lays the filter fields out again.
    void SyncSections();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class TCustomListView;
    enum class State { Idle, Pressing, TrackingDivider, DraggingSection };
    struct Section {
        const TListColumn* column = nullptr;
        unsigned format = HDF_STRING;
        int alignment = 0; // the column alignment the format last followed
        QImage bitmap;
        int image = -1;
        bool numeric = false;
        QString filterText;
        QLineEdit* filter = nullptr;
    };

    // The list keeps the sections in step with its columns, one change at a time.
    void InsertSection(int section); // a new column stands at `section`
    void RemoveSection(int section); // the column at `section` is gone
    void ClearSections();
    void SectionChanged(int section); // the column's alignment may have changed

    int Offset() const; // the list's horizontal scroll, pixels
    int DividerAt(int contentX) const; // section whose right edge is near x, or -1
    int PositionAtX(int contentX) const; // display position a dragged section would drop at
    void PaintSection(QPainter& painter, int section, const TRect& rect);
    void PaintFilterButton(QPainter& painter, const TRect& sectionRect); // content coordinates
    TRect ButtonRectIn(const TRect& sectionRect) const;
    void LayoutFilters(); // walks the sections once; fields are made for sections on screen only
    void ScheduleFilterLayout(); // LayoutFilters once the current event is handled
    QLineEdit* MakeFilterEdit(Section& section);
    void FilterEdited(const TListColumn* column);
    int ColumnCount() const;
    void FireFilterChanges();
    void FollowAlignment(Section& section, const TListColumn& column);
    bool Valid(int section) const { return section >= 0 && section < int(m_sections.size()); }

    TCustomListView* m_list;
    std::vector<std::unique_ptr<Section>> m_sections; // by column index
    bool m_filtersShown = false; // the filter row was laid out as shown
    bool m_filterLayoutPosted = false;
    TImageList* m_images = nullptr;
    int m_imagesLink = 0;
    unsigned m_style = HDS_BUTTONS;
    QFont m_font;
    bool m_ownFont = false;
    int m_filterTimeOutMs = 1000;
    QTimer* m_filterTimer = nullptr;
    std::vector<const TListColumn*> m_pendingFilters; // edited fields waiting for the time-out

    State m_state = State::Idle;
    int m_activeSection = -1; // pressed, tracked or dragged section
    int m_pressX = 0; // content x at the press
    int m_trackStartWidth = 0; // width of the tracked section at the press
    int m_dragX = 0; // current content x while dragging a section
    int m_hotSection = -1;
};
