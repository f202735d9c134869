#include "platform/office/TExcelServer.h"

#include "platform/office/TSheetData.h"
#include "platform/office/TXlsWriter.h"
#include "platform/office/TXlsxWriter.h"

#include <QFileInfo>
#include <QSaveFile>

namespace {

using Access = TDispatchTable::Access;

struct WorkbookData {
    std::vector<std::shared_ptr<TSheetData>> sheets;
    int active = 0;
    int sheetsCreated = 0; // numbers new sheets as the application does: Sheet1, Sheet2, ...
    QString name;
};

struct ApplicationData {
    std::vector<std::shared_ptr<WorkbookData>> workbooks;
    int workbooksCreated = 0;
    bool visible = false;
    bool displayAlerts = true;
    bool quit = false;
};

[[noreturn]] void Fail(const QString& message)
{
    throw EAutomationError(message);
}

void SaveBytes(const QString& fileName, const QByteArray& bytes)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        Fail(QStringLiteral("Cannot access '%1'.").arg(fileName));
}

class RangeObject : public TDispatchTable {
public:
    RangeObject(std::shared_ptr<TSheetData> sheet, TExcelServer::CellBlock block)
        : m_sheet(std::move(sheet))
        , m_block(block)
    {
        AddMember(QStringLiteral("Value"), Access::GetPut, {},
            [this](TInvokeKind kind, const TAutomationArgs& args) {
                if (kind == TInvokeKind::PropertyPut) {
                    PutValue(args.Required(0));
                    return TVariant();
                }
                return GetValue();
            });
        AddMember(QStringLiteral("Count"), Access::GetOnly, {},
            [this](TInvokeKind, const TAutomationArgs&) { return TVariant(int(Rows() * Columns())); });
        AddMember(QStringLiteral("Address"), Access::GetOnly, {},
            [this](TInvokeKind, const TAutomationArgs&) { return TVariant(Address()); });
        AddMember(
            QStringLiteral("ClearContents"), Access::Call, {}, [this](TInvokeKind, const TAutomationArgs&) {
                PutValue(TVariant());
                return TVariant();
            });
    }

private:
    static constexpr long long kMaxCellsPerPut = 1LL << 26;

    long long Rows() const { return m_block.bottom - m_block.top + 1; }
    long long Columns() const { return m_block.right - m_block.left + 1; }

    static QString Text(const TVariant& value)
    {
        if (value.IsObject())
            Fail(QStringLiteral("Type mismatch"));
        QString text = value.ToString();
        if (text.size() > TExcelServer::kMaxCellText)
            Fail(QStringLiteral("Cell text longer than %1 characters").arg(TExcelServer::kMaxCellText));
        return text;
    }

    void PutValue(const TVariant& value)
    {
        // Cells are kept densely; a put over a range this large would exhaust memory instead.
        if (Rows() * Columns() > kMaxCellsPerPut)
            Fail(QStringLiteral("Not enough memory to complete this action"));
        if (value.ValueType() != TVariant::Type::Array) {
            const QString text = Text(value);
            for (int r = m_block.top; r <= m_block.bottom; ++r)
                for (int c = m_block.left; c <= m_block.right; ++c)
                    m_sheet->SetCell(r, c, text);
            return;
        }
        const auto array = value.ToArray();
        // Validate first so that a bad element leaves the sheet untouched.
        for (int i = array->LowBound(1); i <= array->HighBound(1); ++i)
            for (int j = array->LowBound(2); j <= array->HighBound(2); ++j)
                Text(array->At(i, j));
        static const QString notAvailable = QStringLiteral("#N/A");
        if (m_sheet->rows.size() < size_t(m_block.bottom + 1))
            m_sheet->rows.resize(size_t(m_block.bottom + 1));
        for (int r = m_block.top; r <= m_block.bottom; ++r) {
            const int i = array->LowBound(1) + (r - m_block.top);
            for (int c = m_block.left; c <= m_block.right; ++c) {
                const int j = array->LowBound(2) + (c - m_block.left);
                // Cells beyond the array's extent show "not available", as the application does.
                m_sheet->SetCell(r, c, array->InBounds(i, j) ? array->At(i, j).ToString() : notAvailable);
            }
        }
    }

