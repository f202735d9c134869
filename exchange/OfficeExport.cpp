#include "exchange/OfficeExport.h"

#include "platform/OrvExceptions.h"
#include "platform/TAutomation.h"
#include "platform/TListItems.h"

#include <QCursor>
#include <QGuiApplication>

namespace {

// The hourglass for the length of an export; restored however the export ends, so a server
// failure half-way does not leave the application with a busy cursor.
class TWaitCursor {
public:
    TWaitCursor()
        : m_active(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
    {
        if (m_active)
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
    ~TWaitCursor() { Restore(); }
    void Restore()
    {
        if (m_active)
            QGuiApplication::restoreOverrideCursor();
        m_active = false;
    }

private:
    bool m_active;
};

// Column 0 is the caption, column c >= 1 sub-item c - 1; nullptr when the row has no such sub-item.
const QString* CellValue(const TListItem& item, int column, QString& caption)
{
    if (column == 0) {
        caption = item.Caption();
        return &caption;
    }
    const QStringList& subs = item.SubItems();
    return column - 1 < subs.size() ? &subs[column - 1] : nullptr;
}

// Asks a server that failed half-way to close, so it does not linger; its own error wins.
void QuitQuietly(const TVariant& app)
{
    try {
        app.Call(QStringLiteral("Quit"));
    } catch (...) { }
}

} // namespace

QString SpreadsheetColumnName(int column)
{
    QString letters;
    for (int n = column; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + (n - 1) % 26));
    return letters;
}

void SaveListToXLS(const TListColumns& columns, const TListItems& items, const QString& fileName,
    const TProgressCallback& progress)
{
    TWaitCursor cursor;
    TVariant app;
    try {
        app = CreateOleObject(QStringLiteral("excel.application"));
    } catch (...) {
        cursor.Restore();
        throw EOrvListViewError(QStringLiteral("Excel OLE server not found"));
    }
    try {
        const TVariant workbook = app.Get(QStringLiteral("WorkBooks")).Call(QStringLiteral("Add"));
        const TVariant sheet = workbook.Get(QStringLiteral("WorkSheets")).Call(QStringLiteral("Add"));
        const int rowCount = items.Count();
        const int colCount = columns.Count();
        TProgressMeter meter(progress, 2 * qint64(rowCount));
        // An empty range has no A1 text; such a list gives a workbook with an empty sheet.
        if (rowCount > 0 && colCount > 0) {
            auto values = std::make_shared<TVariantArray>(0, rowCount - 1, 0, colCount - 1);
            QString caption;
            for (int r = 0; r < rowCount; ++r) {
                meter.Step(r);
                const TListItem& item = items[r];
                for (int c = 0; c < colCount; ++c) {
                    const QString* v = CellValue(item, c, caption);
                    values->At(r, c) = v ? *v : QString();
                }
            }
            const QString range
                = QStringLiteral("A1:") + SpreadsheetColumnName(colCount) + QString::number(rowCount);
            sheet.Get(QStringLiteral("Range"), { range }).Put(QStringLiteral("Value"), TVariant(values));
        }
        meter.Step(rowCount);
        workbook.Call(QStringLiteral("SaveAs"), { fileName });
        meter.Finish();
        app.Call(QStringLiteral("Quit"));
    } catch (...) {
        QuitQuietly(app);
        throw;
    }
}

void SaveListToDOC(const TListColumns& columns, const TListItems& items, const QString& fileName,
    const TProgressCallback& progress)
{
    TVariant app;
    try {
        app = CreateOleObject(QStringLiteral("word.application"));
    } catch (...) {
        throw EOfficeError(QStringLiteral("Word OLE server not found"));
    }
    try {
        const TVariant document = app.Get(QStringLiteral("Documents")).Call(QStringLiteral("Add"));
        const int rowCount = items.Count();
        const int colCount = columns.Count();
        TProgressMeter meter(progress, rowCount);
        // A table needs at least one row and column; an empty list gives an empty document.
        if (rowCount > 0 && colCount > 0) {
            const TVariant range = document.Call(QStringLiteral("Range"), {},
                { { QStringLiteral("start"), 0 }, { QStringLiteral("end"), 0 } });
            const TVariant table = document.Get(QStringLiteral("Tables"))
                                       .Call(QStringLiteral("Add"), { TVariant::MakeRef(range) },
                                           { { QStringLiteral("numrows"), rowCount },
                                               { QStringLiteral("numcolumns"), colCount } });
            QString caption;
            for (int r = 1; r <= rowCount; ++r) {
                meter.Step(r - 1);
                const TListItem& item = items[r - 1];
                for (int i = 1; i <= colCount; ++i) {
                    const TVariant cell = table.Call(QStringLiteral("Cell"), {},
                        { { QStringLiteral("row"), r }, { QStringLiteral("column"), i } });
                    if (const QString* v = CellValue(item, i - 1, caption))
                        cell.Get(QStringLiteral("Range")).Call(QStringLiteral("InsertAfter"), { *v });
                    const TAlignment alignment = columns[i - 1].Alignment();
                    if (alignment == taRightJustify || alignment == taCenter)
                        cell.Get(QStringLiteral("Range"))
                            .Get(QStringLiteral("ParagraphFormat"))
                            .Put(QStringLiteral("Alignment"), alignment == taRightJustify ? 2 : 1);
                }
            }
        }
        meter.Step(rowCount);
        document.Call(QStringLiteral("SaveAs"), { TVariant::MakeRef(fileName) });
        meter.Finish();
        app.Call(QStringLiteral("Quit"));
    } catch (...) {
        QuitQuietly(app);
        throw;
    }
}
