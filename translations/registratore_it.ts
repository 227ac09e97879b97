<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it" sourcelanguage="en">
<context>
    <name>AutostartEntry</name>
    <message>
        <source>“%1” is a link, which the recorder does not follow: remove it, then try again.</source>
        <translation>«%1» è un collegamento, che il registratore non segue: rimuoverlo e riprovare.</translation>
    </message>
    <message>
        <source>“%1” is not a regular file: remove it, then try again.</source>
        <translation>«%1» non è un file normale: rimuoverlo e riprovare.</translation>
    </message>
    <message>
        <source>“%1” is not a folder.</source>
        <translation>«%1» non è una cartella.</translation>
    </message>
    <message>
        <source>The folder “%1” cannot be created.</source>
        <translation>Impossibile creare la cartella «%1».</translation>
    </message>
    <message>
        <source>“%1” cannot be written: %2</source>
        <translation>Impossibile scrivere «%1»: %2</translation>
    </message>
    <message>
        <source>“%1” cannot be removed: %2</source>
        <translation>Impossibile rimuovere «%1»: %2</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Platform plugin: xcb (X11, or Xwayland), wayland, offscreen ...</source>
        <translation>Plugin di piattaforma: xcb (X11 o Xwayland), wayland, offscreen…</translation>
    </message>
    <message>
        <source>Where the platform plugins are.</source>
        <translation>Dove si trovano i plugin di piattaforma.</translation>
    </message>
    <message>
        <source>Platform theme.</source>
        <translation>Tema della piattaforma.</translation>
    </message>
    <message>
        <source>An additional plugin to load; may be given more than once.</source>
        <translation>Un plugin aggiuntivo da caricare; si può indicare più volte.</translation>
    </message>
    <message>
        <source>Geometry of the first window, as WIDTHxHEIGHT+X+Y.</source>
        <translation>Geometria della prima finestra, come LARGHEZZAxALTEZZA+X+Y.</translation>
    </message>
    <message>
        <source>Default window icon.</source>
        <translation>Icona predefinita delle finestre.</translation>
    </message>
    <message>
        <source>Title of the first window.</source>
        <translation>Titolo della prima finestra.</translation>
    </message>
    <message>
        <source>Lays the windows out from right to left.</source>
        <translation>Dispone le finestre da destra a sinistra.</translation>
    </message>
    <message>
        <source>Restores the application from an earlier session.</source>
        <translation>Ripristina l’applicazione da una sessione precedente.</translation>
    </message>
    <message>
        <source>Widget style, such as Fusion.</source>
        <translation>Stile dei widget, per esempio Fusion.</translation>
    </message>
    <message>
        <source>Style sheet for the widgets.</source>
        <translation>Foglio di stile per i widget.</translation>
    </message>
    <message>
        <source>Says at the end how many widgets were left.</source>
        <translation>Indica alla fine quanti widget sono rimasti.</translation>
    </message>
    <message>
        <source>X display, instead of $DISPLAY.</source>
        <translation>Display X, al posto di $DISPLAY.</translation>
    </message>
    <message>
        <source>Instance name (ICCCM 4.1.2.5).</source>
        <translation>Nome dell’istanza (ICCCM 4.1.2.5).</translation>
    </message>
    <message>
        <source>X visual to use.</source>
        <translation>Visual X da usare.</translation>
    </message>
    <message>
        <source>On X11, the same as -qwindowgeometry.</source>
        <translation>Su X11, come -qwindowgeometry.</translation>
    </message>
    <message>
        <source>On X11, the same as -qwindowtitle.</source>
        <translation>Su X11, come -qwindowtitle.</translation>
    </message>
    <message>
        <source>On X11, the same as -qwindowicon.</source>
        <translation>Su X11, come -qwindowicon.</translation>
    </message>
    <message>
        <source>Never grabs the mouse (for debuggers).</source>
        <translation>Non cattura mai il mouse (per i debugger).</translation>
    </message>
    <message>
        <source>Grabs the mouse even in a debugger.</source>
        <translation>Cattura il mouse anche in un debugger.</translation>
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
Le opzioni standard di Qt (-platform, -style, -display, -reverse, -qwindowgeometry e le altre
elencate da --help-all) sono prese dal toolkit quando il registratore è in esecuzione; --record
e --stop rispondono anche insieme a esse, senza display.

