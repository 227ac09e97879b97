<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>AutostartEntry</name>
    <message>
        <source>“%1” is a link, which the recorder does not follow: remove it, then try again.</source>
        <translation>„%1“ ist eine Verknüpfung, der die Aufnahme-App nicht folgt: Entfernen Sie sie und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>“%1” is not a regular file: remove it, then try again.</source>
        <translation>„%1“ ist keine gewöhnliche Datei: Entfernen Sie sie und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>“%1” is not a folder.</source>
        <translation>„%1“ ist kein Ordner.</translation>
    </message>
    <message>
        <source>The folder “%1” cannot be created.</source>
        <translation>Der Ordner „%1“ kann nicht erstellt werden.</translation>
    </message>
    <message>
        <source>“%1” cannot be written: %2</source>
        <translation>„%1“ kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>“%1” cannot be removed: %2</source>
        <translation>„%1“ kann nicht entfernt werden: %2</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Platform plugin: xcb (X11, or Xwayland), wayland, offscreen ...</source>
        <translation>Plattform-Plugin: xcb (X11 oder Xwayland), wayland, offscreen …</translation>
    </message>
    <message>
        <source>Where the platform plugins are.</source>
        <translation>Wo die Plattform-Plugins liegen.</translation>
    </message>
    <message>
        <source>Platform theme.</source>
        <translation>Plattform-Thema.</translation>
    </message>
    <message>
        <source>An additional plugin to load; may be given more than once.</source>
        <translation>Ein zusätzlich zu ladendes Plugin; kann mehrfach angegeben werden.</translation>
    </message>
    <message>
        <source>Geometry of the first window, as WIDTHxHEIGHT+X+Y.</source>
        <translation>Geometrie des ersten Fensters, als BREITExHÖHE+X+Y.</translation>
    </message>
    <message>
        <source>Default window icon.</source>
        <translation>Standard-Fenstersymbol.</translation>
    </message>
    <message>
        <source>Title of the first window.</source>
        <translation>Titel des ersten Fensters.</translation>
    </message>
    <message>
        <source>Lays the windows out from right to left.</source>
        <translation>Ordnet die Fenster von rechts nach links an.</translation>
    </message>
    <message>
        <source>Restores the application from an earlier session.</source>
        <translation>Stellt die Anwendung aus einer früheren Sitzung wieder her.</translation>
    </message>
    <message>
        <source>Widget style, such as Fusion.</source>
        <translation>Stil der Bedienelemente, etwa Fusion.</translation>
    </message>
    <message>
        <source>Style sheet for the widgets.</source>
        <translation>Stylesheet für die Bedienelemente.</translation>
    </message>
    <message>
        <source>Says at the end how many widgets were left.</source>
        <translation>Gibt am Ende an, wie viele Bedienelemente übrig waren.</translation>
    </message>
    <message>
        <source>X display, instead of $DISPLAY.</source>
        <translation>X-Display, anstelle von $DISPLAY.</translation>
    </message>
    <message>
        <source>Instance name (ICCCM 4.1.2.5).</source>
        <translation>Instanzname (ICCCM 4.1.2.5).</translation>
    </message>
    <message>
        <source>X visual to use.</source>
        <translation>Zu verwendendes X-Visual.</translation>
    </message>
    <message>
        <source>On X11, the same as -qwindowgeometry.</source>
        <translation>Unter X11 dasselbe wie -qwindowgeometry.</translation>
    </message>
    <message>
        <source>On X11, the same as -qwindowtitle.</source>
        <translation>Unter X11 dasselbe wie -qwindowtitle.</translation>
    </message>
    <message>
        <source>On X11, the same as -qwindowicon.</source>
        <translation>Unter X11 dasselbe wie -qwindowicon.</translation>
    </message>
    <message>
        <source>Never grabs the mouse (for debuggers).</source>
        <translation>Fängt die Maus nie ein (für Debugger).</translation>
    </message>
    <message>
        <source>Grabs the mouse even in a debugger.</source>
        <translation>Fängt die Maus auch in einem Debugger ein.</translation>
    </message>
    <message>
        <source>