    TVariant GetValue() const
    {
        if (Rows() == 1 && Columns() == 1)
            return TVariant(m_sheet->Cell(m_block.top, m_block.left));
        if (Rows() * Columns() > (1LL << 26))
            Fail(QStringLiteral("Not enough memory"));
        auto array = std::make_shared<TVariantArray>(1, int(Rows()), 1, int(Columns()));
        for (int r = m_block.top; r <= m_block.bottom; ++r)
            for (int c = m_block.left; c <= m_block.right; ++c)
                array->At(r - m_block.top + 1, c - m_block.left + 1) = m_sheet->Cell(r, c);
        return TVariant(array);
    }

    QString Address() const
    {
        auto cell = [](int row, int column) {
            QString letters;
            for (int n = column + 1; n > 0; n = (n - 1) / 26)
                letters.prepend(QChar(u'A' + (n - 1) % 26));
            return QLatin1Char('$') + letters + QLatin1Char('$') + QString::number(row + 1);
        };
        QString text = cell(m_block.top, m_block.left);
        if (Rows() > 1 || Columns() > 1)
            text += QLatin1Char(':') + cell(m_block.bottom, m_block.right);
        return text;
    }

    std::shared_ptr<TSheetData> m_sheet;
    TExcelServer::CellBlock m_block;
};

class WorksheetObject : public TDispatchTable {
public:
    explicit WorksheetObject(std::shared_ptr<TSheetData> sheet)
        : m_sheet(std::move(sheet))
    {
        AddMember(QStringLiteral("Range"), Access::GetOnly,
            { QStringLiteral("Cell1"), QStringLiteral("Cell2") },
            [this](TInvokeKind, const TAutomationArgs& args) {
                TExcelServer::CellBlock block;
                if (!TExcelServer::ParseReference(args.Required(0).ToString(), block))
                    Fail(QStringLiteral("Method 'Range' of object '_Worksheet' failed"));
                if (args.Has(1)) {
                    TExcelServer::CellBlock second;
                    if (!TExcelServer::ParseReference(args.Required(1).ToString(), second))
                        Fail(QStringLiteral("Method 'Range' of object '_Worksheet' failed"));
                    block = { std::min(block.top, second.top), std::min(block.left, second.left),
                        std::max(block.bottom, second.bottom), std::max(block.right, second.right) };
                }
                return TVariant(
                    std::shared_ptr<TDispatchObject>(std::make_shared<RangeObject>(m_sheet, block)));
            });
        AddMember(QStringLiteral("Cells"), Access::GetOnly,
            { QStringLiteral("RowIndex"), QStringLiteral("ColumnIndex") },
            [this](TInvokeKind, const TAutomationArgs& args) {
                const int row = args.Required(0).ToInt() - 1;
                const int column = args.Required(1).ToInt() - 1;
                if (row < 0 || row >= TExcelServer::kMaxRows || column < 0
                    || column >= TExcelServer::kMaxColumns)
                    Fail(QStringLiteral("Application-defined or object-defined error"));
                return TVariant(std::shared_ptr<TDispatchObject>(std::make_shared<RangeObject>(
                    m_sheet, TExcelServer::CellBlock { row, column, row, column })));
            });
        AddMember(QStringLiteral("Name"), Access::GetPut, {},
            [this](TInvokeKind kind, const TAutomationArgs& args) {
                if (kind == TInvokeKind::PropertyPut) {
                    const QString name = args.Required(0).ToString();
                    static const QString forbidden = QStringLiteral("[]:*?/\\");
                    if (name.isEmpty() || name.size() > 31
                        || std::any_of(
                            name.begin(), name.end(), [](QChar c) { return forbidden.contains(c); }))
                        Fail(
                            QStringLiteral("Sheet names have 1 to 31 characters and none of [ ] : * ? / \\"));
                    m_sheet->name = name;
                    return TVariant();
                }
                return TVariant(m_sheet->name);
            });
    }

private:
    std::shared_ptr<TSheetData> m_sheet;
};

TVariant SheetObject(const std::shared_ptr<TSheetData>& sheet)
{
    return TVariant(std::shared_ptr<TDispatchObject>(std::make_shared<WorksheetObject>(sheet)));
}

