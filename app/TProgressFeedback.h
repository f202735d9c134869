// TProgressFeedback: what the user sees while a demo command makes a list load, save, export or
// print: the wait cursor at once and, once the work has run for longer than a delay, a progress
// dialog whose Cancel stops it. Short work shows the cursor alone.
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QtGlobal>
#include <functional>

class QProgressDialog;
class QWidget;
class TOrvListView;

class TProgressFeedback {
public:
    static constexpr int kDefaultDelayMs = 500;
    static constexpr int kSteps = 1000; // the dialog's range
    static constexpr int kDialogWidthChars = 44; // the dialog's least width, in average characters

    // Listens to `list`'s OnProgress for its lifetime; the list's previous handler is put back
    // afterwards. `clock` gives the milliseconds since the work started (a steady clock when
    // empty); `onShown` hears of the dialog as it appears.
    TProgressFeedback(QWidget* window, TOrvListView& list, const QString& label,
        int delayMs = kDefaultDelayMs, std::function<qint64()> clock = {},
        std::function<void(QProgressDialog&)> onShown = {});
    ~TProgressFeedback();
    TProgressFeedback(const TProgressFeedback&) = delete;
    TProgressFeedback& operator=(const TProgressFeedback&) = delete;

    // True when the user stopped the work.
    bool Cancelled() const { return m_cancelled; }
    // True once the progress dialog has appeared.
    bool DialogShown() const { return m_dialogShown; }

private:
    void Progress(qint64 done, qint64 total, bool& cancel);
    qint64 ElapsedMs() const;
    void ShowDialog();
    void CloseDialog();

    QWidget* m_window;
    TOrvListView& m_list;
    QString m_label;
    int m_delayMs;
    std::function<qint64()> m_clock;
    std::function<void(QProgressDialog&)> m_onShown;
    std::function<void(TOrvListView&, qint64, qint64, bool&)> m_previousHandler;
    QElapsedTimer m_started;
    QPointer<QProgressDialog> m_dialog;
    bool m_dialogShown = false;
    bool m_cancelled = false;
};