Qt&apos;s standard options (-platform, -style, -display, -reverse, -qwindowgeometry and the others
--help-all lists) are taken by the toolkit when the recorder runs; --record and --stop answer
beside them without a display.

Exit status:
  0  --record or --stop was carried out and printed the state it left (recording,
     paused, stopped, choosing where to save); or the recorder ended normally, or
     opened the panel of the one already running, or handed it the file to open.
  1  --record or --stop was refused or failed, and printed why (nothing is recording,
     the save dialog is open, no recorder could be reached or started ...); or the
     file to open is missing or not a regular file; or the recorder found no
     display, or could not complete the recording when it ended.
  2  The command line was wrong.
</source>
        <translation>
Die Standardoptionen von Qt (-platform, -style, -display, -reverse, -qwindowgeometry und die
übrigen, die --help-all auflistet) übernimmt das Toolkit, wenn der Rekorder läuft; --record und
--stop antworten auch neben ihnen ohne Display.

Rückgabewert:
  0  --record oder --stop wurde ausgeführt und hat den erreichten Zustand ausgegeben
     (recording, paused, stopped, choosing where to save); oder der Rekorder wurde
     normal beendet, hat das Fenster des bereits laufenden geöffnet oder ihm die zu
     öffnende Datei übergeben.
  1  --record oder --stop wurde abgelehnt oder ist fehlgeschlagen und hat den Grund
     ausgegeben (nothing is recording, der Speichern-Dialog ist offen, kein Rekorder
     war erreichbar oder startbar …); oder die zu öffnende Datei fehlt oder ist keine
     reguläre Datei; oder der Rekorder hat kein Display gefunden oder die Aufnahme
     am Ende nicht abschließen können.
  2  Die Befehlszeile war fehlerhaft.
</translation>
    </message>
    <message>
        <source>A voice recorder in the desktop&apos;s status bar. Without options it starts, or opens the panel of the one already running; given a recording, it opens that in the recorder.
--record and --stop act on the running recorder, as its buttons do, and print one line: the state they left, or why nothing was done.</source>
        <translation>Ein Sprachrekorder in der Statusleiste der Arbeitsumgebung. Ohne Optionen startet es oder öffnet das Fenster des bereits laufenden; mit einer Aufnahme öffnet es diese im Rekorder.
--record und --stop wirken auf den laufenden Rekorder wie seine Knöpfe und geben eine Zeile aus: den erreichten Zustand oder warum nichts getan wurde.</translation>
    </message>
    <message>
        <source>Record, pause or resume, as the Record/Pause button does: the first press asks where to save. Starts the recorder if it is not running.</source>
        <translation>Nimmt auf, pausiert oder setzt fort wie der Knopf Aufnehmen/Pausieren: Beim ersten Drücken wird gefragt, wo gespeichert werden soll. Startet den Rekorder, falls er nicht läuft.</translation>
    </message>
    <message>
        <source>Stop recording, as the Stop button does.</source>
        <translation>Beendet die Aufnahme wie der Knopf Stoppen.</translation>
    </message>
    <message>
        <source>A recording (.caf) to open in the recorder: the running one, or one started for it. Of several, the first is opened.</source>
        <translation>Eine Aufnahme (.caf), die im Rekorder geöffnet wird: im laufenden oder in einem dafür gestarteten. Von mehreren wird die erste geöffnet.</translation>
    </message>
</context>
<context>
    <name>LastRecordingRow</name>
    <message>
        <source>Show in Folder</source>
        <translation>Im Ordner anzeigen</translation>
    </message>
    <message>
        <source>Playback position</source>
        <translation>Wiedergabeposition</translation>
    </message>
    <message>
        <source>Stop Playing</source>
        <translation>Wiedergabe stoppen</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Abspielen</translation>
    </message>
    <message>
        <source>Last recording</source>
        <extracomment>The name of the last recording, a button that shows it in its folder (for screen readers).</extracomment>
        <translation>Letzte Aufnahme</translation>
    </message>