Stato di uscita:
  0  --record o --stop è stato eseguito e ha stampato lo stato lasciato (recording,
     paused, stopped, choosing where to save); oppure il registratore è terminato
     normalmente, ha aperto il pannello di quello già in esecuzione o gli ha passato
     il file da aprire.
  1  --record o --stop è stato rifiutato o non è riuscito e ha stampato il motivo
     (nothing is recording, la finestra di salvataggio è aperta, nessun registratore
     raggiungibile o avviabile…); oppure il file da aprire manca o non è un file
     regolare; oppure il registratore non ha trovato un display, o non ha potuto
     completare la registrazione al termine.
  2  La riga di comando era errata.
</translation>
    </message>
    <message>
        <source>A voice recorder in the desktop&apos;s status bar. Without options it starts, or opens the panel of the one already running; given a recording, it opens that in the recorder.
--record and --stop act on the running recorder, as its buttons do, and print one line: the state they left, or why nothing was done.</source>
        <translation>Un registratore vocale nell’area di notifica del desktop. Senza opzioni si avvia, o apre il pannello di quello già in esecuzione; se riceve una registrazione, la apre nel registratore.
--record e --stop agiscono sul registratore in esecuzione, come i suoi pulsanti, e stampano una riga: lo stato lasciato, o perché non è stato fatto nulla.</translation>
    </message>
    <message>
        <source>Record, pause or resume, as the Record/Pause button does: the first press asks where to save. Starts the recorder if it is not running.</source>
        <translation>Registra, mette in pausa o riprende, come il pulsante Registrare/Mettere in pausa: la prima pressione chiede dove salvare. Avvia il registratore se non è in esecuzione.</translation>
    </message>
    <message>
        <source>Stop recording, as the Stop button does.</source>
        <translation>Ferma la registrazione, come il pulsante Fermare.</translation>
    </message>
    <message>
        <source>A recording (.caf) to open in the recorder: the running one, or one started for it. Of several, the first is opened.</source>
        <translation>Una registrazione (.caf) da aprire nel registratore: quello in esecuzione, o uno avviato apposta. Se sono più d’una, si apre la prima.</translation>
    </message>
</context>
<context>
    <name>LastRecordingRow</name>
    <message>
        <source>Show in Folder</source>
        <translation>Mostrare nella cartella</translation>
    </message>
    <message>
        <source>Playback position</source>
        <translation>Posizione di riproduzione</translation>
    </message>
    <message>
        <source>Stop Playing</source>
        <translation>Fermare la riproduzione</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Riprodurre</translation>
    </message>
    <message>
        <source>Last recording</source>
        <extracomment>The name of the last recording, a button that shows it in its folder (for screen readers).</extracomment>
        <translation>Ultima registrazione</translation>
    </message>
</context>
<context>
    <name>Launcher</name>
    <message>
        <source>The recording could not be completed: %1</source>
        <translation>Non è stato possibile completare la registrazione: %1</translation>
    </message>
</context>
<context>
    <name>LevelBar</name>
    <message>
        <source>Input level</source>
        <translation>Livello di ingresso</translation>
    </message>
