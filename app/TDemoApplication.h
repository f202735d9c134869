// TDemoApplication: the demo's application object. Errors that escape an event handler are
// shown in a message box instead of ending the program.
#pragma once

#include <QApplication>

class TDemoApplication : public QApplication {
public:
    TDemoApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
