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
    <name>qz::BlockReading</name>
    <message>
        <source>(Speicher)</source>
        <translation>(memory)</translation>
    </message>
    <message>
        <source>Fehler beim Lesen der Datei &quot;%1&quot; (%2).</source>
        <translation>Error reading the file &quot;%1&quot; (%2).</translation>
    </message>
</context>
<context>
    <name>qz::FileReading</name>
    <message>
        <source>Die Datei &quot;%1&quot; gibt es nicht.</source>
        <translation>The file &quot;%1&quot; does not exist.</translation>
    </message>
    <message>
        <source>eine Pipe</source>
        <translation>a pipe</translation>
    </message>
    <message>
        <source>ein Gerät</source>
        <translation>a device</translation>
    </message>
    <message>
        <source>ein Socket</source>
        <translation>a socket</translation>
    </message>
    <message>
        <source>Die Datei &quot;%1&quot; darf nicht gelesen werden (keine Berechtigung).</source>
        <translation>The file &quot;%1&quot; may not be read (permission denied).</translation>
    </message>
    <message>
        <source>Die Datei &quot;%1&quot; kann nicht zum Lesen geöffnet werden, sie wird von einem anderen Programm benutzt.</source>
        <translation>The file &quot;%1&quot; cannot be opened for reading: another program is using it.</translation>
    </message>
    <message>
        <source>Die Datei &quot;%1&quot; kann nicht zum Lesen geöffnet werden (%2).</source>
        <translation>The file &quot;%1&quot; cannot be opened for reading (%2).</translation>
    </message>
    <message>
        <source>Die Datei &quot;%1&quot; ist mit %2 Bytes zu groß zum Lesen (höchstens %3 Bytes).</source>
        <translation>The file &quot;%1&quot; is too large to read: %2 bytes (at most %3 bytes).</translation>
    </message>
</context>
<context>
    <name>qz::Inflate</name>
    <message>
        <source>zlib-Fehler %1</source>
        <translation>zlib error %1</translation>
    </message>
    <message>
        <source>Die komprimierten Daten der Datei &quot;%1&quot; sind unvollständig.</source>
        <translation>The compressed data of the file &quot;%1&quot; are incomplete.</translation>
    </message>
    <message>
        <source>Die Datei &quot;%1&quot; ist entpackt größer als %2 MiB und wird nicht gelesen.</source>
        <translation>The file &quot;%1&quot; is larger than %2 MiB when unpacked and is not read.</translation>
    </message>
    <message>
        <source>Die Datei &quot;%1&quot; kann nicht entpackt werden (%2).</source>
        <translation>The file &quot;%1&quot; cannot be unpacked (%2).</translation>
    </message>
    <message>
        <source>Die komprimierten Daten der Datei &quot;%1&quot; sind beschädigt (%2).</source>
        <translation>The compressed data of the file &quot;%1&quot; are damaged (%2).</translation>
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
    <name>qz::QZ_Files</name>
    <message>
        <source>0-Byte-Datei</source>
        <translation>empty file (0 bytes)</translation>
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
<context>
    <name>qz::platform</name>
    <message>
        <source>keine Berechtigung</source>
        <translation>permission denied</translation>
    </message>
    <message>
        <source>nicht vorhanden</source>
        <translation>does not exist</translation>
    </message>
    <message>
        <source>ein Teil des Pfades ist kein Ordner</source>
        <translation>a part of the path is not a folder</translation>
    </message>
    <message>
        <source>ist ein Ordner</source>
        <translation>is a folder</translation>
    </message>
    <message>
        <source>ist schon vorhanden</source>
        <translation>already exists</translation>
    </message>
    <message>
        <source>kein Platz mehr auf dem Datenträger</source>
        <translation>the disk is full</translation>
    </message>
    <message>
        <source>der Datenträger ist schreibgeschützt</source>
        <translation>the disk is read-only</translation>
    </message>
    <message>
        <source>zu viele symbolische Verknüpfungen</source>
        <translation>too many symbolic links</translation>
    </message>
    <message>
        <source>der Name ist zu lang</source>
        <translation>the name is too long</translation>
    </message>
    <message>
        <source>Ein-/Ausgabefehler</source>
        <translation>input/output error</translation>
    </message>
    <message>
        <source>Systemfehler %1</source>
        <translation>system error %1</translation>
    </message>
</context>
</TS>
