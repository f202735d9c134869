#include "app/DemoMessages.h"

#include "platform/OrvExceptions.h"

#include <QApplication>
#include <QMessageBox>

namespace DemoMessages {

namespace {

TMessageSink& Sink()
{
    static TMessageSink sink;
    return sink;
}

} // namespace

void SetSink(TMessageSink sink)
{
    Sink() = std::move(sink);
}

void Show(TMessageKind kind, const QString& text, QWidget* parent)
{
    if (Sink()) {
        Sink()(kind, text);
        return;
    }
    if (!parent)
        parent = QApplication::activeWindow();
    const QString title = QApplication::applicationDisplayName();
    switch (kind) {
    case mkInformation:
        QMessageBox::information(parent, title, text);
        break;
    case mkPlain: {
        QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
        box.exec();
        break;
    }
    case mkError:
        QMessageBox::critical(parent, title, text);
        break;
    }
}

bool Guarded(const std::function<void()>& work)
{
    try {
        work();
        return true;
    } catch (const EOrvListViewError& error) {
        Show(mkError, error.Message());
    } catch (const std::exception& error) {
        Show(mkError, QString::fromLocal8Bit(error.what()));
    }
    return false;
}

} // namespace DemoMessages
