// The demo program: one main window with three sample lists.
//
//   orvdemo                  runs the demo in the working directory (it reads test.csv there)
//   orvdemo --screenshot DIR lays the window out offscreen, writes DIR/sample1.png .. sample3.png
//                            (one per page) and exits
#include "app/DemoMessages.h"
#include "app/TDemoApplication.h"
#include "app/TForm1.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    QString screenshotDir;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--screenshot") == 0)
            screenshotDir = QString::fromLocal8Bit(argv[i + 1]);
    }
    if (!screenshotDir.isEmpty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    TDemoApplication app(argc, argv);
    if (!screenshotDir.isEmpty()) {
        // Nobody is there to close a message box: report on the console instead.
        DemoMessages::SetSink([](DemoMessages::TMessageKind, const QString& text) {
            std::fprintf(stderr, "orvdemo: %s\n", qPrintable(text));
        });
    }

    TForm1 form;
    form.show();
    if (!screenshotDir.isEmpty())
        return form.SaveScreenshots(screenshotDir) ? 0 : 1;
    return app.exec();
}
