#include "support/TRecordingDispatch.h"

TRecordingDispatch::TRecordingDispatch(QString path, std::shared_ptr<Journal> journal)
    : m_path(std::move(path))
    , m_journal(std::move(journal))
{ }

TVariant TRecordingDispatch::Invoke(
    const QString& member, TInvokeKind kind, const std::vector<TVariant>& positional, const TNamedArgs& named)
{
    const std::shared_ptr<Journal> journal = m_journal.lock();
    if (!journal)
        throw EAutomationError(QStringLiteral("The recording journal is gone"));
    Call call { m_path, member, kind, positional, named, nullptr };
    if (kind != TInvokeKind::PropertyPut)
        call.result = std::make_shared<TRecordingDispatch>(m_path + QLatin1Char('.') + member, journal);
    journal->push_back(call);
    return call.result ? TVariant(call.result) : TVariant();
}

TAutomationFactory TRecordingDispatch::Factory(const QString& className, std::shared_ptr<Journal> journal)
{
    return [className, journal]() -> std::shared_ptr<TDispatchObject> {
        return std::make_shared<TRecordingDispatch>(className, journal);
    };
}

QString TRecordingDispatch::Describe(const TVariant& value)
{
    switch (value.VarType()) {
    case TVariant::Type::Empty:
        return QStringLiteral("Empty");
    case TVariant::Type::Int:
    case TVariant::Type::Double:
    case TVariant::Type::Bool:
        return value.ToString();
    case TVariant::Type::String:
        return QLatin1Char('"') + value.ToString() + QLatin1Char('"');
    case TVariant::Type::Array: {
        const auto a = value.ToArray();
        return QStringLiteral("array[%1..%2,%3..%4]")
            .arg(a->LowBound(1))
            .arg(a->HighBound(1))
            .arg(a->LowBound(2))
            .arg(a->HighBound(2));
    }
    case TVariant::Type::Object: {
        const auto* rec = dynamic_cast<const TRecordingDispatch*>(value.ToObject().get());
        return QLatin1Char('<') + (rec ? rec->Path() : QStringLiteral("object")) + QLatin1Char('>');
    }
    case TVariant::Type::ByRef:
        return QLatin1Char('&') + Describe(value.Deref());
    }
    return QString();
}

QString TRecordingDispatch::Describe(const Call& call)
{
    static const char* const kinds[] = { "call", "get", "put" };
    QStringList args;
    for (const TVariant& v : call.positional)
        args << Describe(v);
    for (const auto& [name, v] : call.named)
        args << name + QStringLiteral(":=") + Describe(v);
    return QString::fromLatin1(kinds[int(call.kind)]) + QLatin1Char(' ') + call.object + QLatin1Char('.')
        + call.member + QLatin1Char('(') + args.join(QStringLiteral(", ")) + QLatin1Char(')');
}

QStringList TRecordingDispatch::Describe(const Journal& journal)
{
    QStringList lines;
    for (const Call& c : journal)
        lines << Describe(c);
    return lines;
}
