#pragma once
// The main window's About box and the values it is given, as a form
// would set them: the headline, the picture, the makers' lines and links.

namespace qz {
class TAbout;
}

namespace stakko {

// Gives `about` the main window's values: caption "Info", picture
// "info_pic", headline "Stakko", the makers' institution, copyright with
// the year of the program file, web and mail address, no help button.
void SetUpAbout1(qz::TAbout& about);

} // namespace stakko
