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
constexpr qint64 kMaxFileBytes = qint64(64) * 1024 * 1024;

// Reads a picture file with a hard cap on the bytes actually read. The size the file system
// reports is not trusted: files under /proc report 0 and then stream without end, and a file
// may grow while it is read. Reading stops one byte past the reported size, and a file that
// has more to give than it said is refused, as is anything above the cap.
QByteArray ReadPictureFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > kMaxFileBytes)
        throw EPictureError("File cannot be opened");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw EPictureError("File cannot be opened");
    const qint64 expected = info.size();
    QByteArray bytes(qsizetype(expected + 1), Qt::Uninitialized);
    qint64 got = 0;
    while (got < expected + 1) {
        const qint64 n = file.read(bytes.data() + got, expected + 1 - got);
        if (n <= 0)
            break;
        got += n;
    }
    if (got > expected)
        throw EPictureError("File cannot be opened");
    bytes.truncate(qsizetype(got));
    return bytes;
}

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
    // A screen size read from a header whose picture never decoded lays out nothing.
    if (m_image.isNull())
        return 0;
    return m_logicalWidth != 0 ? m_logicalWidth : Width();
}

int THTMLPicture::LayoutHeight() const
{
    if (m_image.isNull())
        return 0;
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
        SetData(ReadPictureFile(path));
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
    if (pixelWidth == m_image.width() && pixelHeight == m_image.height()) {
        canvas.DrawImage(rect.left, rect.top, m_image);
        return;
    }
    // At another resolution (a printer) the painter scales while it draws, so only what the
    // device shows is ever produced: a scaled copy of a large picture at 1200 dpi would need
    // gigabytes.
    const TPoint at = canvas.LPtoDP(TPoint { rect.left, rect.top });
    const TPoint topLeft = canvas.DPtoLP(at);
    const TPoint bottomRight = canvas.DPtoLP(TPoint { at.x + pixelWidth, at.y + pixelHeight });
    canvas.StretchDrawImage(TRect { topLeft.x, topLeft.y, bottomRight.x, bottomRight.y }, m_image);
}

void THTMLPicture::SetData(const QByteArray& bytes)
{
    m_data = bytes;
    // New bytes: neither the old picture nor the old frame count describe them.
    m_image = QImage();
    m_widthHiMetric = m_heightHiMetric = 0;
    m_frameCount = -1;
    Decode(KeepImage::No);
}

void THTMLPicture::Decode(KeepImage keepOnFailure)
{
    try {
        DecodeFrame(keepOnFailure);
    } catch (...) {
        // Whatever the header promised, a picture that did not decode has nothing to lay out
        // or draw; the bytes stay for saving.
        if (m_image.isNull()) {
            m_empty = true;
            m_frameLeft = m_frameTop = m_logicalWidth = m_logicalHeight = 0;
        }
        throw;
    }
    m_empty = false;
}

void THTMLPicture::DecodeFrame(KeepImage keepOnFailure)
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