</context>
<context>
    <name>Microphone</name>
    <message>
        <source>The sound server stopped.</source>
        <translation>Il server audio si è fermato.</translation>
    </message>
    <message>
        <source>The microphone was disconnected.</source>
        <translation>Il microfono è stato scollegato.</translation>
    </message>
    <message>
        <source>The microphone could not be opened again after the pause.</source>
        <translation>Non è stato possibile riaprire il microfono dopo la pausa.</translation>
    </message>
    <message>
        <source>Cannot capture the microphone: cannot start the sound thread.</source>
        <translation>Impossibile acquisire dal microfono: impossibile avviare il thread audio.</translation>
    </message>
    <message>
        <source>Cannot capture the microphone at %1 Hz.</source>
        <translation>Impossibile acquisire dal microfono a %1 Hz.</translation>
    </message>
    <message>
        <source>Cannot capture the microphone: out of memory.</source>
        <translation>Impossibile acquisire dal microfono: memoria esaurita.</translation>
    </message>
    <message>
        <source>Cannot capture the microphone</source>
        <translation>Impossibile acquisire dal microfono</translation>
    </message>
    <message>
        <source>No microphone found.</source>
        <translation>Nessun microfono trovato.</translation>
    </message>
    <message>
        <source>Cannot capture the microphone: the sound server does not answer.</source>
        <translation>Impossibile acquisire dal microfono: il server audio non risponde.</translation>
    </message>
    <message>
        <source>No microphone found: the sound server does not answer.</source>
        <translation>Nessun microfono trovato: il server audio non risponde.</translation>
    </message>
    <message>
        <source>No microphone found: the sound server is not running</source>
        <translation>Nessun microfono trovato: il server audio non è in esecuzione</translation>
    </message>
    <message>
        <source>No microphone found: cannot reach the sound server</source>
        <translation>Nessun microfono trovato: impossibile raggiungere il server audio</translation>
    </message>
    <message>
        <source>The microphone cannot record 16-bit mono at %1 Hz.</source>
        <translation>Il microfono non può registrare in mono a 16 bit a %1 Hz.</translation>
    </message>
    <message>
        <source>Cannot capture the microphone “%1”.</source>
        <translation>Impossibile acquisire dal microfono «%1».</translation>
    </message>
    <message>
        <source>Cannot capture the microphone: the application is not running.</source>
        <translation>Impossibile acquisire dal microfono: l’applicazione non è in esecuzione.</translation>
    </message>
    <message>
        <source>Cannot capture the microphone: the sound system does not answer.</source>
        <translation>Impossibile acquisire dal microfono: il sistema audio non risponde.</translation>
    </message>
    <message>
        <source>The microphone is no longer available.</source>
        <translation>Il microfono non è più disponibile.</translation>
    </message>
</context>
<context>
    <name>Playback</name>
    <message>
        <source>Could not play the recording: %1</source>
        <translation>Impossibile riprodurre la registrazione: %1</translation>
    </message>
    <message>
        <source>Stop the recording to play “%1”.</source>
        <translation>Fermare la registrazione per riprodurre «%1».</translation>
    </message>
    <message>
        <source>Could not play “%1”: %2</source>
        <translation>Impossibile riprodurre «%1»: %2</translation>
    </message>
    <message>
        <source>Cannot read “%1” any further: %2.</source>
        <translation>Impossibile leggere oltre «%1»: %2.</translation>
    </message>
    <message>
        <source>Cannot play “%1”: the file is not there.</source>
        <translation>Impossibile riprodurre «%1»: il file non c’è.</translation>
    </message>
    <message>
        <source>Cannot play “%1”: it is not a file.</source>
        <translation>Impossibile riprodurre «%1»: non è un file.</translation>
    </message>
    <message>
        <source>Cannot play “%1”: %2</source>
        <translation>Impossibile riprodurre «%1»: %2</translation>
    </message>
    <message>
        <source>Cannot play “%1”: it holds no audio.</source>
        <translation>Impossibile riprodurre «%1»: non contiene audio.</translation>
    </message>
    <message>
        <source>Playback stopped: the sound server went away.</source>
        <translation>Riproduzione interrotta: il server audio non c’è più.</translation>
    </message>
    <message>
        <source>Playback stopped: the sound server does not answer.</source>
        <translation>Riproduzione interrotta: il server audio non risponde.</translation>
    </message>
    <message>
        <source>Cannot play: the sound server does not answer.</source>
        <translation>Impossibile riprodurre: il server audio non risponde.</translation>
    </message>
    <message>
        <source>Playback stopped: the sound output went away.</source>
        <translation>Riproduzione interrotta: l’uscita audio non c’è più.</translation>
    </message>
    <message>
        <source>Cannot play: cannot start the sound thread.</source>
        <translation>Impossibile riprodurre: impossibile avviare il thread audio.</translation>
    </message>
    <message>
        <source>Cannot play: out of memory.</source>
        <translation>Impossibile riprodurre: memoria esaurita.</translation>
    </message>
    <message>
        <source>Cannot play: the sound server is not running</source>
        <translation>Impossibile riprodurre: il server audio non è in esecuzione</translation>
    </message>
    <message>
        <source>Cannot play: cannot reach the sound server</source>
        <translation>Impossibile riprodurre: impossibile raggiungere il server audio</translation>
    </message>
    <message>
        <source>Cannot play this file</source>
        <translation>Impossibile riprodurre questo file</translation>
    </message>
    <message>
        <source>Cannot play</source>
        <translation>Impossibile riprodurre</translation>
    </message>
    <message>
        <source>Cannot play: no sound output</source>
        <translation>Impossibile riprodurre: nessuna uscita audio</translation>
    </message>
    <message>
        <source>Cannot play “%1”: %2 channels at %3 Hz are more than the sound server takes.</source>
        <translation>Impossibile riprodurre «%1»: %2 canali a %3 Hz sono più di quanto il server audio accetti.</translation>
    </message>
    <message>
        <source>Cannot play: no sound output found.</source>
        <translation>Impossibile riprodurre: nessuna uscita audio trovata.</translation>
    </message>
    <message>
        <source>Cannot play: the sound output takes no %1 channels at %2 Hz.</source>
        <translation>Impossibile riprodurre: l’uscita audio non accetta %1 canali a %2 Hz.</translation>
    </message>
