// The real game with its real settings file, started one drop away from a
// won game: 23 rows removed, the two bottom rows full but for the square's
// two columns, the square about to fall. Space then removes the 24th and
// 25th rows, and the game ends with 452 points. Only the end-to-end tests
// of the record dialog run it; everything else is what the program does.
#include "board/Figur.h"
#include "board/ScoreObj.h"
#include "game/GameInfo.h"
#include "game/RecordKeeping.h"
#include "game/SessionEnd.h"
#include "game/Stakko.h"
#include "settings/QZ_UsrSettings.h"
#include "settings/SettingsLocation.h"
#include "text/MsgBox.h"
#include "ui/comvcl.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    qz::SetMsgBox(std::make_unique<qz::TMsgBoxWin>());
    stakko::TSessionEnd sessionEnd; // signals end the game as they do in the program
    qz::GetUserSettings();
    stakko::PrepareSettingsSaving(qz::UserSettings());
    QApplication::setApplicationName(stakko::ApplicationTitle());

    int result = 0;
    {
        stakko::T_Stakko window;
        sessionEnd.Attach(window);
        window.show();
        using stakko::Field;
        for (int y : {18, 19})
            for (int x = 0; x < stakko::TField::PlayColumns; ++x)
                Field.Set(x, y, x == 4 || x == 5 ? stakko::ENone : stakko::EL);
        window.ScoreObj().CompletedLines = 23;
        window.ScoreObj().Show();
        window.Game().SetPieces(stakko::EO, window.NextFigur().Typ);
        result = app.exec();
    }
    qz::FreeUserSettings();
    return result;
}
