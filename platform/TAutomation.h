// Late-bound automation: variants, objects whose members are called by name, and the registry
// that creates an object from its class name (the seam the office exports talk through).
#pragma once

#include "platform/OrvExceptions.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <utility>
#include <variant>
#include <vector>

class TDispatchObject;
class TVariantArray;
class TVariant;

// How a member is called: as a method, as a property read or as a property write.
enum class TInvokeKind { Method, PropertyGet, PropertyPut };

using TNamedArgs = std::vector<std::pair<QString, TVariant>>;

// A value passed to or returned from an automation call.
class TVariant {
public:
    enum class Type { Empty, Int, Double, Bool, String, Array, Object, ByRef };

    TVariant() = default;
    TVariant(int value)
        : m_value(value)
    { }
    TVariant(double value)
        : m_value(value)
    { }
    TVariant(bool value)
        : m_value(value)
    { }
    TVariant(const QString& value)
        : m_value(value)
    { }
    TVariant(const char* value)
        : m_value(QString::fromUtf8(value))
    { }
    TVariant(std::shared_ptr<TVariantArray> array)
        : m_value(std::move(array))
    { }
    TVariant(std::shared_ptr<TDispatchObject> object)
        : m_value(std::move(object))
    { }

    // A by-reference argument: the callee sees (and may replace) the value in `target`.
    static TVariant Ref(std::shared_ptr<TVariant> target);
    static TVariant MakeRef(const TVariant& value) { return Ref(std::make_shared<TVariant>(value)); }

    Type VarType() const { return Type(m_value.index()); }
    bool IsByRef() const { return VarType() == Type::ByRef; }
    // The value itself, looking through a by-reference wrapper.
    const TVariant& Deref() const;
    Type ValueType() const { return Deref().VarType(); }
    bool IsEmpty() const { return ValueType() == Type::Empty; }
    bool IsObject() const { return ValueType() == Type::Object; }

    // Conversions as automation performs them; an impossible one throws "Type mismatch".
    int ToInt() const;
    double ToDouble() const;
    bool ToBool() const;
    QString ToString() const;
    std::shared_ptr<TVariantArray> ToArray() const;
    std::shared_ptr<TDispatchObject> ToObject() const; // throws "Object required"
    std::shared_ptr<TVariant> RefTarget() const; // nullptr unless by reference

    // Calls on the object this variant holds, so call sites read like the scripts they stand for:
    // app.Get("WorkBooks").Call("Add"), range.Put("Value", array).
    TVariant Call(const QString& member, const std::vector<TVariant>& positional = {},
        const TNamedArgs& named = {}) const;
    TVariant Get(const QString& member, const std::vector<TVariant>& positional = {},
        const TNamedArgs& named = {}) const;
    void Put(const QString& member, const TVariant& value) const;

private:
    std::variant<std::monostate, int, double, bool, QString, std::shared_ptr<TVariantArray>,
        std::shared_ptr<TDispatchObject>, std::shared_ptr<TVariant>>
        m_value;
};

// A two-dimensional array of variants with its own index ranges (low..high inclusive per dimension).
class TVariantArray {
public:
    TVariantArray(int low1, int high1, int low2, int high2);

    int LowBound(int dim) const { return dim == 1 ? m_low1 : m_low2; }
    int HighBound(int dim) const { return dim == 1 ? m_high1 : m_high2; }
    int Count(int dim) const { return HighBound(dim) - LowBound(dim) + 1; }
    bool InBounds(int i1, int i2) const
    {
        return i1 >= m_low1 && i1 <= m_high1 && i2 >= m_low2 && i2 <= m_high2;
    }
    // Out-of-range indexes throw "Subscript out of range".
    TVariant& At(int i1, int i2);
    const TVariant& At(int i1, int i2) const;

private:
    size_t Offset(int i1, int i2) const;
    int m_low1, m_high1, m_low2, m_high2;
    std::vector<TVariant> m_items; // row-major: the second index varies fastest
};

// An automation object: members are looked up by name, case-insensitively, at call time.
class TDispatchObject : public std::enable_shared_from_this<TDispatchObject> {
public:
    virtual ~TDispatchObject() = default;
    // A property put receives the new value as the last positional argument.
    virtual TVariant Invoke(const QString& member, TInvokeKind kind, const std::vector<TVariant>& positional,
        const TNamedArgs& named)
        = 0;
};

// The arguments of one call, matched to a member's declared parameter names: a named argument
// fills the parameter of that name (any case), positional ones fill from the left.
class TAutomationArgs {
public:
    TAutomationArgs(const QString& member, const QStringList& paramNames,
        const std::vector<TVariant>& positional, const TNamedArgs& named);
    bool Has(int index) const;
    const TVariant& Required(int index) const; // missing: "Argument not optional"
    TVariant Optional(int index, const TVariant& fallback = {}) const;
    int Count() const { return int(m_args.size()); }

private:
    QString m_member;
    QStringList m_names;
    std::vector<const TVariant*> m_args;
};

// Base for objects whose members are a table of handlers; unknown names raise "Unknown name".
class TDispatchTable : public TDispatchObject {
public:
    using Handler = std::function<TVariant(TInvokeKind, const TAutomationArgs&)>;
    enum class Access { Call, GetOnly, GetPut };

    TVariant Invoke(const QString& member, TInvokeKind kind, const std::vector<TVariant>& positional,
        const TNamedArgs& named) override;

protected:
    TDispatchTable() { m_members.reserve(8); }
    // `params` names the parameters in positional order; a put's value is not among them.
    void AddMember(const QString& name, Access access, const QStringList& params, Handler handler);

private:
    struct Member {
        QString name;
        Access access;
        QStringList params;
        Handler handler;
    };
    std::vector<Member> m_members; // few per object: a linear case-insensitive scan is cheapest
};

using TAutomationFactory = std::function<std::shared_ptr<TDispatchObject>()>;

// Registers (or, with an empty factory, removes) the server for a class name; returns the factory
// that was registered before, so a caller can put it back. Class names compare case-insensitively.
TAutomationFactory RegisterAutomationServer(const QString& className, TAutomationFactory factory);
// Creates an object of a registered class; EOleServerNotFound when the name is unknown.
TVariant CreateOleObject(const QString& className);
