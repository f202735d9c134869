#include "platform/TPrinter.h"

#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>
#include <cstdio>
#include <sys/stat.h>
#include <utility>

namespace {

const QString kNoPrinter = QStringLiteral("No printer available");

// "Cannot create file " and the file's name, or the path as given when it names no file.
EPrinterError CannotCreate(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    return EPrinterError(QStringLiteral("Cannot create file ") + (name.isEmpty() ? path : name));
}

// Read and write for everyone, less what the process's file-creation mask takes away.
QFile::Permissions NewFilePermissions()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    QFile::Permissions p;
    const std::pair<mode_t, QFile::Permission> bits[]
        = { { S_IRUSR, QFile::ReadOwner }, { S_IWUSR, QFile::WriteOwner }, { S_IRGRP, QFile::ReadGroup },
              { S_IWGRP, QFile::WriteGroup }, { S_IROTH, QFile::ReadOther }, { S_IWOTH, QFile::WriteOther } };
    for (const auto& [bit, permission] : bits) {
        if (!(mask & bit))
            p |= permission;
    }
    if (p & QFile::ReadOwner)
        p |= QFile::ReadUser;
    if (p & QFile::WriteOwner)
        p |= QFile::WriteUser;
    return p;
}

} // namespace

TPrinter::TPrinter(QPrinter& printer)
    : m_printer(printer)
{ }

TPrinter::~TPrinter()
{
    if (Printing())
        Abort();
}

bool TPrinter::Available()
{
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

bool TPrinter::Usable(const QPrinter& printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return !printer.outputFileName().isEmpty();
    return !printer.printerName().isEmpty() && !QPrinterInfo::printerInfo(printer.printerName()).isNull();
}

void TPrinter::RequireUsable() const
{
    if (!Usable(m_printer))
        throw EPrinterError(kNoPrinter);
}

void TPrinter::SetOrientation(TPrinterOrientation orientation)
{
    RequireUsable();
    m_printer.setPageOrientation(orientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

void TPrinter::SetTitle(const QString& title)
{
    RequireUsable();
    m_printer.setDocName(title);
}

void TPrinter::BeginDoc()
{
    if (Printing())
        throw EPrinterError(QStringLiteral("A document is already being printed"));
    RequireUsable();
    if (m_printer.outputFormat() == QPrinter::PdfFormat) {
        // The document goes to a fresh file in the target's folder and is renamed over the
        // target when it is complete: a failed print never leaves half a file behind.
        const QFileInfo target(m_printer.outputFileName());
        if (target.fileName().isEmpty() || target.isDir())
            throw CannotCreate(m_printer.outputFileName());
        m_targetFile = m_printer.outputFileName();
        QTemporaryFile spool(
            target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".XXXXXX"));
        spool.setAutoRemove(false);
        if (!spool.open()) {
            const QString path = m_targetFile;
            m_targetFile.clear();
            throw CannotCreate(path);
        }
        m_spoolFile = spool.fileName();
        spool.close();
        m_printer.setOutputFileName(m_spoolFile);
    }
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(&m_printer)) {
        if (!m_spoolFile.isEmpty()) {
            QFile::remove(m_spoolFile);
            m_printer.setOutputFileName(m_targetFile);
            const QString path = m_targetFile;
            m_spoolFile.clear();
            m_targetFile.clear();
            throw CannotCreate(path);
        }
        throw EPrinterError(QStringLiteral("The printer cannot start the document"));
    }
    m_painter = std::move(painter);
    m_canvas.Attach(m_painter.get());
    m_pageNumber = 1;
}

void TPrinter::NewPage()
{
    if (!Printing())
        throw EPrinterError(QStringLiteral("No document is being printed"));
    if (!m_printer.newPage())
        throw EPrinterError(QStringLiteral("The printer cannot start a new page"));
    ++m_pageNumber;
}

void TPrinter::EndDoc()
{
    if (!Printing())
        return;
    Finish(true);
}

void TPrinter::Abort()
{
    if (!Printing())
        return;
    // The PDF engine cannot abort; its output goes to the spool file, which is removed.
    m_printer.abort();
    Finish(false);
}

void TPrinter::Finish(bool keep)
{
    m_canvas.Detach();
    const bool ended = m_painter->end();
    m_painter.reset();
    m_pageNumber = 0;
    if (m_spoolFile.isEmpty()) {
        if (keep && !ended)
            throw EPrinterError(QStringLiteral("The printer cannot finish the document"));
        return;
    }
    const QString spool = m_spoolFile;
    const QString target = m_targetFile;
    m_spoolFile.clear();
    m_targetFile.clear();
    m_printer.setOutputFileName(target);
    if (!keep || !ended) {
        QFile::remove(spool);
        if (keep)
            throw CannotCreate(target);
        return;
    }
    // A temporary file is private to its owner: the document keeps the permissions of the file
    // it replaces, or gets those a new file would have.
    QFile::setPermissions(spool, QFile::exists(target) ? QFile::permissions(target) : NewFilePermissions());
    // rename() replaces the target in one step; QFile::rename refuses an existing target.
    if (std::rename(QFile::encodeName(spool).constData(), QFile::encodeName(target).constData()) != 0) {
        QFile::remove(spool);
        throw CannotCreate(target);
    }
}
