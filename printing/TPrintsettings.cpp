#include "printing/TPrintsettings.h"

TPrintsettings::TPrintsettings() = default;

void TPrintsettings::Assign(const TPrintsettings& other)
{
    if (&other == this)
        return;
    m_time = other.m_time;
    m_date = other.m_date;
    m_pageNr = other.m_pageNr;
    m_pageNumSep = other.m_pageNumSep;
    m_dateFormat = other.m_dateFormat;
    m_title = other.m_title;
    m_font.Assign(other.m_font);
    m_headerFont.Assign(other.m_headerFont);
    m_footerFont.Assign(other.m_footerFont);
    m_borders = other.m_borders;
    m_borderStyle = other.m_borderStyle;
    m_titleText = other.m_titleText;
    m_centered = other.m_centered;
    m_repeatHeaders = other.m_repeatHeaders;
    m_footerSize = other.m_footerSize;
    m_headerSize = other.m_headerSize;
    m_leftSize = other.m_leftSize;
    m_rightSize = other.m_rightSize;
    m_columnSpacing = other.m_columnSpacing;
    m_rowSpacing = other.m_rowSpacing;
    m_orientation = other.m_orientation;
    m_pagePrefix = other.m_pagePrefix;
    m_pageSuffix = other.m_pageSuffix;
    m_fixedHeight = other.m_fixedHeight;
    m_useFixedHeight = other.m_useFixedHeight;
    m_fixedWidth = other.m_fixedWidth;
    m_useFixedWidth = other.m_useFixedWidth;
    m_fitToPage = other.m_fitToPage;
    m_jobName = other.m_jobName;
}
