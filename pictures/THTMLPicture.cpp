#include "pictures/THTMLPicture.h"

#include "platform/OrvExceptions.h"
#include "pictures/TDownLoadThread.h"
#include "pictures/private/GifFrames.h"
#include "pictures/private/MulDiv.h"
#include "platform/PathCase.h"
#include "platform/TCanvas.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <new>

namespace {

constexpr int kHiMetricPerInch = 2540; // 0.01 mm per inch
// Larger files could not be decoded within the image reader's allocation limit anyway.
constexpr qint64 kMaxFileBytes = qint64(256) * 1024 * 1024;

} // namespace

THTMLPicture::THTMLPicture() = default;

THTMLPicture::~THTMLPicture() = default;

void THTMLPicture::SetFrame(int frame)
{
    m_frame = frame;
    if (m_data.isEmpty())
        return;
    // A frame that does not decode keeps the previous frame on screen.
    Decode(KeepImage::Yes);
    if (OnFrameChange)
        OnFrameChange(*this);
}

int THTMLPicture::FrameCount()
{
    if (!gifframes::IsGif(m_data))
        return -1;
    if (m_frameCount < 0)
        m_frameCount = gifframes::CountFrames(m_data);
    return m_frameCount;
}

int THTMLPicture::LayoutWidth() const
{
    return m_logicalWidth != 0 ? m_logicalWidth : Width();
}

int THTMLPicture::LayoutHeight() const
{
    return m_logicalHeight != 0 ? m_logicalHeight : Height();
}

int THTMLPicture::Width() const
{
    return m_image.isNull() ? 0 : MulDiv(m_widthHiMetric, m_pixelsPerInchX, kHiMetricPerInch);
}

int THTMLPicture::Height() const
{
    return m_image.isNull() ? 0 : MulDiv(m_heightHiMetric, m_pixelsPerInchY, kHiMetricPerInch);
}

void THTMLPicture::LoadFromStream(QIODevice* stream)
{
    if (!stream)
        return;
    ReadData(stream);
    Changed();
}

void THTMLPicture::ReadData(QIODevice* stream)
{
    if (!stream)
        return;
    const bool opened = !stream->isOpen();
    if (opened && !stream->open(QIODevice::ReadOnly))
        throw EPictureError("Could not create image stream");
    // The whole stream is the picture, wherever the caller left its position.
    if (!stream->isSequential())
        stream->seek(0);
    QByteArray bytes = stream->readAll();
    if (opened)
        stream->close();
    SetData(bytes);
}

void THTMLPicture::LoadFromData(const QByteArray& bytes)
{
    SetData(bytes);
    Changed();
}

void THTMLPicture::LoadFromFile(const QString& path)
{
    try {
        // Only regular files of a size a picture can have: a device or pipe named in markup
        // would otherwise block or never end.
        const QFileInfo info(path);
        if (!info.isFile() || info.size() > kMaxFileBytes)
            throw EPictureError("File cannot be opened");
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw EPictureError("File cannot be opened");
        SetData(file.readAll());
    } catch (const std::exception&) {
        // A picture named in markup that cannot be read simply shows nothing.
        m_data.clear();
        m_empty = true;
        m_image = QImage();
        m_widthHiMetric = m_heightHiMetric = 0;
        m_frameLeft = m_frameTop = m_logicalWidth = m_logicalHeight = 0;
        m_frameCount = -1;
        return;
    }
    Changed();
}