class WorksheetsObject : public TDispatchTable {
public:
    explicit WorksheetsObject(std::shared_ptr<WorkbookData> book)
        : m_book(std::move(book))
    {
        AddMember(QStringLiteral("Add"), Access::Call,
            { QStringLiteral("Before"), QStringLiteral("After"), QStringLiteral("Count"),
                QStringLiteral("Type") },
            [this](TInvokeKind, const TAutomationArgs&) {
                // A new sheet goes before the active one and becomes active.
                auto sheet = std::make_shared<TSheetData>();
                sheet->name = QStringLiteral("Sheet%1").arg(++m_book->sheetsCreated);
                const int at = std::clamp(m_book->active, 0, int(m_book->sheets.size()));
                m_book->sheets.insert(m_book->sheets.begin() + at, sheet);
                m_book->active = at;
                return SheetObject(sheet);
            });
        AddMember(QStringLiteral("Count"), Access::GetOnly, {},
            [this](TInvokeKind, const TAutomationArgs&) { return TVariant(int(m_book->sheets.size())); });
        AddMember(QStringLiteral("Item"), Access::GetOnly, { QStringLiteral("Index") },
            [this](TInvokeKind, const TAutomationArgs& args) {
                const TVariant& index = args.Required(0);
                if (index.ValueType() == TVariant::Type::String) {
                    for (const auto& sheet : m_book->sheets)
                        if (sheet->name.compare(index.ToString(), Qt::CaseInsensitive) == 0)
                            return SheetObject(sheet);
                } else {
                    const int i = index.ToInt();
                    if (i >= 1 && i <= int(m_book->sheets.size()))
                        return SheetObject(m_book->sheets[size_t(i - 1)]);
                }
                Fail(QStringLiteral("Subscript out of range"));
            });
    }

private:
    std::shared_ptr<WorkbookData> m_book;
};

class WorkbookObject : public TDispatchTable {
public:
    explicit WorkbookObject(std::shared_ptr<WorkbookData> book)
        : m_book(std::move(book))
    {
        auto sheets = [this](TInvokeKind, const TAutomationArgs&) {
            return TVariant(std::shared_ptr<TDispatchObject>(std::make_shared<WorksheetsObject>(m_book)));
        };
        AddMember(QStringLiteral("Worksheets"), Access::GetOnly, {}, sheets);
        AddMember(QStringLiteral("Sheets"), Access::GetOnly, {}, sheets);
        AddMember(QStringLiteral("SaveAs"), Access::Call,
            { QStringLiteral("Filename"), QStringLiteral("FileFormat") },
            [this](TInvokeKind, const TAutomationArgs& args) {
                Save(args.Required(0).ToString());
                return TVariant();
            });
        AddMember(QStringLiteral("Name"), Access::GetOnly, {},
            [this](TInvokeKind, const TAutomationArgs&) { return TVariant(m_book->name); });
        AddMember(QStringLiteral("Close"), Access::Call, { QStringLiteral("SaveChanges") },
            [](TInvokeKind, const TAutomationArgs&) { return TVariant(); });
    }

private:
    void Save(const QString& fileName)
    {
        if (fileName.isEmpty())
            Fail(QStringLiteral("Method 'SaveAs' of object '_Workbook' failed"));
        std::vector<TSheetData> sheets;
        sheets.reserve(m_book->sheets.size());
        for (const auto& sheet : m_book->sheets)
            sheets.push_back(*sheet);
        const bool legacy
            = QFileInfo(fileName).suffix().compare(QLatin1String("xls"), Qt::CaseInsensitive) == 0;
        QByteArray bytes;
        if (legacy) {
            QString error;
            bytes = TXlsWriter::Write(sheets, &error);
            if (!error.isEmpty())
                Fail(error);
        } else {
            bytes = TXlsxWriter::Write(sheets);
        }
        SaveBytes(fileName, bytes);
        m_book->name = QFileInfo(fileName).fileName();
    }

    std::shared_ptr<WorkbookData> m_book;
};