</context>
<context>
    <name>QualityPresets</name>
    <message>
        <source>Quality : Low</source>
        <extracomment>The settings menu&apos;s row that steps through the presets: the setting, a colon, its value.</extracomment>
        <translation>Qualità: Bassa</translation>
    </message>
    <message>
        <source>Quality : High</source>
        <translation>Qualità: Alta</translation>
    </message>
    <message>
        <source>Quality : Medium</source>
        <translation>Qualità: Media</translation>
    </message>
</context>
<context>
    <name>RecentRecordingsMenu</name>
    <message>
        <source>Recent Recordings</source>
        <translation>Registrazioni recenti</translation>
    </message>
    <message>
        <source>No Recordings</source>
        <translation>Nessuna registrazione</translation>
    </message>
    <message>
        <source>Stop Playing</source>
        <translation>Fermare la riproduzione</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Riprodurre</translation>
    </message>
    <message>
        <source>Show in Folder</source>
        <translation>Mostrare nella cartella</translation>
    </message>
    <message>
        <source>Move to Trash</source>
        <translation>Spostare nel cestino</translation>
    </message>
</context>
<context>
    <name>RecorderPanel</name>
    <message>
        <source>Record</source>
        <translation>Registrare</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Fermare</translation>
    </message>
    <message>
        <source>Elapsed time</source>
        <translation>Tempo trascorso</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Impostazioni</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Messaggio</translation>
    </message>
    <message>
        <source>Pause</source>
        <extracomment>The round button&apos;s name and tooltip: it pauses the recording, or starts or resumes one.</extracomment>
        <translation>Mettere in pausa</translation>
    </message>
