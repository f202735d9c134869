#include "platform/office/TWordServer.h"

#include "platform/office/TWordDocument.h"

#include <QSaveFile>

namespace {

using Access = TDispatchTable::Access;

[[noreturn]] void Fail(const QString& message)
{
    throw EAutomationError(message);
}

TVariant Object(std::shared_ptr<TDispatchObject> object)
{
    return TVariant(std::move(object));
}

// What a range stands for: a span of document positions, or one table cell.
struct RangeTarget {
    std::shared_ptr<TWordDocument> document;
    int start = 0;
    int end = 0;
    std::shared_ptr<TWordTable> table; // set for a cell's range
    int cell = -1;

    bool IsCell() const { return table != nullptr; }
    TWordCell& Cell() const { return table->cells[size_t(cell)]; }
};

int CheckedAlignment(const TVariant& value)
{
    const int alignment = value.ToInt();
    if (alignment < waLeft || alignment > waJustify)
        Fail(QStringLiteral("Value out of range"));
    return alignment;
}

class ParagraphFormatObject : public TDispatchTable {
public:
    explicit ParagraphFormatObject(std::shared_ptr<RangeTarget> target)
        : m_target(std::move(target))
    {
        AddMember(QStringLiteral("Alignment"), Access::GetPut, {},
            [this](TInvokeKind kind, const TAutomationArgs& args) {
                RangeTarget& t = *m_target;
                if (kind == TInvokeKind::PropertyPut) {
                    const int alignment = CheckedAlignment(args.Required(0));
                    if (t.IsCell())
                        t.Cell().alignment = alignment;
                    else
                        t.document->SetAlignment(t.start, t.end, alignment);
                    return TVariant();
                }
                return TVariant(t.IsCell() ? t.Cell().alignment : t.document->Alignment(t.start));
            });
    }

private:
    std::shared_ptr<RangeTarget> m_target;
};

class RangeObject : public TDispatchTable {
public:
    explicit RangeObject(std::shared_ptr<RangeTarget> target)
        : m_target(std::move(target))
    {
        AddMember(QStringLiteral("InsertAfter"), Access::Call, { QStringLiteral("Text") },
            [this](TInvokeKind, const TAutomationArgs& args) {
                const QString text = args.Required(0).ToString();
                RangeTarget& t = *m_target;
                if (t.IsCell())
                    t.Cell().text += text;
                else
                    t.end += t.document->InsertText(t.end, text);
                return TVariant();
            });
        AddMember(QStringLiteral("InsertBefore"), Access::Call, { QStringLiteral("Text") },
            [this](TInvokeKind, const TAutomationArgs& args) {
                const QString text = args.Required(0).ToString();
                RangeTarget& t = *m_target;
                if (t.IsCell())
                    t.Cell().text.prepend(text);
                else
                    t.end += t.document->InsertText(t.start, text);
                return TVariant();
            });
        AddMember(QStringLiteral("Text"), Access::GetPut, {},
            [this](TInvokeKind kind, const TAutomationArgs& args) {
                RangeTarget& t = *m_target;
                if (kind == TInvokeKind::PropertyPut) {
                    if (!t.IsCell())
                        Fail(QStringLiteral("Setting the text of a document range is not supported"));
                    t.Cell().text = args.Required(0).ToString();
                    return TVariant();
                }
                // A cell's range ends with its end-of-cell mark, as the word processor reports it.
                return TVariant(
                    t.IsCell() ? t.Cell().text + QChar(13) + QChar(7) : t.document->Text(t.start, t.end));
            });
        AddMember(QStringLiteral("ParagraphFormat"), Access::GetOnly, {},
            [this](TInvokeKind, const TAutomationArgs&) {
                return Object(std::make_shared<ParagraphFormatObject>(m_target));
            });
        AddMember(QStringLiteral("Start"), Access::GetOnly, {},
            [this](TInvokeKind, const TAutomationArgs&) { return TVariant(m_target->start); });
        AddMember(QStringLiteral("End"), Access::GetOnly, {},
            [this](TInvokeKind, const TAutomationArgs&) { return TVariant(m_target->end); });
    }

