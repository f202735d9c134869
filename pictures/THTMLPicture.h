// THTMLPicture: the raw bytes of a GIF, JPEG, BMP or PNG picture, decoded for drawing, with
// frame selection for animated GIFs. Markup images draw through it.
#pragma once

#include "platform/TTypes.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <functional>

class QIODevice;
class TCanvas;

class THTMLPicture {
public:
    using TDownloadProgressEvent = std::function<void(THTMLPicture& sender, int dwSize, int dwTotSize)>;
    using TDownloadCancelEvent = std::function<void(THTMLPicture& sender, bool& cancel)>;
    using TDownloadCompleteEvent = std::function<void(THTMLPicture& sender)>;
    using TDownloadErrorEvent = std::function<void(THTMLPicture& sender, const QString& err)>;

    THTMLPicture();
    ~THTMLPicture();
    THTMLPicture(const THTMLPicture&) = delete;
    THTMLPicture& operator=(const THTMLPicture&) = delete;

    // True until bytes were loaded that decode, and again after a load that failed.
    bool Empty() const { return m_empty; }
    bool Stretch() const { return m_stretch; }
    void SetStretch(bool stretch) { m_stretch = stretch; }

    // One-based frame of an animated GIF. Setting it decodes the data again (when there are
    // any) and raises OnFrameChange; decode failures raise EPictureError.
    int Frame() const { return m_frame; }
    void SetFrame(int frame);

    // Number of frame starts of GIF data (0 for a GIF without any), -1 for anything else.
    int FrameCount();

    int FrameLeft() const { return m_frameLeft; } // pixels inside the logical screen
    int FrameTop() const { return m_frameTop; } // pixels inside the logical screen
    int LogicalWidth() const { return m_logicalWidth; } // GIF logical screen, 0 when not a GIF
    int LogicalHeight() const { return m_logicalHeight; }
    // Size the markup renderer lays the picture out with: the GIF logical screen when known,
    // else the natural size.
    int LayoutWidth() const;
    int LayoutHeight() const;
    // Natural size in pixels at 96 per inch; 0 without a decoded picture.
    int Width() const;
    int Height() const;
    void SetWidth(int) { } // the size follows the data
    void SetHeight(int) { }

    // Loading. Stream, data and resource loads raise EPictureError when the bytes do not decode
    // (the bytes are kept for saving, the picture is empty); a file load swallows every failure
    // and leaves the picture empty. A file is read only when it is a regular file, and never
    // more of it than its reported size (at most 64 MB).
    void LoadFromStream(QIODevice* stream);
    void LoadFromData(const QByteArray& bytes);
    void LoadFromFile(const QString& path);
    void LoadFromResource(const QString& name); // the raw-data resource ":/rcdata/<name>"
    // "RES://NAME" and "FILE://path" load at once; other sources are recorded (and, with
    // asynchronous loading allowed, handed to a download worker that loads nothing).
    void LoadFromSource(const QString& source);
    void Assign(const THTMLPicture* other);

    // Form streaming: like LoadFromStream without the change notification.
    void ReadData(QIODevice* stream);
    void WriteData(QIODevice* stream) const;
    void SaveToStream(QIODevice* stream) const { WriteData(stream); }
    QByteArray SaveToData() const { return m_data; }

    // Stretch: fills `rect`; otherwise the natural size at the device's resolution from the
    // rectangle's top-left corner. Scaling happens in the painter, so no copy larger than what
    // the device shows is ever made.
    void Draw(TCanvas& canvas, const TRect& rect) const;

    bool AsyncAllowed() const { return m_asyncAllowed; }
    void SetAsyncAllowed(bool allowed) { m_asyncAllowed = allowed; }
    bool DownloadStarted() const { return m_downloadStarted; }
    QString ID() const { return m_id; }
    QString URL() const { return m_url; }

    // The decoded image of the selected frame (null without one).
    const QImage& Image() const { return m_image; }
    // Memory the picture holds: its bytes and its decoded image.
    qint64 MemoryBytes() const { return qint64(m_data.size()) + m_image.sizeInBytes(); }

    std::function<void()> OnChange;
    std::function<void(THTMLPicture& sender)> OnFrameChange;
    TDownloadProgressEvent OnDownLoadProgress; // declared for callers; downloads never run
    TDownloadCancelEvent OnDownLoadCancel;
    TDownloadCompleteEvent OnDownLoadComplete;
    TDownloadErrorEvent OnDownLoadError;

private:
    enum class KeepImage { No, Yes };
    void SetData(const QByteArray& bytes);
    void Decode(KeepImage keepOnFailure);
    void DecodeFrame(KeepImage keepOnFailure);
    void Changed();

    QByteArray m_data;
    bool m_empty = true;
    bool m_stretch = false;
    QImage m_image; // the decoded frame; null without one
    int m_widthHiMetric = 0; // 0.01 mm
    int m_heightHiMetric = 0; // 0.01 mm
    int m_pixelsPerInchX = 96;
    int m_pixelsPerInchY = 96;
    QString m_url;
    QString m_id;
    bool m_asyncAllowed = true;
    bool m_downloadStarted = false;
    int m_frame = 1;
    int m_frameCount = -1; // cached; -1 = not counted
    quint16 m_frameLeft = 0;
    quint16 m_frameTop = 0;
    quint16 m_logicalWidth = 0;
    quint16 m_logicalHeight = 0;
};