</context>
<context>
    <name>Recording</name>
    <message>
        <source>The recording could not be saved as “%1” (%2), so it is being saved as “%3”.</source>
        <translation>Non è stato possibile salvare la registrazione come «%1» (%2), quindi viene salvata come «%3».</translation>
    </message>
    <message>
        <source>The previous recording in “%1” was kept.</source>
        <translation>La registrazione precedente in «%1» è stata conservata.</translation>
    </message>
    <message>
        <source>Cannot record into “%1”: %2.</source>
        <translation>Impossibile registrare in «%1»: %2.</translation>
    </message>
    <message>
        <source>Cannot write to “%1”: %2.</source>
        <translation>Impossibile scrivere su «%1»: %2.</translation>
    </message>
    <message>
        <source>The file could not be completed either: %1.</source>
        <translation>Non è stato possibile nemmeno completare il file: %1.</translation>
    </message>
    <message>
        <source>Nothing was recorded.</source>
        <translation>Non è stato registrato nulla.</translation>
    </message>
    <message>
        <source>Cannot complete “%1”: %2.</source>
        <translation>Impossibile completare «%1»: %2.</translation>
    </message>
    <message>
        <source>A recording interrupted earlier was saved as “%1”.</source>
        <translation>Una registrazione interrotta in precedenza è stata salvata come «%1».</translation>
    </message>
    <message>
        <source>A recording interrupted earlier is in the hidden file “%1”.</source>
        <translation>Una registrazione interrotta in precedenza si trova nel file nascosto «%1».</translation>
    </message>
    <message>
        <source>Cannot record into “%1”: it is a folder, not an audio file. Choose another name.</source>
        <translation>Impossibile registrare in «%1»: è una cartella, non un file audio. Scegliere un altro nome.</translation>
    </message>
    <message>
        <source>Cannot record into “%1”: it is a pipe, not an audio file. Choose another name.</source>
        <translation>Impossibile registrare in «%1»: è una pipe, non un file audio. Scegliere un altro nome.</translation>
    </message>
    <message>
        <source>Cannot record into “%1”: it is a device, not an audio file. Choose another name.</source>
        <translation>Impossibile registrare in «%1»: è un dispositivo, non un file audio. Scegliere un altro nome.</translation>
    </message>
    <message>
        <source>Cannot record into “%1”: it is a socket, not an audio file. Choose another name.</source>
        <translation>Impossibile registrare in «%1»: è un socket, non un file audio. Scegliere un altro nome.</translation>
    </message>
    <message>
        <source>Cannot record into “%1”: it is not a regular file, not an audio file. Choose another name.</source>
        <translation>Impossibile registrare in «%1»: non è né un file normale né un file audio. Scegliere un altro nome.</translation>
    </message>
    <message>
        <source>Cannot create the file “%1”: %2.</source>
        <translation>Impossibile creare il file «%1»: %2.</translation>
    </message>
    <message>
        <source>“%1” is a link to “%2”; choose another name.</source>
        <translation>«%1» è un collegamento a «%2»; scegliere un altro nome.</translation>
    </message>
</context>
<context>
    <name>RecordingActions</name>
    <message>
        <source>Could not move “%1” to the Trash.</source>
        <translation>Impossibile spostare «%1» nel cestino.</translation>
    </message>
    <message>
        <source>Moved “%1” to the Trash.</source>
        <translation>«%1» spostato nel cestino.</translation>
    </message>
</context>
<context>
    <name>RecordingController</name>
    <message>
        <source>“%1” is still being saved. Choose another name, or wait until it is saved.</source>
        <translation>«%1» è ancora in fase di salvataggio. Scegliere un altro nome o attendere che sia salvato.</translation>
    </message>
    <message>
        <source>Waiting for the sound server…</source>
        <translation>In attesa del server audio…</translation>
    </message>
    <message>
        <source>Could not start recording: %1</source>
        <translation>Impossibile avviare la registrazione: %1</translation>
    </message>
    <message>
        <source>Could not start recording.</source>
        <translation>Impossibile avviare la registrazione.</translation>
    </message>
    <message>
        <source>The recording stopped: %1</source>
        <translation>La registrazione si è interrotta: %1</translation>
    </message>
    <message>
        <source>The recording stopped: %1 Everything recorded until then is saved.</source>
        <translation>La registrazione si è interrotta: %1 Tutto ciò che è stato registrato fino ad allora è salvato.</translation>
    </message>
    <message>
        <source>%1 s missing at %2</source>
        <extracomment>A gap in the recording: %1 seconds of audio (as 2.5) missing at the time %2 (00 : 01 : 23).</extracomment>
        <translation>%1 s mancanti a %2</translation>
    </message>
    <message>
        <source>Recording from “%1”.</source>
        <extracomment>The microphone the recording was moved to, as the sound server names it.</extracomment>
        <translation>Registrazione da «%1».</translation>
    </message>
</context>
<context>
    <name>RecordingFileName</name>
    <message>
        <source>Recording on %1</source>
        <extracomment>The name the save dialog proposes; %1 is the date and time, as 31-12-25 235959.</extracomment>
        <translation>Registrazione del %1</translation>
    </message>
</context>
<context>
    <name>SaveDialog</name>
    <message>
        <source>Save Recording</source>
        <translation>Salvare la registrazione</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 esiste già.
Sostituirlo?</translation>
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
        <translation>Salvataggio della registrazione</translation>
    </message>
    <message>
        <source>%1 — %2</source>
        <extracomment>The notification&apos;s body: the file&apos;s name and the recording&apos;s length.</extracomment>
        <translation>%1 — %2</translation>
    </message>
    <message>
        <source>Recording saved</source>
        <translation>Registrazione salvata</translation>
    </message>