void THTMLPicture::LoadFromResource(const QString& name)
{
    if (name.isEmpty())
        return;
    const QString folder = QStringLiteral(":/rcdata");
    QString path = folder + QLatin1Char('/') + name;
    if (!QFile::exists(path)) {
        // Resource names ignore case, while sources reach us upper-cased.
        path.clear();
        const QStringList entries = QDir(folder).entryList(QDir::Files);
        for (const QString& entry : entries) {
            if (entry.compare(name, Qt::CaseInsensitive) == 0) {
                path = folder + QLatin1Char('/') + entry;
                break;
            }
        }
        if (path.isEmpty())
            return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    LoadFromStream(&file);
}

void THTMLPicture::LoadFromSource(const QString& source)
{
    const QString s = source.toUpper();
    if (s.startsWith(QLatin1String("RES://"))) {
        m_id = s;
        const QString name = s.mid(6);
        if (!name.isEmpty())
            LoadFromResource(name);
        return;
    }
    if (s.startsWith(QLatin1String("FILE://"))) {
        m_id = s;
        const QString path = s.mid(7);
        if (path.isEmpty())
            return;
        // File names keep their case on this system: the upper-cased path is tried first, then
        // the path as written, then the file whose name matches either ignoring case.
        const QString written = source.mid(7);
        QString found = QFileInfo::exists(path) ? path : pathcase::Resolve(written);
        if (found.isEmpty())
            found = path;
        LoadFromFile(found);
        return;
    }
    if (!m_asyncAllowed) {
        m_url = s;
        m_id = s;
        return;
    }
    if (!m_downloadStarted) {
        m_url = s;
        m_downloadStarted = true;
        new TDownLoadThread(this);
    }
}

void THTMLPicture::Assign(const THTMLPicture* other)
{
    const QByteArray incoming = other ? other->m_data : QByteArray();
    const bool hadData = !m_data.isEmpty();
    m_empty = true;
    m_image = QImage();
    m_widthHiMetric = m_heightHiMetric = 0;
    m_frameCount = -1;
    m_frame = 1;
    // The old bytes are about to be replaced, so they are not decoded again for frame 1; the
    // frame change is still announced.
    if (hadData && OnFrameChange)
        OnFrameChange(*this);
    if (!other) {
        m_data.clear();
        m_frameLeft = m_frameTop = m_logicalWidth = m_logicalHeight = 0;
        return;
    }
    SetData(incoming);
    Changed();
}

void THTMLPicture::WriteData(QIODevice* stream) const
{
    if (stream)
        stream->write(m_data);
}

void THTMLPicture::Draw(TCanvas& canvas, const TRect& rect) const
{
    if (m_empty || m_image.isNull())
        return;
    if (m_stretch) {
        canvas.StretchDrawImage(rect, m_image);
        return;
    }
    const int pixelWidth = MulDiv(m_widthHiMetric, canvas.PixelsPerInchX(), kHiMetricPerInch);
    const int pixelHeight = MulDiv(m_heightHiMetric, canvas.PixelsPerInchY(), kHiMetricPerInch);
    if (pixelWidth <= 0 || pixelHeight <= 0)
        return;
    // The natural size is in device pixels whatever the mapping, placed at the top-left.
    if (pixelWidth == m_image.width() && pixelHeight == m_image.height())
        canvas.DrawImage(rect.left, rect.top, m_image);
    else
        canvas.DrawImage(rect.left, rect.top, Scaled(pixelWidth, pixelHeight));
}

const QImage& THTMLPicture::Scaled(int width, int height) const
{
    // A printer draws the same picture in many cells at one resolution: scale it once.
    if (m_scaledFrom != m_image.cacheKey() || m_scaled.width() != width || m_scaled.height() != height) {
        m_scaled = m_image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        m_scaledFrom = m_image.cacheKey();
    }
    return m_scaled;
}

void THTMLPicture::SetData(const QByteArray& bytes)
{
    m_data = bytes;
    m_empty = false;
    // New bytes: neither the old picture nor the old frame count describe them.
    m_image = QImage();
    m_widthHiMetric = m_heightHiMetric = 0;
    m_frameCount = -1;
    Decode(KeepImage::No);
}

void THTMLPicture::Decode(KeepImage keepOnFailure)
{
    if (keepOnFailure == KeepImage::No) {
        m_image = QImage();
        m_widthHiMetric = m_heightHiMetric = 0;
    }
    m_frameLeft = m_frameTop = m_logicalWidth = m_logicalHeight = 0;

    QByteArray memory;
    gifframes::Selection selection;
    try {
        if (gifframes::IsGif(m_data)) {
            selection = gifframes::SelectFrame(m_data, m_frame);
            memory = std::move(selection.bytes);
            if (selection.hasFrames) {
                m_logicalWidth = selection.logicalWidth;
                m_logicalHeight = selection.logicalHeight;
                if (selection.frameFound) {
                    m_frameLeft = selection.frameLeft;
                    m_frameTop = selection.frameTop;
                }
            }
        } else {
            memory = m_data; // shared, not copied: the reader only reads
        }
    } catch (const std::bad_alloc&) {
        throw EPictureError("Could not allocate memory for image");
    }

    QBuffer stream(&memory);
    if (!stream.open(QIODevice::ReadOnly))
        throw EPictureError("Could not create image stream");
    if (stream.size() != memory.size())
        throw EPictureError("Empty image stream created");

    QImageReader reader(&stream);
    reader.setDecideFormatFromContent(true);
    QImage image;
    if (!reader.read(&image))
        throw EPictureError("Could not load image. Invalid format");
    if (image.isNull())
        throw EPictureError("Could not load image");

    // The GIF reader paints a frame onto the whole logical screen; the picture is the frame
    // itself, placed by the caller at its left/top inside that screen.
    if (selection.frameFound && selection.frameWidth > 0 && selection.frameHeight > 0) {
        const QRect frameRect = QRect(m_frameLeft, m_frameTop, selection.frameWidth, selection.frameHeight)
                                    .intersected(image.rect());
        if (!frameRect.isEmpty() && frameRect != image.rect())
            image = image.copy(frameRect);
    }

    m_image = image;
    // Decoded sizes are kept in 0.01 mm as measured on a 96 per inch screen.
    m_widthHiMetric = MulDiv(image.width(), kHiMetricPerInch, 96);
    m_heightHiMetric = MulDiv(image.height(), kHiMetricPerInch, 96);
}

void THTMLPicture::Changed()
{
    if (OnChange)
        OnChange();
}
