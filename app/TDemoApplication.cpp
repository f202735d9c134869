#include "app/TDemoApplication.h"

#include "app/DemoMessages.h"

TDemoApplication::TDemoApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("orvdemo"));
    setApplicationDisplayName(QStringLiteral("TOrvListView demo"));
}

bool TDemoApplication::notify(QObject* receiver, QEvent* event)
{
    bool result = false;
    DemoMessages::Guarded([&] { result = QApplication::notify(receiver, event); });
    return result;
}
