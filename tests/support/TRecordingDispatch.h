// A test double for automation servers: accepts every member, answers reads and calls with a new
// recording object, and logs each call (object, member, kind, arguments) in one shared journal.
// The journal keeps the objects it returned; they refer back to it weakly, so that the journal
// and its objects are released together when the test drops the journal.
#pragma once

#include "platform/TAutomation.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class TRecordingDispatch : public TDispatchObject {
public:
    struct Call {
        QString object; // the path that produced the object: "excel.application.WorkBooks.Add"
        QString member;
        TInvokeKind kind;
        std::vector<TVariant> positional;
        TNamedArgs named;
        std::shared_ptr<TDispatchObject> result; // what the call returned (nullptr for a put)
    };
    using Journal = std::vector<Call>;

    TRecordingDispatch(QString path, std::shared_ptr<Journal> journal);

    TVariant Invoke(const QString& member, TInvokeKind kind, const std::vector<TVariant>& positional,
        const TNamedArgs& named) override;

    QString Path() const { return m_path; }
    std::shared_ptr<Journal> SharedJournal() const { return m_journal.lock(); }

    // A factory for RegisterAutomationServer that journals into `journal`.
    static TAutomationFactory Factory(const QString& className, std::shared_ptr<Journal> journal);
    // One readable line per call, e.g. `get excel.application.WorkBooks()` or
    // `put ...Range("A1:C2").Value(array[0..1,0..2])`, `call x.Add(&<obj>, numrows:=2)`.
    static QString Describe(const Call& call);
    static QStringList Describe(const Journal& journal);
    static QString Describe(const TVariant& value);

private:
    QString m_path;
    std::weak_ptr<Journal> m_journal;
};
