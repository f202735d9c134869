// TPreview: a small window showing the first printed page of a list, laid out again on every
// paint with the window's client area as the page. The only widget class of printing/: it is
// the preview window itself, everything it shows comes from the layout.
#pragma once

#include <QDialog>
#include <exception>

class TPreviewSource;

class TPreview : public QDialog {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 685;
    static constexpr int kClientHeight = 443;

    // The list is not owned; it must outlive the window.
    TPreview(QWidget* owner, TPreviewSource& list);
    ~TPreview() override;

    // Shows the window modally, centred on the screen. A layout that failed while painting
    // closes the window; its error is raised here once the window is gone.
    void ShowModal();
    // Raises the error of a layout that failed while painting, once; nothing when none did.
    void RaisePaintError();

    // The paint surface filling the client area.
    QWidget* PaintBox1() const { return m_paintBox; }

private:
    void PaintBox1Paint(QWidget& box);

    TPreviewSource& m_list;
    QWidget* m_paintBox = nullptr;
    std::exception_ptr m_paintError;
};
