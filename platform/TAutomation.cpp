#include "platform/TAutomation.h"

#include "platform/office/OfficeServers.h"

#include <QHash>
#include <cmath>
#include <limits>
#include <mutex>

namespace {

[[noreturn]] void TypeMismatch()
{
    throw EAutomationError(QStringLiteral("Type mismatch"));
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TVariant

TVariant TVariant::Ref(std::shared_ptr<TVariant> target)
{
    TVariant v;
    if (!target)
        target = std::make_shared<TVariant>();
    v.m_value = std::move(target);
    return v;
}

const TVariant& TVariant::Deref() const
{
    const TVariant* v = this;
    // A reference to a reference is legal; follow the chain to the value.
    while (v->VarType() == Type::ByRef)
        v = std::get<std::shared_ptr<TVariant>>(v->m_value).get();
    return *v;
}

int TVariant::ToInt() const
{
    const TVariant& v = Deref();
    switch (v.VarType()) {
    case Type::Empty:
        return 0;
    case Type::Int:
        return std::get<int>(v.m_value);
    case Type::Bool:
        return std::get<bool>(v.m_value) ? -1 : 0; // automation's True is -1
    case Type::Double: {
        const double d = std::nearbyint(std::get<double>(v.m_value));
        if (!(d >= std::numeric_limits<int>::min() && d <= std::numeric_limits<int>::max()))
            throw EAutomationError(QStringLiteral("Overflow"));
        return int(d);
    }
    case Type::String: {
        bool ok = false;
        const double d = std::get<QString>(v.m_value).trimmed().toDouble(&ok);
        if (!ok)
            TypeMismatch();
        return TVariant(d).ToInt();
    }
    default:
        TypeMismatch();
    }
}

double TVariant::ToDouble() const
{
    const TVariant& v = Deref();
    switch (v.VarType()) {
    case Type::Empty:
        return 0;
    case Type::Int:
        return std::get<int>(v.m_value);
    case Type::Bool:
        return std::get<bool>(v.m_value) ? -1 : 0;
    case Type::Double:
        return std::get<double>(v.m_value);
    case Type::String: {
        bool ok = false;
        const double d = std::get<QString>(v.m_value).trimmed().toDouble(&ok);
        if (!ok)
            TypeMismatch();
        return d;
    }
    default:
        TypeMismatch();
    }
}

bool TVariant::ToBool() const
{
    const TVariant& v = Deref();
    if (v.VarType() == Type::Bool)
        return std::get<bool>(v.m_value);
    if (v.VarType() == Type::String) {
        const QString s = std::get<QString>(v.m_value).trimmed();
        if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
    }
    return v.ToDouble() != 0;
}

QString TVariant::ToString() const
{
    const TVariant& v = Deref();
    switch (v.VarType()) {
    case Type::Empty:
        return QString();
    case Type::Int:
        return QString::number(std::get<int>(v.m_value));
    case Type::Double:
        return QString::number(std::get<double>(v.m_value), 'g', 15);
    case Type::Bool:
        return std::get<bool>(v.m_value) ? QStringLiteral("True") : QStringLiteral("False");
    case Type::String:
        return std::get<QString>(v.m_value);
    default:
        TypeMismatch();
    }
}

std::shared_ptr<TVariantArray> TVariant::ToArray() const
{
    const TVariant& v = Deref();
    if (v.VarType() != Type::Array)
        TypeMismatch();
    return std::get<std::shared_ptr<TVariantArray>>(v.m_value);
}

std::shared_ptr<TDispatchObject> TVariant::ToObject() const
{
    const TVariant& v = Deref();
    if (v.VarType() != Type::Object || !std::get<std::shared_ptr<TDispatchObject>>(v.m_value))
        throw EAutomationError(QStringLiteral("Object required"));
    return std::get<std::shared_ptr<TDispatchObject>>(v.m_value);
}

std::shared_ptr<TVariant> TVariant::RefTarget() const
{
    if (VarType() != Type::ByRef)
        return nullptr;
    return std::get<std::shared_ptr<TVariant>>(m_value);
}

TVariant TVariant::Call(
    const QString& member, const std::vector<TVariant>& positional, const TNamedArgs& named) const
{
    return ToObject()->Invoke(member, TInvokeKind::Method, positional, named);
}

TVariant TVariant::Get(
    const QString& member, const std::vector<TVariant>& positional, const TNamedArgs& named) const
{
    return ToObject()->Invoke(member, TInvokeKind::PropertyGet, positional, named);
}

void TVariant::Put(const QString& member, const TVariant& value) const
{
    ToObject()->Invoke(member, TInvokeKind::PropertyPut, { value }, {});
}

// ---------------------------------------------------------------------------------------------
// TVariantArray

TVariantArray::TVariantArray(int low1, int high1, int low2, int high2)
    : m_low1(low1)
    , m_high1(high1)
    , m_low2(low2)
    , m_high2(high2)
{
    // An empty dimension (high < low) gives an array without elements, as a SAFEARRAY allows.
    const long long n1 = std::max(0LL, (long long)high1 - low1 + 1);
    const long long n2 = std::max(0LL, (long long)high2 - low2 + 1);
    if (n1 * n2 > (1LL << 31))
        throw EAutomationError(QStringLiteral("Out of memory"));
    m_items.resize(size_t(n1 * n2));
}

size_t TVariantArray::Offset(int i1, int i2) const
{
    if (!InBounds(i1, i2))
        throw EAutomationError(QStringLiteral("Subscript out of range"));
    return size_t(i1 - m_low1) * size_t(Count(2)) + size_t(i2 - m_low2);
}

TVariant& TVariantArray::At(int i1, int i2)
{
    return m_items[Offset(i1, i2)];
}

const TVariant& TVariantArray::At(int i1, int i2) const
{
    return m_items[Offset(i1, i2)];
}

// ---------------------------------------------------------------------------------------------
// TAutomationArgs

TAutomationArgs::TAutomationArgs(const QString& member, const QStringList& paramNames,
    const std::vector<TVariant>& positional, const TNamedArgs& named)
    : m_member(member)
    , m_names(paramNames)
{
    if (positional.size() > size_t(paramNames.size()))
        throw EAutomationError(QStringLiteral("Wrong number of arguments: ") + member);
    m_args.assign(size_t(paramNames.size()), nullptr);
    for (size_t i = 0; i < positional.size(); ++i)
        m_args[i] = &positional[i];
    for (const auto& [name, value] : named) {
        int index = -1;
        for (int i = 0; i < paramNames.size(); ++i) {
            if (paramNames[i].compare(name, Qt::CaseInsensitive) == 0) {
                index = i;
                break;
            }
        }
        if (index < 0)
            throw EAutomationError(QStringLiteral("Named argument not found: ") + name + QStringLiteral(" (")
                + member + QLatin1Char(')'));
        if (m_args[size_t(index)])
            throw EAutomationError(QStringLiteral("Argument given twice: ") + name);
        m_args[size_t(index)] = &value;
    }
}

bool TAutomationArgs::Has(int index) const
{
    return index >= 0 && index < int(m_args.size()) && m_args[size_t(index)] != nullptr;
}

const TVariant& TAutomationArgs::Required(int index) const
{
    if (!Has(index)) {
        const QString name = index < m_names.size() ? m_names[index] : QString::number(index + 1);
        throw EAutomationError(QStringLiteral("Argument not optional: ") + name + QStringLiteral(" (")
            + m_member + QLatin1Char(')'));
    }
    return *m_args[size_t(index)];
}

TVariant TAutomationArgs::Optional(int index, const TVariant& fallback) const
{
    return Has(index) ? *m_args[size_t(index)] : fallback;
}

// ---------------------------------------------------------------------------------------------
// TDispatchTable

void TDispatchTable::AddMember(const QString& name, Access access, const QStringList& params, Handler handler)
{
    m_members.emplace_back(Member { name, access, params, std::move(handler) });
}

TVariant TDispatchTable::Invoke(
    const QString& member, TInvokeKind kind, const std::vector<TVariant>& positional, const TNamedArgs& named)
{
    for (const Member& m : m_members) {
        if (m.name.compare(member, Qt::CaseInsensitive) != 0)
            continue;
        if (kind == TInvokeKind::PropertyPut) {
            if (m.access != Access::GetPut || positional.empty())
                throw EAutomationError(QStringLiteral("Property cannot be set: ") + member);
            // The new value travels last; handlers find it just past the declared parameters.
            std::vector<TVariant> given(positional.begin(), positional.end() - 1);
            if (given.size() > size_t(m.params.size()))
                throw EAutomationError(QStringLiteral("Wrong number of arguments: ") + member);
            QStringList params = m.params;
            params.append(QStringLiteral("value"));
            TNamedArgs withValue = named;
            withValue.emplace_back(QStringLiteral("value"), positional.back());
            TAutomationArgs args(member, params, given, withValue);
            return m.handler(kind, args);
        }
        TAutomationArgs args(member, m.params, positional, named);
        return m.handler(kind, args);
    }
    throw EAutomationError(QStringLiteral("Unknown name: ") + member);
}

// ---------------------------------------------------------------------------------------------
// Registry

namespace {

struct Registry {
    std::mutex mutex;
    QHash<QString, TAutomationFactory> servers; // keyed by lower-case class name
};

Registry& TheRegistry()
{
    static Registry* registry = [] {
        auto* r = new Registry;
        // Built in so that every program linking the platform finds the office servers.
        for (auto& [name, factory] : BuiltInOfficeServers())
            r->servers.insert(name.toLower(), factory);
        return r;
    }();
    return *registry;
}

} // namespace

TAutomationFactory RegisterAutomationServer(const QString& className, TAutomationFactory factory)
{
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    const QString key = className.toLower();
    TAutomationFactory previous = r.servers.value(key);
    if (factory)
        r.servers.insert(key, std::move(factory));
    else
        r.servers.remove(key);
    return previous;
}

TVariant CreateOleObject(const QString& className)
{
    TAutomationFactory factory;
    {
        Registry& r = TheRegistry();
        std::lock_guard lock(r.mutex);
        factory = r.servers.value(className.toLower());
    }
    if (!factory)
        throw EOleServerNotFound(QStringLiteral("Invalid class string: ") + className);
    std::shared_ptr<TDispatchObject> object = factory();
    if (!object)
        throw EOleServerNotFound(QStringLiteral("Server execution failed: ") + className);
    return TVariant(std::move(object));
}
