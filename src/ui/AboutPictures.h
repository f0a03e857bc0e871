#pragma once
// The pictures of the About box: the program's icon made into a picture
// with a transparent colour, and the bitmap resources of the program,
// looked up by name.
//
// A program's bitmap resources are its Qt resources under ":/bitmaps/",
// named by their file name without extension; names are compared without
// regard to case, as resource names always are:
//   LoadBitmapResource("info_pic")   // ":/bitmaps/INFO_PIC.png"

#include <QImage>
#include <QPixmap>
#include <QString>

class QIcon;

namespace qz {

// The icon as an RGB picture of `size`: drawn on white, the colour of its
// bottom-left pixel becomes transparent; when that colour is white, it is
// drawn again on (254, 255, 255), so that the icon's own white stays.
// A null icon or an empty size gives a null picture.
[[nodiscard]] QPixmap IconPicture(const QIcon& icon, const QSize& size);

// The colour of the bottom-left pixel made transparent, as a picture
// control shows a bitmap marked transparent. Pictures with an alpha
// channel of their own keep it.
[[nodiscard]] QPixmap TransparentPicture(const QImage& image);

// The bitmap resource `name`; throws EQZError "Ressource <name> nicht
// gefunden" when the program has none of that name.
[[nodiscard]] QImage LoadBitmapResource(const QString& name);

} // namespace qz
