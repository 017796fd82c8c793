#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QImage>

namespace report {

// The image as PNG bytes, the one picture format the layouts and the exports write.
inline QByteArray pngBytes(const QImage& image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

} // namespace report