class WorkbooksObject : public TDispatchTable {
public:
    explicit WorkbooksObject(std::shared_ptr<ApplicationData> app)
        : m_app(std::move(app))
    {
        AddMember(QStringLiteral("Add"), Access::Call, { QStringLiteral("Template") },
            [this](TInvokeKind, const TAutomationArgs&) {
                auto book = std::make_shared<WorkbookData>();
                book->name = QStringLiteral("Book%1").arg(++m_app->workbooksCreated);
                auto sheet = std::make_shared<TSheetData>();
                sheet->name = QStringLiteral("Sheet%1").arg(++book->sheetsCreated);
                book->sheets.push_back(sheet);
                m_app->workbooks.push_back(book);
                return TVariant(std::shared_ptr<TDispatchObject>(std::make_shared<WorkbookObject>(book)));
            });
        AddMember(QStringLiteral("Count"), Access::GetOnly, {},
            [this](TInvokeKind, const TAutomationArgs&) { return TVariant(int(m_app->workbooks.size())); });
    }

private:
    std::shared_ptr<ApplicationData> m_app;
};

class ExcelApplication : public TDispatchTable {
public:
    ExcelApplication()
        : m_app(std::make_shared<ApplicationData>())
    {
        AddMember(
            QStringLiteral("Workbooks"), Access::GetOnly, {}, [this](TInvokeKind, const TAutomationArgs&) {
                CheckRunning();
                return TVariant(std::shared_ptr<TDispatchObject>(std::make_shared<WorkbooksObject>(m_app)));
            });
        AddMember(QStringLiteral("Quit"), Access::Call, {}, [this](TInvokeKind, const TAutomationArgs&) {
            // Unsaved workbooks are discarded, as with alerts switched off.
            m_app->workbooks.clear();
            m_app->quit = true;
            return TVariant();
        });
        AddMember(QStringLiteral("Visible"), Access::GetPut, {},
            [this](TInvokeKind kind, const TAutomationArgs& args) {
                if (kind == TInvokeKind::PropertyPut)
                    m_app->visible = args.Required(0).ToBool();
                return kind == TInvokeKind::PropertyPut ? TVariant() : TVariant(m_app->visible);
            });
        AddMember(QStringLiteral("DisplayAlerts"), Access::GetPut, {},
            [this](TInvokeKind kind, const TAutomationArgs& args) {
                if (kind == TInvokeKind::PropertyPut)
                    m_app->displayAlerts = args.Required(0).ToBool();
                return kind == TInvokeKind::PropertyPut ? TVariant() : TVariant(m_app->displayAlerts);
            });
        AddMember(QStringLiteral("Name"), Access::GetOnly, {},
            [](TInvokeKind, const TAutomationArgs&) { return TVariant(QStringLiteral("Microsoft Excel")); });
    }

private:
    void CheckRunning() const
    {
        if (m_app->quit)
            Fail(QStringLiteral("The server has quit"));
    }
    std::shared_ptr<ApplicationData> m_app;
};

bool ParseCell(QStringView text, int& row, int& column)
{
    qsizetype i = 0;
    if (i < text.size() && text[i] == u'$')
        ++i;
    long long col = 0;
    const qsizetype lettersStart = i;
    while (
        i < text.size() && text[i].toUpper() >= u'A' && text[i].toUpper() <= u'Z' && i - lettersStart < 4) {
        col = col * 26 + (text[i].toUpper().unicode() - u'A' + 1);
        ++i;
    }
    if (i == lettersStart || col > TExcelServer::kMaxColumns)
        return false;
    if (i < text.size() && text[i] == u'$')
        ++i;
    long long r = 0;
    const qsizetype digitsStart = i;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9' && i - digitsStart < 8) {
        r = r * 10 + (text[i].unicode() - u'0');
        ++i;
    }
    if (i == digitsStart || i != text.size() || r < 1 || r > TExcelServer::kMaxRows)
        return false;
    row = int(r - 1);
    column = int(col - 1);
    return true;
}

} // namespace

bool TExcelServer::ParseReference(const QString& text, CellBlock& block)
{
    const QString trimmed = text.trimmed();
    const qsizetype colon = trimmed.indexOf(u':');
    int r1, c1, r2, c2;
    if (colon < 0) {
        if (!ParseCell(trimmed, r1, c1))
            return false;
        r2 = r1;
        c2 = c1;
    } else if (!ParseCell(QStringView(trimmed).left(colon), r1, c1)
        || !ParseCell(QStringView(trimmed).mid(colon + 1), r2, c2)) {
        return false;
    }
    block = { std::min(r1, r2), std::min(c1, c2), std::max(r1, r2), std::max(c1, c2) };
    return true;
}

std::shared_ptr<TDispatchObject> TExcelServer::CreateApplication()
{
    return std::make_shared<ExcelApplication>();
}
