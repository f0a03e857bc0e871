#include "game/PngPicture.h"

#include <QImage>
#include <QImageReader>

namespace stakko {

QPixmap PngPicture(const QString& path) {
    QImageReader reader(path, "png");
    // Without detection by content only the format named is tried.
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

} // namespace stakko
