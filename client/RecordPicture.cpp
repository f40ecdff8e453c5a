#include "RecordPicture.h"

#include <QBuffer>
#include <QImageReader>

namespace {

// A decoded JPEG picture takes at most four bytes a pixel. Qt's image readers refuse to allocate more than their
// limit (256 MB by default, less than the tallest table view picture needs), so the limit is the largest picture
// that passes the header check: every such picture decodes, and nothing larger gets memory even if a header lied.
constexpr int ReaderAllocationLimitMB = static_cast<int>((MaxRecordPicturePixels * 4 + (1 << 20) - 1) >> 20);

}  // namespace

QImage DecodeRecordPicture(const std::string& bytes)
{
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer device(&data);
    device.open(QIODevice::ReadOnly);
    QImageReader reader(&device, "JPG");
    // Only the header is read for the size; a picture without one, or too large, is not decoded.
    const QSize size = reader.size();
    if (!size.isValid() || static_cast<long long>(size.width()) * size.height() > MaxRecordPicturePixels)
        return QImage();
    QImageReader::setAllocationLimit(ReaderAllocationLimitMB);
    QImage picture;
    return reader.read(&picture) ? picture : QImage();
}
