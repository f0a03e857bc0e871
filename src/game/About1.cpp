#include "game/About1.h"

#include "ui/AboutBx.h"

#include <QCoreApplication>
#include <QString>

namespace stakko {

void SetUpAbout1(qz::TAbout& about) {
    about.setHelpContext(0);
    about.setCaption(QCoreApplication::translate("stakko::About1", "Info"));
    about.setImageName(QStringLiteral("info_pic"));
    about.setAlignment(qz::taCenter);
    about.setHead1(QStringLiteral("Stakko"));
    about.setInstit(
        QCoreApplication::translate("stakko::About1", "Vomb Spielwerkstatt, Musterstadt"));
    about.setCopyright(
        QCoreApplication::translate("stakko::About1", "© Die Stakko-Macher 1996, %yyyy%"));
    about.setWWW(QStringLiteral("https://www.example.com/stakko/"));
    about.seteMail(QStringLiteral("stakko@example.com?subject=Stakko"));
    about.sethelpBtnText(QCoreApplication::translate("stakko::About1", "&Hilfe"));
}

} // namespace stakko