</context>
<context>
    <name>Launcher</name>
    <message>
        <source>The recording could not be completed: %1</source>
        <translation>Die Aufnahme konnte nicht abgeschlossen werden: %1</translation>
    </message>
</context>
<context>
    <name>LevelBar</name>
    <message>
        <source>Input level</source>
        <translation>Eingangspegel</translation>
    </message>
</context>
<context>
    <name>Microphone</name>
    <message>
        <source>The sound server stopped.</source>
        <translation>Der Soundserver wurde beendet.</translation>
    </message>
    <message>
        <source>The microphone was disconnected.</source>
        <translation>Das Mikrofon wurde getrennt.</translation>
    </message>
    <message>
        <source>The microphone could not be opened again after the pause.</source>
        <translation>Das Mikrofon konnte nach der Pause nicht wieder geöffnet werden.</translation>
    </message>
    <message>
        <source>Cannot capture the microphone: cannot start the sound thread.</source>
        <translation>Das Mikrofon kann nicht aufgenommen werden: Der Audio-Thread lässt sich nicht starten.</translation>
    </message>
    <message>
        <source>Cannot capture the microphone at %1 Hz.</source>
        <translation>Das Mikrofon kann nicht mit %1 Hz aufgenommen werden.</translation>
    </message>
    <message>
        <source>Cannot capture the microphone: out of memory.</source>
        <translation>Das Mikrofon kann nicht aufgenommen werden: Nicht genügend Arbeitsspeicher.</translation>
    </message>
    <message>
        <source>Cannot capture the microphone</source>
        <translation>Das Mikrofon kann nicht aufgenommen werden</translation>
    </message>
    <message>
        <source>No microphone found.</source>
        <translation>Kein Mikrofon gefunden.</translation>
    </message>
    <message>
        <source>Cannot capture the microphone: the sound server does not answer.</source>
        <translation>Das Mikrofon kann nicht aufgenommen werden: Der Soundserver antwortet nicht.</translation>
    </message>
    <message>
        <source>No microphone found: the sound server does not answer.</source>
        <translation>Kein Mikrofon gefunden: Der Soundserver antwortet nicht.</translation>
    </message>
    <message>
        <source>No microphone found: the sound server is not running</source>
        <translation>Kein Mikrofon gefunden: Der Soundserver läuft nicht</translation>
    </message>
    <message>
        <source>No microphone found: cannot reach the sound server</source>
        <translation>Kein Mikrofon gefunden: Der Soundserver ist nicht erreichbar</translation>
    </message>
    <message>
        <source>The microphone cannot record 16-bit mono at %1 Hz.</source>
        <translation>Das Mikrofon kann nicht in 16 Bit Mono mit %1 Hz aufnehmen.</translation>
    </message>
    <message>
        <source>Cannot capture the microphone “%1”.</source>
        <translation>Das Mikrofon „%1“ kann nicht aufgenommen werden.</translation>
    </message>
    <message>
        <source>Cannot capture the microphone: the application is not running.</source>
        <translation>Das Mikrofon kann nicht aufgenommen werden: Die Anwendung läuft nicht.</translation>
    </message>
    <message>
        <source>Cannot capture the microphone: the sound system does not answer.</source>
        <translation>Das Mikrofon kann nicht aufgenommen werden: Das Audiosystem antwortet nicht.</translation>
    </message>
    <message>
        <source>The microphone is no longer available.</source>
        <translation>Das Mikrofon ist nicht mehr verfügbar.</translation>
    </message>