</context>
<context>
    <name>SavingMessage</name>
    <message>
        <source>Saving…</source>
        <translation>Salvataggio…</translation>
    </message>
    <message numerus="yes">
        <source>Saving %n recordings…</source>
        <translation>
            <numerusform>Salvataggio di %n registrazione…</numerusform>
            <numerusform>Salvataggio di %n registrazioni…</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 %n s of audio still to write</source>
        <extracomment>%1 is &quot;Saving…&quot; or &quot;Saving 2 recordings…&quot;.</extracomment>
        <translation>
            <numerusform>%1 manca ancora %n s di audio da scrivere</numerusform>
            <numerusform>%1 mancano ancora %n s di audio da scrivere</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 completing the file</source>
        <extracomment>%1 is &quot;Saving…&quot; or &quot;Saving 2 recordings…&quot;.</extracomment>
        <translation>%1 completamento del file</translation>
    </message>
    <message>
        <source>Registratore quits once it is saved. Quit again to quit now and lose it.</source>
        <translation>Registratore si chiuderà appena la registrazione sarà salvata. Uscire di nuovo per chiudere subito e perderla.</translation>
    </message>
</context>
<context>
    <name>SettingsActions</name>
    <message>
        <source>Contact Us</source>
        <extracomment>Opens an e-mail to the developers.</extracomment>
        <translation>Contattarci</translation>
    </message>
    <message>
        <source>Quit</source>
        <extracomment>Ends the recorder (a recording is completed first).</extracomment>
        <translation>Uscire</translation>
    </message>
</context>
<context>
    <name>SettingsMenu</name>
    <message>
        <source>Settings</source>
        <translation>Impostazioni</translation>
    </message>
</context>
<context>
    <name>SettingsPopover</name>
    <message>
        <source>Settings menu</source>
        <translation>Menu delle impostazioni</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Impostazioni</translation>
    </message>
</context>
<context>
    <name>StartAtLoginAction</name>
    <message>
        <source>Start at Login</source>
        <translation>Avvia all’accesso</translation>
    </message>
    <message>
        <source>Start at Login could not be turned on: %1</source>
        <translation>Impossibile attivare l’avvio all’accesso: %1</translation>
    </message>
    <message>
        <source>Start at Login could not be turned off: %1</source>
        <translation>Impossibile disattivare l’avvio all’accesso: %1</translation>
    </message>
</context>
<context>
    <name>StatusIndicator</name>
    <message>
        <source>Recording %1</source>
        <extracomment>The status icon&apos;s tooltip; %1 is the elapsed time, as 00 : 01 : 23.</extracomment>
        <translation>Registrazione in corso %1</translation>
    </message>
    <message>
        <source>Paused %1</source>
        <extracomment>The status icon&apos;s tooltip; %1 is the elapsed time, as 00 : 01 : 23.</extracomment>
        <translation>In pausa %1</translation>
    </message>
</context>
<context>
    <name>StatusMenu</name>
    <message>
        <source>Stop</source>
        <extracomment>Ends the recording and saves it.</extracomment>
        <translation>Fermare</translation>
    </message>
    <message>
        <source>Open Recorder</source>
        <translation>Aprire il registratore</translation>
    </message>
    <message>
        <source>Record</source>
        <extracomment>Starts a recording (the first time, asks where to save it).</extracomment>
        <translation>Registrare</translation>
    </message>
    <message>
        <source>Pause</source>
        <extracomment>Pauses the running recording.</extracomment>
        <translation>Mettere in pausa</translation>
    </message>
    <message>
        <source>Resume</source>
        <extracomment>Goes on with the paused recording.</extracomment>
        <translation>Riprendere</translation>
    </message>
</context>
<context>
    <name>platform::FreedesktopNotifications</name>
    <message>
        <source>Show in Folder</source>
        <translation>Mostrare nella cartella</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Riprodurre</translation>
    </message>
</context>
<context>
    <name>platform::PopoverWindow</name>
    <message>
        <source>Recorder</source>
        <extracomment>The recorder panel&apos;s window.</extracomment>
        <translation>Registratore</translation>
    </message>
</context>
</TS>
