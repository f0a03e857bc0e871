#include "game/About1.h"

#include "ui/AboutBx.h"

#include <QString>

namespace stakko {

void SetUpAbout1(qz::TAbout& about) {
    about.setHelpContext(0);
    about.setCaption(QStringLiteral("Info"));
    about.setImageName(QStringLiteral("info_pic"));
    about.setAlignment(qz::taCenter);
    about.setHead1(QStringLiteral("Stakko"));
    about.setInstit(QStringLiteral("Vomb Spielwerkstatt, Musterstadt"));
    about.setCopyright(QStringLiteral("© Die Stakko-Macher 1996, %yyyy%"));
    about.setWWW(QStringLiteral("https://www.example.com/stakko/"));
    about.seteMail(QStringLiteral("stakko@example.com?subject=Stakko"));
    about.sethelpBtnText(QStringLiteral("&Hilfe"));
}

} // namespace stakko