</context>
<context>
    <name>Playback</name>
    <message>
        <source>Could not play the recording: %1</source>
        <translation>Die Aufnahme konnte nicht abgespielt werden: %1</translation>
    </message>
    <message>
        <source>Stop the recording to play “%1”.</source>
        <translation>Beenden Sie die Aufnahme, um „%1“ abzuspielen.</translation>
    </message>
    <message>
        <source>Could not play “%1”: %2</source>
        <translation>„%1“ konnte nicht abgespielt werden: %2</translation>
    </message>
    <message>
        <source>Cannot read “%1” any further: %2.</source>
        <translation>„%1“ kann nicht weiter gelesen werden: %2.</translation>
    </message>
    <message>
        <source>Cannot play “%1”: the file is not there.</source>
        <translation>„%1“ kann nicht abgespielt werden: Die Datei ist nicht vorhanden.</translation>
    </message>
    <message>
        <source>Cannot play “%1”: it is not a file.</source>
        <translation>„%1“ kann nicht abgespielt werden: Es ist keine Datei.</translation>
    </message>
    <message>
        <source>Cannot play “%1”: %2</source>
        <translation>„%1“ kann nicht abgespielt werden: %2</translation>
    </message>
    <message>
        <source>Cannot play “%1”: it holds no audio.</source>
        <translation>„%1“ kann nicht abgespielt werden: Die Datei enthält kein Audio.</translation>
    </message>
    <message>
        <source>Playback stopped: the sound server went away.</source>
        <translation>Wiedergabe beendet: Der Soundserver ist nicht mehr da.</translation>
    </message>
    <message>
        <source>Playback stopped: the sound server does not answer.</source>
        <translation>Wiedergabe beendet: Der Soundserver antwortet nicht.</translation>
    </message>
    <message>
        <source>Cannot play: the sound server does not answer.</source>
        <translation>Abspielen nicht möglich: Der Soundserver antwortet nicht.</translation>
    </message>
    <message>
        <source>Playback stopped: the sound output went away.</source>
        <translation>Wiedergabe beendet: Die Audioausgabe ist nicht mehr da.</translation>
    </message>
    <message>
        <source>Cannot play: cannot start the sound thread.</source>
        <translation>Abspielen nicht möglich: Der Audio-Thread lässt sich nicht starten.</translation>
    </message>
    <message>
        <source>Cannot play: out of memory.</source>
        <translation>Abspielen nicht möglich: Nicht genügend Arbeitsspeicher.</translation>
    </message>
    <message>
        <source>Cannot play: the sound server is not running</source>
        <translation>Abspielen nicht möglich: Der Soundserver läuft nicht</translation>
    </message>
    <message>
        <source>Cannot play: cannot reach the sound server</source>
        <translation>Abspielen nicht möglich: Der Soundserver ist nicht erreichbar</translation>
    </message>
    <message>
        <source>Cannot play this file</source>
        <translation>Diese Datei kann nicht abgespielt werden</translation>
    </message>
    <message>
        <source>Cannot play</source>
        <translation>Abspielen nicht möglich</translation>
    </message>
    <message>
        <source>Cannot play: no sound output</source>
        <translation>Abspielen nicht möglich: Keine Audioausgabe</translation>
    </message>
    <message>
        <source>Cannot play “%1”: %2 channels at %3 Hz are more than the sound server takes.</source>
        <translation>„%1“ kann nicht abgespielt werden: %2 Kanäle mit %3 Hz sind mehr, als der Soundserver annimmt.</translation>
    </message>
    <message>
        <source>Cannot play: no sound output found.</source>
        <translation>Abspielen nicht möglich: Keine Audioausgabe gefunden.</translation>
    </message>
    <message>
        <source>Cannot play: the sound output takes no %1 channels at %2 Hz.</source>
        <translation>Abspielen nicht möglich: Die Audioausgabe nimmt keine %1 Kanäle mit %2 Hz an.</translation>
    </message>
</context>
<context>
    <name>QualityPresets</name>
    <message>
        <source>Quality : Low</source>
        <extracomment>The settings menu&apos;s row that steps through the presets: the setting, a colon, its value.</extracomment>
        <translation>Qualität: Niedrig</translation>
    </message>
    <message>
        <source>Quality : High</source>
        <translation>Qualität: Hoch</translation>
    </message>
    <message>
        <source>Quality : Medium</source>
        <translation>Qualität: Mittel</translation>
    </message>
