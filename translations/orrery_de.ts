<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>CAboutDlg</name>
    <message>
        <source>About %1</source>
        <translation>Über %1</translation>
    </message>
    <message>
        <source>%1, Version %2</source>
        <translation>%1, Version %2</translation>
    </message>
    <message>
        <source>Free software under the MIT License</source>
        <translation>Freie Software unter der MIT-Lizenz</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>CFieldEdit</name>
    <message>
        <source>Value out of range</source>
        <translation>Wert außerhalb des zulässigen Bereichs</translation>
    </message>
</context>
<context>
    <name>COrreryDlg</name>
    <message>
        <source>&amp;Profile</source>
        <translation>&amp;Profil</translation>
    </message>
    <message>
        <source>Add D&amp;evice</source>
        <translation>&amp;Gerät hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Remove Device</source>
        <translation>Gerät ent&amp;fernen</translation>
    </message>
    <message>
        <source>Rename Device</source>
        <translation>Gerät umbenennen</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Cop&amp;y source directly</source>
        <translation>&amp;Quelle direkt kopieren</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Save &amp;As</source>
        <translation>Speichern &amp;unter</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>&amp;File name</source>
        <translation>Dat&amp;einame</translation>
    </message>
    <message>
        <source>Video</source>
        <translation>Video</translation>
    </message>
    <message>
        <source>x</source>
        <translation>x</translation>
    </message>
    <message>
        <source>Ma&amp;x bitrate (kbps)</source>
        <translation>Ma&amp;x. Bitrate (kbps)</translation>
    </message>
    <message>
        <source>Default &amp;bitrate (kbps)</source>
        <translation>Bit&amp;rate (kbps)</translation>
    </message>
    <message>
        <source>C&amp;odec</source>
        <translation>C&amp;odec</translation>
    </message>
    <message>
        <source>Output file for&amp;mat</source>
        <translation>Ausgabefor&amp;mat</translation>
    </message>
    <message>
        <source>Container</source>
        <translation>Container</translation>
    </message>
    <message>
        <source>Profile</source>
        <translation>Profil</translation>
    </message>
    <message>
        <source>Profile descr&amp;iption</source>
        <translation>Profilbeschre&amp;ibung</translation>
    </message>
    <message>
        <source>Profile fi&amp;le path</source>
        <translation>Pfad der Profi&amp;ldatei</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Gerät</translation>
    </message>
    <message>
        <source>Audio</source>
        <translation>Audio</translation>
    </message>
    <message>
        <source>Co&amp;dec</source>
        <translation>Co&amp;dec</translation>
    </message>
    <message>
        <source>Encodin&amp;g Method</source>
        <translation>&amp;Kodierverfahren</translation>
    </message>
    <message>
        <source>&amp;Width</source>
        <translation>&amp;Breite</translation>
    </message>
    <message>
        <source>&amp;Height</source>
        <translation>&amp;Höhe</translation>
    </message>
    <message>
        <source>&amp;Video + Audio</source>
        <translation>&amp;Video + Audio</translation>
    </message>
    <message>
        <source>A&amp;udio Only</source>
        <translation>Nur &amp;Audio</translation>
    </message>
    <message>
        <source>Output &amp;type</source>
        <translation>Ausgabe&amp;typ</translation>
    </message>
    <message>
        <source>Profile &amp;name</source>
        <translation>Profil&amp;name</translation>
    </message>
    <message>
        <source>Frame Resolution</source>
        <translation>Bildgröße</translation>
    </message>
    <message>
        <source>Framerate</source>
        <translation>Bildrate</translation>
    </message>
    <message>
        <source>Samplerate</source>
        <translation>Abtastrate</translation>
    </message>
    <message>
        <source>Bitrate</source>
        <translation>Bitrate</translation>
    </message>
    <message>
        <source>Device name</source>
        <translation>Gerätename</translation>
    </message>
    <message>
        <source>Default bitrate (kbps)</source>
        <translation>Standardbitrate (kbps)</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>Standard</translation>
    </message>
</context>
<context>
    <name>CQtPrompt</name>
    <message>
        <source>Discard changes</source>
        <translation>Änderungen verwerfen</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 ist bereits vorhanden.
Soll die Datei ersetzt werden?</translation>
    </message>
</context>
<context>
    <name>QLineEdit</name>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
