// The peers of the start-up benchmark: the smallest Qt Widgets program
// that shows a window of the game's size; with BARE_WITH_SOUND the same
// program linking Qt Multimedia, loading one sound effect (the game's start
// sound, built in the same way) and playing it as the game does at start;
// with BARE_WITH_TEXT as well, one line of text in the window, the least
// that any window showing text pays for its fonts; with BARE_WITH_BUTTON
// besides a push button under the text (a window with a label, a button
// and a sound, the floor a game window is held to); with
// BARE_LINKS_MULTIMEDIA the bare window linking Qt Multimedia without using
// it, what loading its libraries costs by itself.
#include <QApplication>
#include <QWidget>

#ifdef BARE_WITH_TEXT
#include <QLabel>
#endif
#ifdef BARE_WITH_BUTTON
#include <QPushButton>
#endif

#if defined(BARE_WITH_SOUND) || defined(BARE_LINKS_MULTIMEDIA)
#include <QSoundEffect>
#include <QUrl>
#endif

int main(int argc, char** argv) {
    QApplication app(argc, argv);
#ifdef BARE_LINKS_MULTIMEDIA
    // Never true: the program needs Qt Multimedia's libraries, uses none.
    if (argc > 1000) {
        QSoundEffect unused;
        unused.play();
    }
#endif
#ifdef BARE_WITH_SOUND
    QSoundEffect effect;
    effect.setSource(QUrl(QStringLiteral("qrc:/sounds/space.wav")));
    effect.play();
#endif
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare"));
    window.resize(378, 408);
#ifdef BARE_WITH_TEXT
    QLabel label(QStringLiteral("noch 25 Zeilen"), &window);
    label.move(10, 10);
#endif
#ifdef BARE_WITH_BUTTON
    QPushButton button(QStringLiteral("Neues Spiel"), &window);
    button.move(10, 40);
#endif
    window.show();
    return app.exec();
}
