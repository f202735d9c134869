#include "printing/TPreview.h"

#include "platform/TCanvas.h"
#include "printing/TPreviewSource.h"
#include "printing/private/TPaintBox.h"

#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

TPreview::TPreview(QWidget* owner, TPreviewSource& list)
    : QDialog(owner)
    , m_list(list)
{
    setObjectName(QStringLiteral("Preview"));
    setWindowTitle(QStringLiteral("Preview"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11); // 8 points at 96 dpi
    setFont(font);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    setAutoFillBackground(true);
    setSizeGripEnabled(true);

    m_paintBox = new TPaintBox([this](QWidget& box) { PaintBox1Paint(box); }, this);
    m_paintBox->setObjectName(QStringLiteral("PaintBox1"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_paintBox);
    resize(kClientWidth, kClientHeight);
}

TPreview::~TPreview() = default;

void TPreview::PaintBox1Paint(QWidget& box)
{
    if (m_paintError)
        return; // the window is closing after a failed layout
    QPainter painter(&box);
    TCanvas canvas;
    canvas.Attach(&painter);
    try {
        m_list.PreviewPaint(canvas, TRect { 0, 0, box.width(), box.height() });
    } catch (...) {
        // An error must not escape a paint event: the window closes and ShowModal raises it.
        m_paintError = std::current_exception();
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
    }
    canvas.Detach();
}

void TPreview::ShowModal()
{
    if (const QScreen* screen
        = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    m_paintError = nullptr;
    exec();
    RaisePaintError();
}

void TPreview::RaisePaintError()
{
    if (!m_paintError)
        return;
    const std::exception_ptr error = m_paintError;
    m_paintError = nullptr;
    std::rethrow_exception(error);
}