</context>
<context>
    <name>StringTable</name>
    <message>
        <source>&amp;About Kestro Orrery...</source>
        <translation>Ü&amp;ber Kestro Orrery...</translation>
    </message>
    <message>
        <source>Do you want to save the changed profile?</source>
        <translation>Möchten Sie das geänderte Profil speichern?</translation>
    </message>
    <message>
        <source>All the profiles which belong to device (%s) will be deleted. Are you sure to do it?</source>
        <translation>Alle Profile des Geräts (%s) werden gelöscht. Möchten Sie das wirklich?</translation>
    </message>
    <message>
        <source>Profile saved successfully!</source>
        <translation>Das Profil wurde gespeichert.</translation>
    </message>
    <message>
        <source>The profile can&apos;t be saved since it belongs to Kestro. Do you want to save it as another file?</source>
        <translation>Das Profil kann nicht gespeichert werden, da es zu Kestro gehört. Möchten Sie es als andere Datei speichern?</translation>
    </message>
    <message>
        <source>The profile name can&apos;t be empty!</source>
        <translation>Der Profilname darf nicht leer sein.</translation>
    </message>
    <message>
        <source>The profile could not be saved.</source>
        <translation>Das Profil konnte nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>The device name can&apos;t be used as a file name.</source>
        <translation>Der Gerätename kann nicht als Dateiname verwendet werden.</translation>
    </message>
    <message>
        <source>The Profiles folder could not be created:</source>
        <translation>Der Profiles-Ordner konnte nicht angelegt werden:</translation>
    </message>
    <message>
        <source>The Profiles folder could not be read:</source>
        <translation>Der Profiles-Ordner konnte nicht gelesen werden:</translation>
    </message>
    <message>
        <source>The &quot;Path&quot; value in the settings file %s names the converter&apos;s folder, whose Profiles folder holds the profiles. Until that folder can be used, profiles are kept only while the editor runs; use Save As to save one where you can write.</source>
        <translation>Der Wert „Path“ in der Einstellungsdatei %s nennt den Ordner des Konverters, dessen Profiles-Ordner die Profile enthält. Solange dieser Ordner nicht nutzbar ist, bleiben Profile nur erhalten, solange der Editor läuft; mit „Speichern unter“ speichern Sie ein Profil dort, wo Sie schreiben dürfen.</translation>
    </message>
    <message>
        <source>A device named &quot;%s&quot; exists already; its name differs only in upper and lower case.</source>
        <translation>Es gibt bereits ein Gerät namens „%s“; die Namen unterscheiden sich nur in der Groß- und Kleinschreibung.</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>Re&amp;vert to Saved</source>
        <translation>Auf &amp;gespeicherten Stand zurücksetzen</translation>
    </message>
    <message>
        <source>&amp;Duplicate</source>
        <translation>&amp;Duplizieren</translation>
    </message>
    <message>
        <source>Re&amp;name...</source>
        <translation>&amp;Umbenennen...</translation>
    </message>
    <message>
        <source>De&amp;lete...</source>
        <translation>&amp;Löschen...</translation>
    </message>
    <message>
        <source>A built-in profile can&apos;t be renamed. Duplicate it to get a copy of your own.</source>
        <translation>Ein mitgeliefertes Profil kann nicht umbenannt werden. Duplizieren Sie es, um eine eigene Kopie zu erhalten.</translation>
    </message>
    <message>
        <source>A built-in profile can&apos;t be deleted.</source>
        <translation>Ein mitgeliefertes Profil kann nicht gelöscht werden.</translation>
    </message>
    <message>
        <source>New name of the profile (its file is renamed with it):</source>
        <translation>Neuer Name des Profils (seine Datei wird mit umbenannt):</translation>
    </message>
    <message>
        <source>The profile can&apos;t be renamed: a file named &quot;%s&quot; exists already in the Profiles folder.</source>
        <translation>Das Profil kann nicht umbenannt werden: Im Profiles-Ordner gibt es bereits eine Datei namens „%s“.</translation>
    </message>
    <message>
        <source>The profile can&apos;t be renamed: the name can&apos;t be used in a file name (it must not be empty, begin or end with a space, or hold &quot;/&quot;, &quot;\&quot; or control characters).</source>
        <translation>Das Profil kann nicht umbenannt werden: Der Name taugt nicht als Dateiname (er darf nicht leer sein, nicht mit einem Leerzeichen beginnen oder enden und weder „/“, „\“ noch Steuerzeichen enthalten).</translation>
    </message>
    <message>
        <source>Move the profile file to the trash?</source>
        <translation>Die Profildatei in den Papierkorb verschieben?</translation>
    </message>
    <message>
        <source>The profile file could not be moved to the trash or deleted.</source>
        <translation>Die Profildatei konnte weder in den Papierkorb verschoben noch gelöscht werden.</translation>
    </message>
    <message>
        <source>Discard your changes and show the profile as its file holds it?</source>
        <translation>Ihre Änderungen verwerfen und das Profil so zeigen, wie es in seiner Datei steht?</translation>
    </message>
    <message>
        <source>Another program changed the profile file. Reload it (your changes are lost) or keep your changes?</source>
        <translation>Ein anderes Programm hat die Profildatei geändert. Neu laden (Ihre Änderungen gehen verloren) oder Ihre Änderungen behalten?</translation>
    </message>
    <message>
        <source>Another program changed the profile file since it was loaded. Do you want to overwrite it with your profile?</source>
        <translation>Ein anderes Programm hat die Profildatei seit dem Laden geändert. Möchten Sie sie mit Ihrem Profil überschreiben?</translation>
    </message>
    <message>
        <source>(built-in)</source>
        <translation>(mitgeliefert)</translation>
    </message>
    <message>
        <source>The profile could not be renamed.</source>
        <translation>Das Profil konnte nicht umbenannt werden.</translation>
    </message>
    <message>
        <source>The device and profile shown could not be kept for the next start.</source>
        <translation>Das angezeigte Gerät und Profil konnten nicht für den nächsten Start gemerkt werden.</translation>
    </message>
    <message>
        <source>&amp;Reload</source>
        <translation>&amp;Neu laden</translation>
    </message>
    <message>
        <source>&amp;Keep Mine</source>
        <translation>&amp;Meine behalten</translation>
    </message>
    <message>
        <source>%s copy</source>
        <translation>%s Kopie</translation>
    </message>
    <message>
        <source>There is no Profiles folder to write the profile to.</source>
        <translation>Es gibt keinen Profiles-Ordner, in den das Profil geschrieben werden kann.</translation>
    </message>
    <message>
        <source>Rename Profile</source>
        <translation>Profil umbenennen</translation>
    </message>
    <message>
        <source>The default bitrate must lie between %s and %s kbps.</source>
        <translation>Die Standardbitrate muss zwischen %s und %s kbps liegen.</translation>
    </message>
    <message>
        <source>The maximum bitrate must not be below the default bitrate of %s kbps.</source>
        <translation>Die maximale Bitrate darf die Standardbitrate von %s kbps nicht unterschreiten.</translation>
    </message>
    <message>
        <source>Profile files that go to the desktop trash: %s</source>
        <translation>Profildateien, die in den Papierkorb wandern: %s</translation>
    </message>
    <message>
        <source>Among them, shipped with the converter: %s</source>
        <translation>Davon mit dem Konverter mitgeliefert: %s</translation>
    </message>
    <message>
        <source>These profile files could neither be moved to the trash nor deleted; the device keeps them:</source>
        <translation>Diese Profildateien konnten weder in den Papierkorb verschoben noch gelöscht werden; das Gerät behält sie:</translation>
    </message>
    <message>
        <source>Fast encoding (1-pass)</source>
        <translation>Schnell (1 Durchgang)</translation>
    </message>
    <message>
        <source>High quality encoding (2-pass)</source>
        <translation>Hohe Qualität (2 Durchgänge)</translation>
    </message>
    <message>
        <source>Same as source</source>
        <translation>Wie Quelle</translation>
    </message>
    <message>
        <source>Enter both a width and a height.</source>
        <translation>Geben Sie eine Breite und eine Höhe ein.</translation>
    </message>
    <message>
        <source>A frame size is a whole number of pixels wide and high.</source>
        <translation>Breite und Höhe einer Bildgröße sind ganze Zahlen von Pixeln.</translation>
    </message>
    <message>
        <source>A frame size needs a width and a height above 0.</source>
        <translation>Breite und Höhe einer Bildgröße müssen größer als 0 sein.</translation>
    </message>
    <message>
        <source>%s is already in the list.</source>
        <translation>%s ist bereits in der Liste.</translation>
    </message>
    <message>
        <source>Kestro Profiles file(*.xml)</source>
        <translation>Kestro-Profildatei (*.xml)</translation>
    </message>
    <message>
        <source>No state folder</source>
        <translation>Kein Ordner für den Zustand</translation>
    </message>
</context>
</TS>
