#include "platform/THintWindow.h"

#include "platform/TCanvas.h"

#include <QPainter>
#include <QTimer>
#include <QWidget>

namespace {

constexpr unsigned kTextFlags = DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS | DT_LEFT;

} // namespace

class THintWindow::Window : public QWidget {
public:
    explicit Window(THintWindow& owner)
        // Input passes through to what lies below, so that a hint over the pointer does not make
        // the control under it think the mouse has left.
        : QWidget(nullptr,
            Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus
                | Qt::WindowTransparentForInput)
        , m_owner(owner)
    {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        m_hideTimer.setSingleShot(true);
        QObject::connect(&m_hideTimer, &QTimer::timeout, this, [this] { m_owner.ReleaseHint(); });
    }
    QTimer m_hideTimer;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        TCanvas canvas;
        canvas.Attach(&painter);
        const TRect all { 0, 0, width(), height() };
        canvas.Brush().SetColor(m_owner.m_color);
        canvas.FillRect(all);
        canvas.Brush().SetColor(clInfoText);
        canvas.FrameRect(all);
        const int inset = kBorder + kPadding;
        TRect content = all.Inflated(-inset, -inset);
        canvas.SetFont(m_owner.m_font);
        if (m_owner.m_painter) {
            canvas.Brush().SetColor(m_owner.m_color);
            m_owner.m_painter(canvas, content);
        } else {
            canvas.SetBkMode(bkTransparent);
            canvas.DrawText(m_owner.m_text, content, kTextFlags);
        }
        canvas.Detach();
    }

private:
    THintWindow& m_owner;
};

THintWindow::THintWindow()
{
    m_font.SetColor(clInfoText);
}

THintWindow::~THintWindow() = default;

TRect THintWindow::RectForContent(int width, int height)
{
    const int frame = 2 * (kBorder + kPadding);
    return TRect { 0, 0, std::max(0, width) + frame, std::max(0, height) + frame };
}

TRect THintWindow::CalcHintRect(int maxWidth, const QString& text) const
{
    // Measured the way the window draws it, so that the text fits the rectangle exactly.
    TCanvas canvas;
    canvas.SetFont(m_font);
    TRect bounds { 0, 0, std::max(1, maxWidth), 0 };
    canvas.DrawText(text, bounds, kTextFlags | DT_CALCRECT);
    return RectForContent(bounds.Width(), std::max(bounds.Height(), canvas.TextHeight(QStringLiteral("Ag"))));
}

void THintWindow::ActivateHint(const TRect& screenRect, const QString& text, int hidePauseMs)
{
    if (!m_window)
        m_window = std::make_unique<Window>(*this);
    m_text = text;
    m_rect = screenRect;
    m_window->setGeometry(screenRect.ToQRect());
    m_window->show();
    m_window->raise();
    m_window->update();
    if (hidePauseMs > 0)
        m_window->m_hideTimer.start(hidePauseMs);
    else
        m_window->m_hideTimer.stop();
}

void THintWindow::ReleaseHint()
{
    if (m_window) {
        m_window->m_hideTimer.stop();
        m_window->hide();
    }
}

bool THintWindow::Visible() const
{
    return m_window && m_window->isVisible();
}