</context>
<context>
    <name>RecentRecordingsMenu</name>
    <message>
        <source>Recent Recordings</source>
        <translation>Letzte Aufnahmen</translation>
    </message>
    <message>
        <source>No Recordings</source>
        <translation>Keine Aufnahmen</translation>
    </message>
    <message>
        <source>Stop Playing</source>
        <translation>Wiedergabe stoppen</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Abspielen</translation>
    </message>
    <message>
        <source>Show in Folder</source>
        <translation>Im Ordner anzeigen</translation>
    </message>
    <message>
        <source>Move to Trash</source>
        <translation>In den Papierkorb verschieben</translation>
    </message>
</context>
<context>
    <name>RecorderPanel</name>
    <message>
        <source>Record</source>
        <translation>Aufnehmen</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stoppen</translation>
    </message>
    <message>
        <source>Elapsed time</source>
        <translation>Verstrichene Zeit</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Meldung</translation>
    </message>
    <message>
        <source>Pause</source>
        <extracomment>The round button&apos;s name and tooltip: it pauses the recording, or starts or resumes one.</extracomment>
        <translation>Pausieren</translation>
    </message>
</context>
<context>
    <name>Recording</name>
    <message>
        <source>The recording could not be saved as “%1” (%2), so it is being saved as “%3”.</source>
        <translation>Die Aufnahme konnte nicht als „%1“ gespeichert werden (%2), daher wird sie als „%3“ gespeichert.</translation>
    </message>
    <message>
        <source>The previous recording in “%1” was kept.</source>
        <translation>Die vorherige Aufnahme in „%1“ wurde behalten.</translation>
    </message>
    <message>
        <source>Cannot record into “%1”: %2.</source>
        <translation>In „%1“ kann nicht aufgenommen werden: %2.</translation>
    </message>
    <message>
        <source>Cannot write to “%1”: %2.</source>
        <translation>„%1“ kann nicht geschrieben werden: %2.</translation>
    </message>
    <message>
        <source>The file could not be completed either: %1.</source>
        <translation>Auch die Datei konnte nicht abgeschlossen werden: %1.</translation>
    </message>
    <message>
        <source>Nothing was recorded.</source>
        <translation>Es wurde nichts aufgenommen.</translation>
    </message>
    <message>
        <source>Cannot complete “%1”: %2.</source>
        <translation>„%1“ kann nicht abgeschlossen werden: %2.</translation>
    </message>
    <message>
        <source>A recording interrupted earlier was saved as “%1”.</source>
        <translation>Eine früher unterbrochene Aufnahme wurde als „%1“ gespeichert.</translation>
    </message>
    <message>
        <source>A recording interrupted earlier is in the hidden file “%1”.</source>
        <translation>Eine früher unterbrochene Aufnahme liegt in der versteckten Datei „%1“.</translation>
    </message>
    <message>
        <source>Cannot record into “%1”: it is a folder, not an audio file. Choose another name.</source>
        <translation>In „%1“ kann nicht aufgenommen werden: Es ist ein Ordner, keine Audiodatei. Wählen Sie einen anderen Namen.</translation>
    </message>
    <message>
        <source>Cannot record into “%1”: it is a pipe, not an audio file. Choose another name.</source>
        <translation>In „%1“ kann nicht aufgenommen werden: Es ist eine Pipe, keine Audiodatei. Wählen Sie einen anderen Namen.</translation>
    </message>
    <message>
        <source>Cannot record into “%1”: it is a device, not an audio file. Choose another name.</source>
        <translation>In „%1“ kann nicht aufgenommen werden: Es ist ein Gerät, keine Audiodatei. Wählen Sie einen anderen Namen.</translation>
    </message>
    <message>
        <source>Cannot record into “%1”: it is a socket, not an audio file. Choose another name.</source>
        <translation>In „%1“ kann nicht aufgenommen werden: Es ist ein Socket, keine Audiodatei. Wählen Sie einen anderen Namen.</translation>
    </message>
    <message>
        <source>Cannot record into “%1”: it is not a regular file, not an audio file. Choose another name.</source>
        <translation>In „%1“ kann nicht aufgenommen werden: Es ist weder eine reguläre Datei noch eine Audiodatei. Wählen Sie einen anderen Namen.</translation>
    </message>
    <message>
        <source>Cannot create the file “%1”: %2.</source>
        <translation>Die Datei „%1“ kann nicht erstellt werden: %2.</translation>
    </message>
    <message>
        <source>“%1” is a link to “%2”; choose another name.</source>
        <translation>„%1“ ist eine Verknüpfung zu „%2“; wählen Sie einen anderen Namen.</translation>
    </message>
