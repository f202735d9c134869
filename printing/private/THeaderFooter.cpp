#include "printing/private/THeaderFooter.h"

#include "printing/TPrintsettings.h"
#include "printing/private/TDateTimePattern.h"

namespace {

bool IsTop(TPrintPosition p)
{
    return p == ppTopLeft || p == ppTopRight || p == ppTopCenter;
}

bool IsBottom(TPrintPosition p)
{
    return p == ppBottomLeft || p == ppBottomRight || p == ppBottomCenter;
}

} // namespace

bool THeaderFooter::AnyTop(const TPrintsettings& s)
{
    return IsTop(s.Time()) || IsTop(s.Date()) || IsTop(s.PageNr()) || IsTop(s.Title());
}

bool THeaderFooter::AnyBottom(const TPrintsettings& s)
{
    return IsBottom(s.Time()) || IsBottom(s.Date()) || IsBottom(s.PageNr()) || IsBottom(s.Title());
}

THeaderFooter::TSlots THeaderFooter::Compose(const TPrintsettings& s, int pageNo, const QDateTime& now)
{
    TSlots texts;
    auto join = [&texts](TPrintPosition position, const QString& item) {
        const QLatin1Char blank(' ');
        switch (position) {
        case ppNone:
            return;
        case ppTopLeft:
            texts[sTopLeft] = item + blank + texts[sTopLeft];
            return;
        case ppBottomLeft:
            texts[sBottomLeft] = item + blank + texts[sBottomLeft];
            return;
        case ppTopRight:
            texts[sTopRight] += blank + item;
            return;
        case ppTopCenter:
            texts[sTopCenter] += blank + item;
            return;
        case ppBottomRight:
            texts[sBottomRight] += blank + item;
            return;
        case ppBottomCenter:
            texts[sBottomCenter] += blank + item;
            return;
        }
    };
    if (s.Time() != ppNone)
        join(s.Time(), TDateTimePattern::Format(now, QStringLiteral("hh:nn")));
    if (s.Date() != ppNone)
        join(s.Date(), TDateTimePattern::Format(now, s.DateFormat()));
    if (s.PageNr() != ppNone)
        join(s.PageNr(),
            s.PagePrefix() + QLatin1Char(' ') + QString::number(pageNo + 1) + QLatin1Char(' ')
                + s.PageSuffix());
    if (s.Title() != ppNone)
        join(s.Title(), s.TitleText());
    return texts;
}
