<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="de">
<context>
    <name>TWinnerForm</name>
    <message>
        <source>Name des Gewinners</source>
        <translation>Winner&apos;s Name</translation>
    </message>
    <message>
        <source>Ihr Name:</source>
        <translation>Your name:</translation>
    </message>
</context>
<context>
    <name>T_Stakko</name>
    <message>
        <source>Sound ein-/ausschalten</source>
        <translation>Sound on/off</translation>
    </message>
    <message>
        <source>&amp;Info</source>
        <translation>&amp;About</translation>
    </message>
    <message>
        <source>Neu beginnen</source>
        <translation>Start a new game</translation>
    </message>
    <message>
        <source>&amp;Neu</source>
        <translation>&amp;New</translation>
    </message>
    <message>
        <source>&amp;Hilfe</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>mit/ohne Vorschau</source>
        <translation>Preview on/off</translation>
    </message>
    <message>
        <source>Stakko beenden</source>
        <translation>Quit Stakko</translation>
    </message>
    <message>
        <source>&amp;Ende</source>
        <translation>&amp;Quit</translation>
    </message>
</context>
<context>
    <name>stakko::About1</name>
    <message>
        <source>Info</source>
        <translation>About Stakko</translation>
    </message>
    <message>
        <source>Vomb Spielwerkstatt, Musterstadt</source>
        <translation>Vomb Games Workshop, Musterstadt</translation>
    </message>
    <message>
        <source>© Die Stakko-Macher 1996, %yyyy%</source>
        <translation>© The makers of Stakko 1996, %yyyy%</translation>
    </message>
    <message>
        <source>&amp;Hilfe</source>
        <translation>&amp;Help</translation>
    </message>
</context>
<context>
    <name>stakko::RecordKeeping</name>
    <message>
        <source>Der Rekord konnte nicht gespeichert werden: %1.<byte value="xd"/>Datei: %2<byte value="xd"/>Er bleibt vorgemerkt und wird beim nächsten Speichern und beim Beenden erneut geschrieben.</source>
        <translation>The high score could not be saved: %1.<byte value="xd"/>File: %2<byte value="xd"/>It is kept and will be written again at the next save and when the game ends.</translation>
    </message>
</context>
<context>
    <name>stakko::TScoreObj</name>
    <message numerus="yes">
        <source>noch %1 Zeilen</source>
        <translation>
            <numerusform>%1 line to go</numerusform>
            <numerusform>%1 lines to go</numerusform>
        </translation>
    </message>
    <message>
        <source>Rekord: %1 (%2 Pkt.)</source>
        <translation>Record: %1 (%2 pts)</translation>
    </message>
</context>
<context>
    <name>stakko::T_Stakko</name>
    <message>
        <source>Ton</source>
        <translation>Sound</translation>
    </message>
    <message>
        <source>Klänge an oder aus (Alt+T)</source>
        <translation>Sound on or off (Alt+T)</translation>
    </message>
    <message>
        <source>Vorschau</source>
        <translation>Preview</translation>
    </message>
    <message>
        <source>Das nächste Teil zeigen oder verbergen (Alt+V)</source>
        <translation>Show or hide the next piece (Alt+V)</translation>
    </message>
    <message>
        <source>Spielfeld</source>
        <translation>Well</translation>
    </message>
    <message>
        <source>Statistik</source>
        <translation>Statistics</translation>
    </message>
    <message>
        <source>Entfernte Reihen, Würfe und Teile</source>
        <translation>Cleared lines, drops and pieces</translation>
    </message>
    <message>
        <source>Punkte dieses Spiels</source>
        <translation>Score of this game</translation>
    </message>
    <message>
        <source>Reihen bis zum Sieg</source>
        <translation>Lines still needed to win</translation>
    </message>
    <message>
        <source>Der Rekord und wer ihn hält</source>
        <translation>The high score and who holds it</translation>
    </message>
    <message>
        <source>Über Stakko</source>
        <translation>About Stakko</translation>
    </message>
    <message>
        <source>Ein neues Spiel beginnen</source>
        <translation>Start a new game</translation>
    </message>
    <message>
        <source>Die Hilfe zum Spiel zeigen</source>
        <translation>Show the help for the game</translation>
    </message>
    <message>
        <source>Stakko beenden</source>
        <translation>Quit Stakko</translation>
    </message>
    <message>
        <source>Hilfetext</source>
        <translation>Help text</translation>
    </message>
    <message>
        <source>Escape oder ein Klick schließt die Hilfe</source>
        <translation>Escape or a click closes the help</translation>
    </message>
    <message>
        <source>Angehalten. </source>
        <translation>Paused. </translation>
    </message>
    <message>
        <source>Teil %1 in Spalte %2, Zeile %3. </source>
        <translation>Piece %1 in column %2, row %3. </translation>
    </message>
</context>
<context>
    <name>stakko::main</name>
    <message>
        <source>Für die Einstellungsdatei &quot;%1&quot; reicht der Arbeitsspeicher nicht.</source>
        <translation>There is not enough memory for the settings file &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>Die Einstellungsdatei &quot;%1&quot; kann nicht geladen werden (%2).</source>
        <translation>The settings file &quot;%1&quot; cannot be loaded (%2).</translation>
    </message>
</context>
</TS>
