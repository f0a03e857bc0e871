#pragma once
// Reads a PNG picture of the program's resources with Qt's own PNG reader
// alone. Asked for a picture by name, even with the kind given, Qt first
// loads every image format plug-in of the system (GIF, ICO, JPEG, SVG with
// its library) to ask whether one of them reads it: time and memory before
// the first frame for nothing.
//
//   const QPixmap on = PngPicture(QStringLiteral(":/icons/SoundOn.png"));

#include <QPixmap>
#include <QString>

namespace stakko {

// A null pixmap when the picture is missing or is no PNG.
[[nodiscard]] QPixmap PngPicture(const QString& path);

} // namespace stakko
