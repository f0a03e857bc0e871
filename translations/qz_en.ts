<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="de">
<context>
    <name>qz::AboutPictures</name>
    <message>
        <source>Ressource %1 nicht gefunden</source>
        <translation>Resource %1 not found</translation>
    </message>
</context>
<context>
    <name>qz::MsgDialog</name>
    <message>
        <source>&amp;Ja</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>&amp;Nein</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>&amp;Abbrechen</source>
        <translation>&amp;Abort</translation>
    </message>
    <message>
        <source>&amp;Wiederholen</source>
        <translation>&amp;Retry</translation>
    </message>
    <message>
        <source>&amp;Ignorieren</source>
        <translation>&amp;Ignore</translation>
    </message>
    <message>
        <source>&amp;Alle</source>
        <translation>&amp;All</translation>
    </message>
    <message>
        <source>&amp;Alle Nein</source>
        <translation>N&amp;o to All</translation>
    </message>
    <message>
        <source>A&amp;lle Ja</source>
        <translation>Yes to A&amp;ll</translation>
    </message>
    <message>
        <source>&amp;Hilfe</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>S&amp;chließen</source>
        <translation>&amp;Close</translation>
    </message>
</context>
<context>
    <name>qz::SettingsLocation</name>
    <message>
        <source>dort ist schon eine Datei</source>
        <translation>a file is already there</translation>
    </message>
    <message>
        <source>dort ist keine gewöhnliche Datei</source>
        <translation>what is there is not a regular file</translation>
    </message>
    <message>
        <source>Der Ordner &quot;%1&quot; für die Datei &quot;%2&quot; kann nicht angelegt werden.</source>
        <translation>The folder &quot;%1&quot; for the file &quot;%2&quot; cannot be created.</translation>
    </message>
    <message>
        <source>Die Datei &quot;%1&quot; kann nicht nach &quot;%2&quot; übernommen werden: %3.</source>
        <translation>The file &quot;%1&quot; cannot be copied to &quot;%2&quot;: %3.</translation>
    </message>
</context>
<context>
    <name>qz::SystemFolders</name>
    <message>
        <source>Windows-Pfad fehlerhaft oder unvollständig</source>
        <translation>The Windows folder path is wrong or incomplete</translation>
    </message>
</context>
<context>
    <name>qz::TAbout</name>
    <message>
        <source>Info</source>
        <translation>About</translation>
    </message>
    <message>
        <source>&amp;Hilfe</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>Hier finden Sie weitere Informationen im Internet.</source>
        <translation>More information on the web.</translation>
    </message>
    <message>
        <source>Eine Email an den Programmautor senden...</source>
        <translation>Send an e-mail to the author...</translation>
    </message>
</context>
<context>
    <name>qz::TIni</name>
    <message>
        <source>%1 ist keine gewöhnliche Datei</source>
        <translation>%1 is not a regular file</translation>
    </message>
    <message>
        <source>kein Platz mehr auf dem Datenträger</source>
        <translation>the disk is full</translation>
    </message>
    <message>
        <source>die Datei oder ihr Ordner ist schreibgeschützt</source>
        <translation>the file or its folder is read-only</translation>
    </message>
    <message>
        <source>keine Berechtigung</source>
        <translation>permission denied</translation>
    </message>
    <message>
        <source>der Datenträger hat das Schreiben nicht rechtzeitig beendet</source>
        <translation>the disk did not finish writing in time</translation>
    </message>
    <message>
        <source>Die Einstellungen konnten nicht in der Datei <byte value="xd"/>%1<byte value="xd"/> gespeichert werden: %2.</source>
        <translation>The settings could not be saved in the file <byte value="xd"/>%1<byte value="xd"/> Reason: %2.</translation>
    </message>
    <message>
        <source><byte value="xd"/>Die letzten Änderungen sind möglicherweise verloren.</source>
        <translation><byte value="xd"/>The latest changes may have been lost.</translation>
    </message>
    <message>
        <source><byte value="xd"/>Sie bleiben vorgemerkt und werden beim nächsten Speichern und beim Beenden erneut geschrieben.</source>
        <translation><byte value="xd"/>They are kept and will be written again at the next save and when the program ends.</translation>
    </message>
    <message>
        <source>Die Datei <byte value="xd"/>%1<byte value="xd"/> kann nicht gelesen werden: %2</source>
        <translation>The file <byte value="xd"/>%1<byte value="xd"/> cannot be read: %2</translation>
    </message>
    <message>
        <source>der Ordner %1 kann nicht angelegt werden</source>
        <translation>the folder %1 cannot be created</translation>
    </message>
    <message>
        <source>die Kopie ihres bisherigen Inhalts kann nicht geschrieben werden</source>
        <translation>the copy of its previous contents cannot be written</translation>
    </message>
    <message>
        <source>Die Datei <byte value="xd"/>%1<byte value="xd"/> enthält in Zeile %2 ein nicht interpretierbares Zeichen.</source>
        <translation>The file <byte value="xd"/>%1<byte value="xd"/> contains an unreadable character in line %2.</translation>
    </message>
    <message>
        <source><byte value="xd"/>Der bisherige Inhalt wird vor dem nächsten Speichern als<byte value="xd"/>%1<byte value="xd"/>aufbewahrt.</source>
        <translation><byte value="xd"/>Before the next save, its previous contents are kept as<byte value="xd"/>%1<byte value="xd"/></translation>
    </message>
    <message>
        <source><byte value="xd"/>Dafür wird die älteste aufbewahrte Kopie vom %1 ersetzt.</source>
        <translation><byte value="xd"/>This replaces the oldest kept copy, from %1.</translation>
    </message>
</context>
</TS>
