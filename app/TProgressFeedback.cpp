#include "app/TProgressFeedback.h"

#include "listview/TOrvListView.h"

#include <QApplication>
#include <QProgressDialog>
#include <utility>

TProgressFeedback::TProgressFeedback(QWidget* window, TOrvListView& list, const QString& label, int delayMs,
    std::function<qint64()> clock, std::function<void(QProgressDialog&)> onShown)
    : m_window(window)
    , m_list(list)
    , m_label(label)
    , m_delayMs(delayMs)
    , m_clock(std::move(clock))
    , m_onShown(std::move(onShown))
    , m_previousHandler(std::move(list.OnProgress))
{
    m_started.start();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_list.OnProgress
        = [this](TOrvListView&, qint64 done, qint64 total, bool& cancel) { Progress(done, total, cancel); };
}

TProgressFeedback::~TProgressFeedback()
{
    m_list.OnProgress = std::move(m_previousHandler);
    CloseDialog();
    QApplication::restoreOverrideCursor();
}

qint64 TProgressFeedback::ElapsedMs() const
{
    return m_clock ? m_clock() : m_started.elapsed();
}

void TProgressFeedback::Progress(qint64 done, qint64 total, bool& cancel)
{
    if (done >= total) {
        // The work is complete: nothing left to show or to stop.
        CloseDialog();
        return;
    }
    if (!m_dialog) {
        if (m_dialogShown || ElapsedMs() < m_delayMs)
            return;
        ShowDialog();
    }
    m_dialog->setValue(int(done * kSteps / total));
    // Paints the dialog and lets its Cancel button (or Escape) be heard; the dialog is modal, so
    // no other input reaches the window meanwhile.
    QCoreApplication::processEvents();
    if (m_dialog && m_dialog->wasCanceled()) {
        m_cancelled = true;
        cancel = true;
    }
}

void TProgressFeedback::ShowDialog()
{
    m_dialog = new QProgressDialog(m_label, QStringLiteral("Cancel"), 0, kSteps, m_window);
    m_dialog->setObjectName(QStringLiteral("ProgressDialog"));
    // A plain dialog frame (nothing to minimise or maximise), wide enough for the window title
    // and a label with a file name.
    m_dialog->setWindowFlags(
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    m_dialog->setWindowTitle(QApplication::applicationDisplayName());
    m_dialog->setMinimumWidth(m_dialog->fontMetrics().averageCharWidth() * kDialogWidthChars);
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setAutoReset(false);
    m_dialog->setAutoClose(false);
    m_dialog->setMinimumDuration(0);
    m_dialog->setValue(0);
    // Escape (or closing the dialog) stops the work as Cancel does.
    QObject::connect(m_dialog, &QDialog::rejected, m_dialog, &QProgressDialog::cancel);
    m_dialog->show();
    m_dialogShown = true;
    // The dialog takes clicks: the pointer says "busy" rather than "wait" from now on.
    QApplication::changeOverrideCursor(Qt::BusyCursor);
    if (m_onShown)
        m_onShown(*m_dialog);
}

void TProgressFeedback::CloseDialog()
{
    if (!m_dialog)
        return;
    m_dialog->hide();
    delete m_dialog;
    QApplication::changeOverrideCursor(Qt::WaitCursor);
}
