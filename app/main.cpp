// The demo program: one main window with three sample lists.
//
//   orvdemo                   runs the demo in the working directory (it reads test.csv there)
//   orvdemo --screenshot DIR  lays the window out offscreen, writes DIR/sample1.png .. sample3.png
//                             (one per page) and exits
//   orvdemo --print-pdf FILE  prints the Sample 1 list with the print options as they stand at
//                             start-up to FILE as PDF and exits (0 when the file was written)
//   orvdemo --preview-png FILE renders the print preview window of the Sample 1 list to FILE
//                             and exits
#include "app/DemoMessages.h"
#include "app/TDemoApplication.h"
#include "app/TForm1.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    QString screenshotDir, pdfFile, previewFile;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--screenshot") == 0)
            screenshotDir = QString::fromLocal8Bit(argv[i + 1]);
        else if (std::strcmp(argv[i], "--print-pdf") == 0)
            pdfFile = QString::fromLocal8Bit(argv[i + 1]);
        else if (std::strcmp(argv[i], "--preview-png") == 0)
            previewFile = QString::fromLocal8Bit(argv[i + 1]);
    }
    const bool batch = !screenshotDir.isEmpty() || !pdfFile.isEmpty() || !previewFile.isEmpty();
    if (batch && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    TDemoApplication app(argc, argv);
    if (batch) {
        // Nobody is there to close a message box: report on the console instead.
        DemoMessages::SetSink([](DemoMessages::TMessageKind, const QString& text) {
            std::fprintf(stderr, "orvdemo: %s\n", qPrintable(text));
        });
    }

    TForm1 form;
    if (!pdfFile.isEmpty()) {
        return DemoMessages::Guarded([&] { form.PrintToPdf(pdfFile); }) ? 0 : 1;
    }
    form.show();
    if (!previewFile.isEmpty()) {
        bool saved = false;
        const bool ok = DemoMessages::Guarded([&] { saved = form.SavePreview(previewFile); });
        if (ok && !saved)
            std::fprintf(stderr, "orvdemo: cannot write %s\n", qPrintable(previewFile));
        return ok && saved ? 0 : 1;
    }
    if (!screenshotDir.isEmpty())
        return form.SaveScreenshots(screenshotDir) ? 0 : 1;
    return app.exec();
}