    const RangeTarget& Target() const { return *m_target; }

private:
    std::shared_ptr<RangeTarget> m_target;
};

class CellObject : public TDispatchTable {
public:
    CellObject(std::shared_ptr<TWordDocument> document, std::shared_ptr<TWordTable> table, int index)
    {
        auto target = std::make_shared<RangeTarget>();
        target->document = std::move(document);
        target->table = std::move(table);
        target->cell = index;
        AddMember(
            QStringLiteral("Range"), Access::GetOnly, {}, [target](TInvokeKind, const TAutomationArgs&) {
                return Object(std::make_shared<RangeObject>(target));
            });
        AddMember(
            QStringLiteral("RowIndex"), Access::GetOnly, {}, [target](TInvokeKind, const TAutomationArgs&) {
                return TVariant(target->cell / target->table->columns + 1);
            });
        AddMember(QStringLiteral("ColumnIndex"), Access::GetOnly, {},
            [target](TInvokeKind, const TAutomationArgs&) {
                return TVariant(target->cell % target->table->columns + 1);
            });
    }
};

class TableObject : public TDispatchTable {
public:
    TableObject(std::shared_ptr<TWordDocument> document, std::shared_ptr<TWordTable> table)
        : m_document(std::move(document))
        , m_table(std::move(table))
    {
        AddMember(QStringLiteral("Cell"), Access::Call, { QStringLiteral("Row"), QStringLiteral("Column") },
            [this](TInvokeKind, const TAutomationArgs& args) {
                const int row = args.Required(0).ToInt();
                const int column = args.Required(1).ToInt();
                if (row < 1 || row > m_table->rows || column < 1 || column > m_table->columns)
                    Fail(QStringLiteral("The requested member of the collection does not exist."));
                return Object(std::make_shared<CellObject>(
                    m_document, m_table, (row - 1) * m_table->columns + (column - 1)));
            });
        AddMember(QStringLiteral("NumRows"), Access::GetOnly, {},
            [this](TInvokeKind, const TAutomationArgs&) { return TVariant(m_table->rows); });
        AddMember(QStringLiteral("NumColumns"), Access::GetOnly, {},
            [this](TInvokeKind, const TAutomationArgs&) { return TVariant(m_table->columns); });
    }

private:
    std::shared_ptr<TWordDocument> m_document;
    std::shared_ptr<TWordTable> m_table;
};

class TablesObject : public TDispatchTable {
public:
    explicit TablesObject(std::shared_ptr<TWordDocument> document)
        : m_document(std::move(document))
    {
        AddMember(QStringLiteral("Add"), Access::Call,
            { QStringLiteral("Range"), QStringLiteral("NumRows"), QStringLiteral("NumColumns"),
                QStringLiteral("DefaultTableBehavior"), QStringLiteral("AutoFitBehavior") },
            [this](TInvokeKind, const TAutomationArgs& args) {
                const auto* range = dynamic_cast<const RangeObject*>(args.Required(0).ToObject().get());
                if (!range || range->Target().document != m_document)
                    Fail(QStringLiteral("The range is not part of this document"));
                const int rows = args.Required(1).ToInt();
                const int columns = args.Required(2).ToInt();
                // The word processor's own limits: 63 columns; rows limited by memory only.
                if (rows < 1 || columns < 1 || columns > 63 || (long long)rows * columns > 50'000'000)
                    Fail(QStringLiteral("The number must be between 1 and 63 columns and at least one row."));
                const RangeTarget& t = range->Target();
                const int position = t.IsCell() ? 0 : t.start;
                return Object(std::make_shared<TableObject>(
                    m_document, m_document->InsertTable(position, rows, columns)));
            });
        AddMember(QStringLiteral("Count"), Access::GetOnly, {},
            [this](TInvokeKind, const TAutomationArgs&) { return TVariant(m_document->TableCount()); });
        AddMember(QStringLiteral("Item"), Access::Call, { QStringLiteral("Index") },
            [this](TInvokeKind, const TAutomationArgs& args) {
                auto table = m_document->Table(args.Required(0).ToInt() - 1);
                if (!table)
                    Fail(QStringLiteral("The requested member of the collection does not exist."));
                return Object(std::make_shared<TableObject>(m_document, table));
            });
    }

private:
    std::shared_ptr<TWordDocument> m_document;
};

class DocumentObject : public TDispatchTable {
public:
    explicit DocumentObject(std::shared_ptr<TWordDocument> document)
        : m_document(std::move(document))
    {
        AddMember(QStringLiteral("Range"), Access::Call, { QStringLiteral("Start"), QStringLiteral("End") },
            [this](TInvokeKind, const TAutomationArgs& args) {
                const int length = m_document->Length();
                auto target = std::make_shared<RangeTarget>();
                target->document = m_document;
                target->start = args.Has(0) ? args.Required(0).ToInt() : 0;
                target->end = args.Has(1) ? args.Required(1).ToInt() : length;
                if (target->start < 0 || target->end < target->start || target->end > length)
                    Fail(QStringLiteral("Value out of range"));
                return Object(std::make_shared<RangeObject>(target));
            });
        AddMember(QStringLiteral("Tables"), Access::GetOnly, {}, [this](TInvokeKind, const TAutomationArgs&) {
            return Object(std::make_shared<TablesObject>(m_document));
        });
        auto save = [this](TInvokeKind, const TAutomationArgs& args) {
            const QString fileName = args.Required(0).ToString();
            if (fileName.isEmpty())
                Fail(QStringLiteral("Command failed"));
            const QByteArray rtf = m_document->ToRtf();
            QSaveFile file(fileName);
            if (!file.open(QIODevice::WriteOnly) || file.write(rtf) != rtf.size() || !file.commit())
                Fail(QStringLiteral("Word cannot save this file: %1").arg(fileName));
            return TVariant();
        };
        AddMember(QStringLiteral("SaveAs"), Access::Call,
            { QStringLiteral("FileName"), QStringLiteral("FileFormat") }, save);
        AddMember(QStringLiteral("SaveAs2"), Access::Call,
            { QStringLiteral("FileName"), QStringLiteral("FileFormat") }, save);
        AddMember(QStringLiteral("Close"), Access::Call, { QStringLiteral("SaveChanges") },
            [](TInvokeKind, const TAutomationArgs&) { return TVariant(); });
    }

private:
    std::shared_ptr<TWordDocument> m_document;
};

struct WordApplicationData {
    std::vector<std::shared_ptr<TWordDocument>> documents;
    bool visible = false;
    bool quit = false;
};

class DocumentsObject : public TDispatchTable {
public:
    explicit DocumentsObject(std::shared_ptr<WordApplicationData> app)
        : m_app(std::move(app))
    {
        AddMember(QStringLiteral("Add"), Access::Call,
            { QStringLiteral("Template"), QStringLiteral("NewTemplate"), QStringLiteral("DocumentType"),
                QStringLiteral("Visible") },
            [this](TInvokeKind, const TAutomationArgs&) {
                auto document = std::make_shared<TWordDocument>();
                m_app->documents.push_back(document);
                return Object(std::make_shared<DocumentObject>(document));
            });
        AddMember(QStringLiteral("Count"), Access::GetOnly, {},
            [this](TInvokeKind, const TAutomationArgs&) { return TVariant(int(m_app->documents.size())); });
    }

private:
    std::shared_ptr<WordApplicationData> m_app;
};

class WordApplication : public TDispatchTable {
public:
    WordApplication()
        : m_app(std::make_shared<WordApplicationData>())
    {
        AddMember(
            QStringLiteral("Documents"), Access::GetOnly, {}, [this](TInvokeKind, const TAutomationArgs&) {
                if (m_app->quit)
                    Fail(QStringLiteral("The server has quit"));
                return Object(std::make_shared<DocumentsObject>(m_app));
            });
        AddMember(QStringLiteral("Quit"), Access::Call, { QStringLiteral("SaveChanges") },
            [this](TInvokeKind, const TAutomationArgs&) {
                m_app->documents.clear();
                m_app->quit = true;
                return TVariant();
            });
        AddMember(QStringLiteral("Visible"), Access::GetPut, {},
            [this](TInvokeKind kind, const TAutomationArgs& args) {
                if (kind != TInvokeKind::PropertyPut)
                    return TVariant(m_app->visible);
                m_app->visible = args.Required(0).ToBool();
                return TVariant();
            });
        AddMember(QStringLiteral("Name"), Access::GetOnly, {},
            [](TInvokeKind, const TAutomationArgs&) { return TVariant(QStringLiteral("Microsoft Word")); });
    }

private:
    std::shared_ptr<WordApplicationData> m_app;
};

} // namespace

std::shared_ptr<TDispatchObject> TWordServer::CreateApplication()
{
    return std::make_shared<WordApplication>();
}