</context>
<context>
    <name>RecordingActions</name>
    <message>
        <source>Could not move “%1” to the Trash.</source>
        <translation>„%1“ konnte nicht in den Papierkorb verschoben werden.</translation>
    </message>
    <message>
        <source>Moved “%1” to the Trash.</source>
        <translation>„%1“ wurde in den Papierkorb verschoben.</translation>
    </message>
</context>
<context>
    <name>RecordingController</name>
    <message>
        <source>“%1” is still being saved. Choose another name, or wait until it is saved.</source>
        <translation>„%1“ wird noch gespeichert. Wählen Sie einen anderen Namen oder warten Sie, bis die Datei gespeichert ist.</translation>
    </message>
    <message>
        <source>Waiting for the sound server…</source>
        <translation>Warten auf den Soundserver …</translation>
    </message>
    <message>
        <source>Could not start recording: %1</source>
        <translation>Die Aufnahme konnte nicht gestartet werden: %1</translation>
    </message>
    <message>
        <source>Could not start recording.</source>
        <translation>Die Aufnahme konnte nicht gestartet werden.</translation>
    </message>
    <message>
        <source>The recording stopped: %1</source>
        <translation>Die Aufnahme wurde beendet: %1</translation>
    </message>
    <message>
        <source>The recording stopped: %1 Everything recorded until then is saved.</source>
        <translation>Die Aufnahme wurde beendet: %1 Alles bis dahin Aufgenommene ist gespeichert.</translation>
    </message>
    <message>
        <source>%1 s missing at %2</source>
        <extracomment>A gap in the recording: %1 seconds of audio (as 2.5) missing at the time %2 (00 : 01 : 23).</extracomment>
        <translation>%1 s fehlen bei %2</translation>
    </message>
    <message>
        <source>Recording from “%1”.</source>
        <extracomment>The microphone the recording was moved to, as the sound server names it.</extracomment>
        <translation>Aufnahme von „%1“.</translation>
    </message>
</context>
<context>
    <name>RecordingFileName</name>
    <message>
        <source>Recording on %1</source>
        <extracomment>The name the save dialog proposes; %1 is the date and time, as 31-12-25 235959.</extracomment>
        <translation>Aufnahme vom %1</translation>
    </message>
</context>
<context>
    <name>SaveDialog</name>
    <message>
        <source>Save Recording</source>
        <translation>Aufnahme speichern</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 ist bereits vorhanden.
Möchten Sie die Datei ersetzen?</translation>
    </message>
    <message>
        <source>Core Audio Format (%1)</source>
        <extracomment>The file type in the save dialog; %1 is its patterns (*.caf).</extracomment>
        <translation>Core Audio Format (%1)</translation>
    </message>
</context>
<context>
    <name>SaveNotices</name>
    <message>
        <source>Saving the recording</source>
        <translation>Aufnahme wird gespeichert</translation>
    </message>
    <message>
        <source>%1 — %2</source>
        <extracomment>The notification&apos;s body: the file&apos;s name and the recording&apos;s length.</extracomment>
        <translation>%1 – %2</translation>
    </message>
    <message>
        <source>Recording saved</source>
        <translation>Aufnahme gespeichert</translation>
    </message>
