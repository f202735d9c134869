// TPrintsettings: page layout settings of a list's printout (sizes in 0.1 mm, y up).
#pragma once

#include "platform/TBrush.h"
#include "platform/TFont.h"
#include "platform/TPrinter.h"

#include <QString>

// Header and footer slot of a printed item (time, date, page number, title).
enum TPrintPosition : unsigned char {
    ppNone,
    ppTopLeft,
    ppTopRight,
    ppTopCenter,
    ppBottomLeft,
    ppBottomRight,
    ppBottomCenter,
};

// Horizontal scaling of the columns to the page.
enum TFitToPage : unsigned char { fpNever, fpGrow, fpShrink, fpAlways, fpCustom };

// Which grid lines are printed.
enum TPrintBorders : unsigned char { pbNoborder, pbSingle, pbDouble, pbVertical, pbHorizontal };

class TPrintsettings {
public:
    TPrintsettings();
    TPrintsettings(const TPrintsettings&) = delete;
    TPrintsettings& operator=(const TPrintsettings&) = delete;

    // Copies every setting (fonts by value).
    void Assign(const TPrintsettings& other);

    int FooterSize() const { return m_footerSize; } // 0.1 mm
    void SetFooterSize(int v) { m_footerSize = v; }
    int HeaderSize() const { return m_headerSize; } // 0.1 mm
    void SetHeaderSize(int v) { m_headerSize = v; }
    TPrintPosition Time() const { return m_time; }
    void SetTime(TPrintPosition v) { m_time = v; }
    TPrintPosition Date() const { return m_date; }
    void SetDate(TPrintPosition v) { m_date = v; }
    QString DateFormat() const { return m_dateFormat; }
    void SetDateFormat(const QString& v) { m_dateFormat = v; }
    TPrintPosition PageNr() const { return m_pageNr; }
    void SetPageNr(TPrintPosition v) { m_pageNr = v; }
    TPrintPosition Title() const { return m_title; }
    void SetTitle(TPrintPosition v) { m_title = v; }
    QString TitleText() const { return m_titleText; }
    void SetTitleText(const QString& v) { m_titleText = v; }

    // The fonts are owned; assigning copies the description into the owned instance.
    TFont& Font() { return m_font; }
    const TFont& Font() const { return m_font; }
    void SetFont(const TFont& f) { m_font.Assign(f); }
    TFont& HeaderFont() { return m_headerFont; }
    const TFont& HeaderFont() const { return m_headerFont; }
    void SetHeaderFont(const TFont& f) { m_headerFont.Assign(f); }
    TFont& FooterFont() { return m_footerFont; }
    const TFont& FooterFont() const { return m_footerFont; }
    void SetFooterFont(const TFont& f) { m_footerFont.Assign(f); }

    TPrintBorders Borders() const { return m_borders; }
    void SetBorders(TPrintBorders v) { m_borders = v; }
    TPenStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TPenStyle v) { m_borderStyle = v; }
    bool Centered() const { return m_centered; }
    void SetCentered(bool v) { m_centered = v; }
    bool RepeatHeaders() const { return m_repeatHeaders; }
    void SetRepeatHeaders(bool v) { m_repeatHeaders = v; }
    int LeftSize() const { return m_leftSize; } // 0.1 mm
    void SetLeftSize(int v) { m_leftSize = v; }
    int RightSize() const { return m_rightSize; } // 0.1 mm
    void SetRightSize(int v) { m_rightSize = v; }
    int ColumnSpacing() const { return m_columnSpacing; } // 0.1 mm, on top of a fixed 2 mm
    void SetColumnSpacing(int v) { m_columnSpacing = v; }
    int RowSpacing() const { return m_rowSpacing; } // kept for the stored form only
    void SetRowSpacing(int v) { m_rowSpacing = v; }
    TPrinterOrientation Orientation() const { return m_orientation; }
    void SetOrientation(TPrinterOrientation v) { m_orientation = v; }
    QString PagePrefix() const { return m_pagePrefix; }
    void SetPagePrefix(const QString& v) { m_pagePrefix = v; }
    QString PageSuffix() const { return m_pageSuffix; }
    void SetPageSuffix(const QString& v) { m_pageSuffix = v; }
    int FixedWidth() const { return m_fixedWidth; } // 0.1 mm
    void SetFixedWidth(int v) { m_fixedWidth = v; }
    int FixedHeight() const { return m_fixedHeight; } // 0.1 mm
    void SetFixedHeight(int v) { m_fixedHeight = v; }
    bool UseFixedHeight() const { return m_useFixedHeight; }
    void SetUseFixedHeight(bool v) { m_useFixedHeight = v; }
    bool UseFixedWidth() const { return m_useFixedWidth; }
    void SetUseFixedWidth(bool v) { m_useFixedWidth = v; }
    TFitToPage FitToPage() const { return m_fitToPage; }
    void SetFitToPage(TFitToPage v) { m_fitToPage = v; }
    QString JobName() const { return m_jobName; }
    void SetJobName(const QString& v) { m_jobName = v; }
    QString PageNumSep() const { return m_pageNumSep; } // kept for the stored form only
    void SetPageNumSep(const QString& v) { m_pageNumSep = v; }

private:
    TPrintPosition m_time = ppNone;
    TPrintPosition m_date = ppNone;
    TPrintPosition m_pageNr = ppNone;
    QString m_pageNumSep = QStringLiteral("/");
    QString m_dateFormat = QStringLiteral("dd/mm/yyyy");
    TPrintPosition m_title = ppNone;
    TFont m_font;
    TFont m_headerFont;
    TFont m_footerFont;
    TPrintBorders m_borders = pbNoborder;
    TPenStyle m_borderStyle = psSolid;
    QString m_titleText;
    bool m_centered = false;
    bool m_repeatHeaders = false;
    int m_footerSize = 0;
    int m_headerSize = 0;
    int m_leftSize = 0;
    int m_rightSize = 0;
    int m_columnSpacing = 0;
    int m_rowSpacing = 0;
    TPrinterOrientation m_orientation = poPortrait;
    QString m_pagePrefix;
    QString m_pageSuffix;
    int m_fixedHeight = 0;
    bool m_useFixedHeight = false;
    int m_fixedWidth = 0;
    bool m_useFixedWidth = false;
    TFitToPage m_fitToPage = fpNever;
    QString m_jobName;
};
