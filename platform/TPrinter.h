// TPrinter: one document on a QPrinter (a system printer through CUPS, or a PDF file) with the
// steps a layout needs: orientation, title, begin, new page, end or abort, and a canvas.
#pragma once

#include "platform/OrvExceptions.h"
#include "platform/TCanvas.h"

#include <QString>
#include <memory>

class QPainter;
class QPrinter;

enum TPrinterOrientation : unsigned char { poPortrait, poLandscape };

class TPrinter {
public:
    // The printer is borrowed; it must outlive this object.
    explicit TPrinter(QPrinter& printer);
    // An unfinished document is aborted.
    ~TPrinter();
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    // True when the system knows at least one printer.
    static bool Available();
    // True when documents can be printed on `printer`: a PDF printer with a file name, or a
    // system printer the system knows.
    static bool Usable(const QPrinter& printer);

    // Both raise EPrinterError("No printer available") when the printer is not usable; nothing
    // is changed then.
    void SetOrientation(TPrinterOrientation orientation);
    void SetTitle(const QString& title);

    // Starts the document on its first page. A PDF document is written to a temporary file
    // beside the target and only replaces the target when it ends, so an aborted document
    // leaves an existing file as it was.
    void BeginDoc();
    void NewPage();
    // Finishes the document; the printer's file or job is complete afterwards.
    void EndDoc();
    // Throws the document away: nothing reaches the target file. A system printer is asked to
    // cancel the job; Qt's CUPS backend cannot cancel, it then receives the pages printed so far.
    void Abort();

    bool Printing() const { return m_painter != nullptr; }
    int PageNumber() const { return m_pageNumber; } // 1 on the first page, 0 outside a document
    // Drawing surface of the current document (no device outside one).
    TCanvas& Canvas() { return m_canvas; }

private:
    void RequireUsable() const;
    void Finish(bool keep);

    QPrinter& m_printer;
    std::unique_ptr<QPainter> m_painter;
    TCanvas m_canvas;
    QString m_targetFile; // PDF target while the document goes to m_spoolFile
    QString m_spoolFile;
    int m_pageNumber = 0;
};