</context>
<context>
    <name>SavingMessage</name>
    <message>
        <source>Saving…</source>
        <translation>Speichern …</translation>
    </message>
    <message numerus="yes">
        <source>Saving %n recordings…</source>
        <translation>
            <numerusform>%n Aufnahme wird gespeichert …</numerusform>
            <numerusform>%n Aufnahmen werden gespeichert …</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 %n s of audio still to write</source>
        <extracomment>%1 is &quot;Saving…&quot; or &quot;Saving 2 recordings…&quot;.</extracomment>
        <translation>
            <numerusform>%1 noch %n s Audio zu schreiben</numerusform>
            <numerusform>%1 noch %n s Audio zu schreiben</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 completing the file</source>
        <extracomment>%1 is &quot;Saving…&quot; or &quot;Saving 2 recordings…&quot;.</extracomment>
        <translation>%1 Datei wird abgeschlossen</translation>
    </message>
    <message>
        <source>Registratore quits once it is saved. Quit again to quit now and lose it.</source>
        <translation>Registratore wird beendet, sobald die Aufnahme gespeichert ist. Beenden Sie erneut, um sofort zu beenden und sie zu verlieren.</translation>
    </message>
</context>
<context>
    <name>SettingsActions</name>
    <message>
        <source>Contact Us</source>
        <extracomment>Opens an e-mail to the developers.</extracomment>
        <translation>Kontakt aufnehmen</translation>
    </message>
    <message>
        <source>Quit</source>
        <extracomment>Ends the recorder (a recording is completed first).</extracomment>
        <translation>Beenden</translation>
    </message>
</context>
<context>
    <name>SettingsMenu</name>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
</context>
<context>
    <name>SettingsPopover</name>
    <message>
        <source>Settings menu</source>
        <translation>Einstellungsmenü</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
</context>
<context>
    <name>StartAtLoginAction</name>
    <message>
        <source>Start at Login</source>
        <translation>Bei der Anmeldung starten</translation>
    </message>
    <message>
        <source>Start at Login could not be turned on: %1</source>
        <translation>Der Start bei der Anmeldung konnte nicht eingeschaltet werden: %1</translation>
    </message>
    <message>
        <source>Start at Login could not be turned off: %1</source>
        <translation>Der Start bei der Anmeldung konnte nicht ausgeschaltet werden: %1</translation>
    </message>
</context>
<context>
    <name>StatusIndicator</name>
    <message>
        <source>Recording %1</source>
        <extracomment>The status icon&apos;s tooltip; %1 is the elapsed time, as 00 : 01 : 23.</extracomment>
        <translation>Aufnahme läuft %1</translation>
    </message>
    <message>
        <source>Paused %1</source>
        <extracomment>The status icon&apos;s tooltip; %1 is the elapsed time, as 00 : 01 : 23.</extracomment>
        <translation>Pausiert %1</translation>
    </message>
</context>
<context>
    <name>StatusMenu</name>
    <message>
        <source>Stop</source>
        <extracomment>Ends the recording and saves it.</extracomment>
        <translation>Stoppen</translation>
    </message>
    <message>
        <source>Open Recorder</source>
        <translation>Rekorder öffnen</translation>
    </message>
    <message>
        <source>Record</source>
        <extracomment>Starts a recording (the first time, asks where to save it).</extracomment>
        <translation>Aufnehmen</translation>
    </message>
    <message>
        <source>Pause</source>
        <extracomment>Pauses the running recording.</extracomment>
        <translation>Pausieren</translation>
    </message>
    <message>
        <source>Resume</source>
        <extracomment>Goes on with the paused recording.</extracomment>
        <translation>Fortsetzen</translation>
    </message>
</context>
<context>
    <name>platform::FreedesktopNotifications</name>
    <message>
        <source>Show in Folder</source>
        <translation>Im Ordner anzeigen</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Abspielen</translation>
    </message>
</context>
<context>
    <name>platform::PopoverWindow</name>
    <message>
        <source>Recorder</source>
        <extracomment>The recorder panel&apos;s window.</extracomment>
        <translation>Rekorder</translation>
    </message>
</context>
</TS>
