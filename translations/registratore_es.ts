<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es" sourcelanguage="en">
<context>
    <name>AutostartEntry</name>
    <message>
        <source>“%1” is a link, which the recorder does not follow: remove it, then try again.</source>
        <translation>«%1» es un enlace, que la grabadora no sigue: elimínelo y vuelva a intentarlo.</translation>
    </message>
    <message>
        <source>“%1” is not a regular file: remove it, then try again.</source>
        <translation>«%1» no es un archivo normal: elimínelo y vuelva a intentarlo.</translation>
    </message>
    <message>
        <source>“%1” is not a folder.</source>
        <translation>«%1» no es una carpeta.</translation>
    </message>
    <message>
        <source>The folder “%1” cannot be created.</source>
        <translation>No se puede crear la carpeta «%1».</translation>
    </message>
    <message>
        <source>“%1” cannot be written: %2</source>
        <translation>No se puede escribir «%1»: %2</translation>
    </message>
    <message>
        <source>“%1” cannot be removed: %2</source>
        <translation>No se puede eliminar «%1»: %2</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Platform plugin: xcb (X11, or Xwayland), wayland, offscreen ...</source>
        <translation>Complemento de plataforma: xcb (X11 o Xwayland), wayland, offscreen…</translation>
    </message>
    <message>
        <source>Where the platform plugins are.</source>
        <translation>Dónde están los complementos de plataforma.</translation>
    </message>
    <message>
        <source>Platform theme.</source>
        <translation>Tema de la plataforma.</translation>
    </message>
    <message>
        <source>An additional plugin to load; may be given more than once.</source>
        <translation>Un complemento adicional que cargar; puede indicarse más de una vez.</translation>
    </message>
    <message>
        <source>Geometry of the first window, as WIDTHxHEIGHT+X+Y.</source>
        <translation>Geometría de la primera ventana, como ANCHOxALTO+X+Y.</translation>
    </message>
    <message>
        <source>Default window icon.</source>
        <translation>Icono predeterminado de las ventanas.</translation>
    </message>
    <message>
        <source>Title of the first window.</source>
        <translation>Título de la primera ventana.</translation>
    </message>
    <message>
        <source>Lays the windows out from right to left.</source>
        <translation>Dispone las ventanas de derecha a izquierda.</translation>
    </message>
    <message>
        <source>Restores the application from an earlier session.</source>
        <translation>Restaura la aplicación de una sesión anterior.</translation>
    </message>
    <message>
        <source>Widget style, such as Fusion.</source>
        <translation>Estilo de los widgets, por ejemplo Fusion.</translation>
    </message>
    <message>
        <source>Style sheet for the widgets.</source>
        <translation>Hoja de estilo para los widgets.</translation>
    </message>
    <message>
        <source>Says at the end how many widgets were left.</source>
        <translation>Indica al final cuántos widgets quedaron.</translation>
    </message>
    <message>
        <source>X display, instead of $DISPLAY.</source>
        <translation>Pantalla X, en lugar de $DISPLAY.</translation>
    </message>
    <message>
        <source>Instance name (ICCCM 4.1.2.5).</source>
        <translation>Nombre de la instancia (ICCCM 4.1.2.5).</translation>
    </message>
    <message>
        <source>X visual to use.</source>
        <translation>Visual X que usar.</translation>
    </message>
    <message>
        <source>On X11, the same as -qwindowgeometry.</source>
        <translation>En X11, lo mismo que -qwindowgeometry.</translation>
    </message>
    <message>
        <source>On X11, the same as -qwindowtitle.</source>
        <translation>En X11, lo mismo que -qwindowtitle.</translation>
    </message>
    <message>
        <source>On X11, the same as -qwindowicon.</source>
        <translation>En X11, lo mismo que -qwindowicon.</translation>
    </message>
    <message>
        <source>Never grabs the mouse (for debuggers).</source>
        <translation>Nunca captura el ratón (para depuradores).</translation>
    </message>
    <message>
        <source>Grabs the mouse even in a debugger.</source>
        <translation>Captura el ratón incluso en un depurador.</translation>
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
El kit de herramientas toma las opciones estándar de Qt (-platform, -style, -display, -reverse,
-qwindowgeometry y las demás que lista --help-all) cuando la grabadora se ejecuta; --record y
--stop responden junto a ellas sin pantalla.

Estado de salida:
  0  --record o --stop se llevó a cabo e imprimió el estado en que quedó (recording,
     paused, stopped, choosing where to save); o la grabadora terminó con normalidad,
     abrió el panel de la que ya se ejecutaba o le entregó el archivo que abrir.
  1  --record o --stop se rechazó o falló, e imprimió el motivo (nothing is recording,
     el diálogo de guardar está abierto, no se pudo contactar ni iniciar ninguna
     grabadora…); o el archivo que abrir no existe o no es un archivo normal; o la
     grabadora no encontró ninguna pantalla, o no pudo completar la grabación al
     terminar.
  2  La línea de órdenes era incorrecta.
</translation>
    </message>
    <message>
        <source>A voice recorder in the desktop&apos;s status bar. Without options it starts, or opens the panel of the one already running; given a recording, it opens that in the recorder.
--record and --stop act on the running recorder, as its buttons do, and print one line: the state they left, or why nothing was done.</source>
        <translation>Una grabadora de voz en la bandeja del sistema del escritorio. Sin opciones se inicia, o abre el panel de la que ya se ejecuta; si recibe una grabación, la abre en la grabadora.
--record y --stop actúan sobre la grabadora en ejecución, como sus botones, e imprimen una línea: el estado en que quedó, o por qué no se hizo nada.</translation>
    </message>
    <message>
        <source>Record, pause or resume, as the Record/Pause button does: the first press asks where to save. Starts the recorder if it is not running.</source>
        <translation>Graba, pausa o reanuda, como el botón Grabar/Pausar: la primera pulsación pregunta dónde guardar. Inicia la grabadora si no se está ejecutando.</translation>
    </message>
    <message>
        <source>Stop recording, as the Stop button does.</source>
        <translation>Detiene la grabación, como el botón Detener.</translation>
    </message>
    <message>
        <source>A recording (.caf) to open in the recorder: the running one, or one started for it. Of several, the first is opened.</source>
        <translation>Una grabación (.caf) que abrir en la grabadora: la que se está ejecutando, o una iniciada para ella. Si hay varias, se abre la primera.</translation>
    </message>
</context>
<context>
    <name>LastRecordingRow</name>
    <message>
        <source>Show in Folder</source>
        <translation>Mostrar en la carpeta</translation>
    </message>
    <message>
        <source>Playback position</source>
        <translation>Posición de reproducción</translation>
    </message>
    <message>
        <source>Stop Playing</source>
        <translation>Detener la reproducción</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Reproducir</translation>
    </message>
    <message>
        <source>Last recording</source>
        <extracomment>The name of the last recording, a button that shows it in its folder (for screen readers).</extracomment>
        <translation>Última grabación</translation>
    </message>
</context>
<context>
    <name>Launcher</name>
    <message>
        <source>The recording could not be completed: %1</source>
        <translation>No se pudo completar la grabación: %1</translation>
    </message>
</context>
<context>
    <name>LevelBar</name>
    <message>
        <source>Input level</source>
        <translation>Nivel de entrada</translation>
    </message>
</context>
<context>
    <name>Microphone</name>
    <message>
        <source>The sound server stopped.</source>
        <translation>El servidor de sonido se detuvo.</translation>
    </message>
    <message>
        <source>The microphone was disconnected.</source>
        <translation>El micrófono se desconectó.</translation>
    </message>
    <message>
        <source>The microphone could not be opened again after the pause.</source>
        <translation>No se pudo volver a abrir el micrófono después de la pausa.</translation>
    </message>
    <message>
        <source>Cannot capture the microphone: cannot start the sound thread.</source>
        <translation>No se puede capturar el micrófono: no se puede iniciar el hilo de sonido.</translation>
    </message>
    <message>
        <source>Cannot capture the microphone at %1 Hz.</source>
        <translation>No se puede capturar el micrófono a %1 Hz.</translation>
    </message>
    <message>
        <source>Cannot capture the microphone: out of memory.</source>
        <translation>No se puede capturar el micrófono: memoria insuficiente.</translation>
    </message>
    <message>
        <source>Cannot capture the microphone</source>
        <translation>No se puede capturar el micrófono</translation>
    </message>
    <message>
        <source>No microphone found.</source>
        <translation>No se encontró ningún micrófono.</translation>
    </message>
    <message>
        <source>Cannot capture the microphone: the sound server does not answer.</source>
        <translation>No se puede capturar el micrófono: el servidor de sonido no responde.</translation>
    </message>
    <message>
        <source>No microphone found: the sound server does not answer.</source>
        <translation>No se encontró ningún micrófono: el servidor de sonido no responde.</translation>
    </message>
    <message>
        <source>No microphone found: the sound server is not running</source>
        <translation>No se encontró ningún micrófono: el servidor de sonido no está en ejecución</translation>
    </message>
    <message>
        <source>No microphone found: cannot reach the sound server</source>
        <translation>No se encontró ningún micrófono: no se puede contactar con el servidor de sonido</translation>
    </message>
    <message>
        <source>The microphone cannot record 16-bit mono at %1 Hz.</source>
        <translation>El micrófono no puede grabar en mono de 16 bits a %1 Hz.</translation>
    </message>
    <message>
        <source>Cannot capture the microphone “%1”.</source>
        <translation>No se puede capturar el micrófono «%1».</translation>
    </message>
    <message>
        <source>Cannot capture the microphone: the application is not running.</source>
        <translation>No se puede capturar el micrófono: la aplicación no está en ejecución.</translation>
    </message>
    <message>
        <source>Cannot capture the microphone: the sound system does not answer.</source>
        <translation>No se puede capturar el micrófono: el sistema de sonido no responde.</translation>
    </message>
    <message>
        <source>The microphone is no longer available.</source>
        <translation>El micrófono ya no está disponible.</translation>
    </message>
</context>
<context>
    <name>Playback</name>
    <message>
        <source>Could not play the recording: %1</source>
        <translation>No se pudo reproducir la grabación: %1</translation>
    </message>
    <message>
        <source>Stop the recording to play “%1”.</source>
        <translation>Detenga la grabación para reproducir «%1».</translation>
    </message>
    <message>
        <source>Could not play “%1”: %2</source>
        <translation>No se pudo reproducir «%1»: %2</translation>
    </message>
    <message>
        <source>Cannot read “%1” any further: %2.</source>
        <translation>No se puede seguir leyendo «%1»: %2.</translation>
    </message>
    <message>
        <source>Cannot play “%1”: the file is not there.</source>
        <translation>No se puede reproducir «%1»: el archivo no existe.</translation>
    </message>
    <message>
        <source>Cannot play “%1”: it is not a file.</source>
        <translation>No se puede reproducir «%1»: no es un archivo.</translation>
    </message>
    <message>
        <source>Cannot play “%1”: %2</source>
        <translation>No se puede reproducir «%1»: %2</translation>
    </message>
    <message>
        <source>Cannot play “%1”: it holds no audio.</source>
        <translation>No se puede reproducir «%1»: no contiene audio.</translation>
    </message>
    <message>
        <source>Playback stopped: the sound server went away.</source>
        <translation>Reproducción detenida: el servidor de sonido desapareció.</translation>
    </message>
    <message>
        <source>Playback stopped: the sound server does not answer.</source>
        <translation>Reproducción detenida: el servidor de sonido no responde.</translation>
    </message>
    <message>
        <source>Cannot play: the sound server does not answer.</source>
        <translation>No se puede reproducir: el servidor de sonido no responde.</translation>
    </message>
    <message>
        <source>Playback stopped: the sound output went away.</source>
        <translation>Reproducción detenida: la salida de sonido desapareció.</translation>
    </message>
    <message>
        <source>Cannot play: cannot start the sound thread.</source>
        <translation>No se puede reproducir: no se puede iniciar el hilo de sonido.</translation>
    </message>
    <message>
        <source>Cannot play: out of memory.</source>
        <translation>No se puede reproducir: memoria insuficiente.</translation>
    </message>
    <message>
        <source>Cannot play: the sound server is not running</source>
        <translation>No se puede reproducir: el servidor de sonido no está en ejecución</translation>
    </message>
    <message>
        <source>Cannot play: cannot reach the sound server</source>
        <translation>No se puede reproducir: no se puede contactar con el servidor de sonido</translation>
    </message>
    <message>
        <source>Cannot play this file</source>
        <translation>No se puede reproducir este archivo</translation>
    </message>
    <message>
        <source>Cannot play</source>
        <translation>No se puede reproducir</translation>
    </message>
    <message>
        <source>Cannot play: no sound output</source>
        <translation>No se puede reproducir: no hay salida de sonido</translation>
    </message>
    <message>
        <source>Cannot play “%1”: %2 channels at %3 Hz are more than the sound server takes.</source>
        <translation>No se puede reproducir «%1»: %2 canales a %3 Hz son más de lo que admite el servidor de sonido.</translation>
    </message>
    <message>
        <source>Cannot play: no sound output found.</source>
        <translation>No se puede reproducir: no se encontró ninguna salida de sonido.</translation>
    </message>
    <message>
        <source>Cannot play: the sound output takes no %1 channels at %2 Hz.</source>
        <translation>No se puede reproducir: la salida de sonido no admite %1 canales a %2 Hz.</translation>
    </message>
</context>
<context>
    <name>QualityPresets</name>
    <message>
        <source>Quality : Low</source>
        <extracomment>The settings menu&apos;s row that steps through the presets: the setting, a colon, its value.</extracomment>
        <translation>Calidad: Baja</translation>
    </message>
    <message>
        <source>Quality : High</source>
        <translation>Calidad: Alta</translation>
    </message>
    <message>
        <source>Quality : Medium</source>
        <translation>Calidad: Media</translation>
    </message>
</context>
<context>
    <name>RecentRecordingsMenu</name>
    <message>
        <source>Recent Recordings</source>
        <translation>Grabaciones recientes</translation>
    </message>
    <message>
        <source>No Recordings</source>
        <translation>Ninguna grabación</translation>
    </message>
    <message>
        <source>Stop Playing</source>
        <translation>Detener la reproducción</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Reproducir</translation>
    </message>
    <message>
        <source>Show in Folder</source>
        <translation>Mostrar en la carpeta</translation>
    </message>
    <message>
        <source>Move to Trash</source>
        <translation>Mover a la papelera</translation>
    </message>
</context>
<context>
    <name>RecorderPanel</name>
    <message>
        <source>Record</source>
        <translation>Grabar</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Detener</translation>
    </message>
    <message>
        <source>Elapsed time</source>
        <translation>Tiempo transcurrido</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Configuración</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Mensaje</translation>
    </message>
    <message>
        <source>Pause</source>
        <extracomment>The round button&apos;s name and tooltip: it pauses the recording, or starts or resumes one.</extracomment>
        <translation>Pausar</translation>
    </message>
</context>
<context>
    <name>Recording</name>
    <message>
        <source>The recording could not be saved as “%1” (%2), so it is being saved as “%3”.</source>
        <translation>No se pudo guardar la grabación como «%1» (%2), así que se está guardando como «%3».</translation>
    </message>
    <message>
        <source>The previous recording in “%1” was kept.</source>
        <translation>Se conservó la grabación anterior en «%1».</translation>
    </message>
    <message>
        <source>Cannot record into “%1”: %2.</source>
        <translation>No se puede grabar en «%1»: %2.</translation>
    </message>
    <message>
        <source>Cannot write to “%1”: %2.</source>
        <translation>No se puede escribir en «%1»: %2.</translation>
    </message>
    <message>
        <source>The file could not be completed either: %1.</source>
        <translation>Tampoco se pudo completar el archivo: %1.</translation>
    </message>
    <message>
        <source>Nothing was recorded.</source>
        <translation>No se grabó nada.</translation>
    </message>
    <message>
        <source>Cannot complete “%1”: %2.</source>
        <translation>No se puede completar «%1»: %2.</translation>
    </message>
    <message>
        <source>A recording interrupted earlier was saved as “%1”.</source>
        <translation>Una grabación interrumpida anteriormente se guardó como «%1».</translation>
    </message>
    <message>
        <source>A recording interrupted earlier is in the hidden file “%1”.</source>
        <translation>Una grabación interrumpida anteriormente está en el archivo oculto «%1».</translation>
    </message>
    <message>
        <source>Cannot record into “%1”: it is a folder, not an audio file. Choose another name.</source>
        <translation>No se puede grabar en «%1»: es una carpeta, no un archivo de audio. Elija otro nombre.</translation>
    </message>
    <message>
        <source>Cannot record into “%1”: it is a pipe, not an audio file. Choose another name.</source>
        <translation>No se puede grabar en «%1»: es una tubería, no un archivo de audio. Elija otro nombre.</translation>
    </message>
    <message>
        <source>Cannot record into “%1”: it is a device, not an audio file. Choose another name.</source>
        <translation>No se puede grabar en «%1»: es un dispositivo, no un archivo de audio. Elija otro nombre.</translation>
    </message>
    <message>
        <source>Cannot record into “%1”: it is a socket, not an audio file. Choose another name.</source>
        <translation>No se puede grabar en «%1»: es un socket, no un archivo de audio. Elija otro nombre.</translation>
    </message>
    <message>
        <source>Cannot record into “%1”: it is not a regular file, not an audio file. Choose another name.</source>
        <translation>No se puede grabar en «%1»: no es ni un archivo normal ni un archivo de audio. Elija otro nombre.</translation>
    </message>
    <message>
        <source>Cannot create the file “%1”: %2.</source>
        <translation>No se puede crear el archivo «%1»: %2.</translation>
    </message>
    <message>
        <source>“%1” is a link to “%2”; choose another name.</source>
        <translation>«%1» es un enlace a «%2»; elija otro nombre.</translation>
    </message>
</context>
<context>
    <name>RecordingActions</name>
    <message>
        <source>Could not move “%1” to the Trash.</source>
        <translation>No se pudo mover «%1» a la papelera.</translation>
    </message>
    <message>
        <source>Moved “%1” to the Trash.</source>
        <translation>«%1» se movió a la papelera.</translation>
    </message>
</context>
<context>
    <name>RecordingController</name>
    <message>
        <source>“%1” is still being saved. Choose another name, or wait until it is saved.</source>
        <translation>«%1» todavía se está guardando. Elija otro nombre o espere a que se guarde.</translation>
    </message>
    <message>
        <source>Waiting for the sound server…</source>
        <translation>Esperando al servidor de sonido…</translation>
    </message>
    <message>
        <source>Could not start recording: %1</source>
        <translation>No se pudo iniciar la grabación: %1</translation>
    </message>
    <message>
        <source>Could not start recording.</source>
        <translation>No se pudo iniciar la grabación.</translation>
    </message>
    <message>
        <source>The recording stopped: %1</source>
        <translation>La grabación se detuvo: %1</translation>
    </message>
    <message>
        <source>The recording stopped: %1 Everything recorded until then is saved.</source>
        <translation>La grabación se detuvo: %1 Todo lo grabado hasta entonces está guardado.</translation>
    </message>
    <message>
        <source>%1 s missing at %2</source>
        <extracomment>A gap in the recording: %1 seconds of audio (as 2.5) missing at the time %2 (00 : 01 : 23).</extracomment>
        <translation>Faltan %1 s en %2</translation>
    </message>
    <message>
        <source>Recording from “%1”.</source>
        <extracomment>The microphone the recording was moved to, as the sound server names it.</extracomment>
        <translation>Grabando desde «%1».</translation>
    </message>
</context>
<context>
    <name>RecordingFileName</name>
    <message>
        <source>Recording on %1</source>
        <extracomment>The name the save dialog proposes; %1 is the date and time, as 31-12-25 235959.</extracomment>
        <translation>Grabación del %1</translation>
    </message>
</context>
<context>
    <name>SaveDialog</name>
    <message>
        <source>Save Recording</source>
        <translation>Guardar la grabación</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 ya existe.
¿Quiere reemplazarlo?</translation>
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
        <translation>Guardando la grabación</translation>
    </message>
    <message>
        <source>%1 — %2</source>
        <extracomment>The notification&apos;s body: the file&apos;s name and the recording&apos;s length.</extracomment>
        <translation>%1 — %2</translation>
    </message>
    <message>
        <source>Recording saved</source>
        <translation>Grabación guardada</translation>
    </message>
</context>
<context>
    <name>SavingMessage</name>
    <message>
        <source>Saving…</source>
        <translation>Guardando…</translation>
    </message>
    <message numerus="yes">
        <source>Saving %n recordings…</source>
        <translation>
            <numerusform>Guardando %n grabación…</numerusform>
            <numerusform>Guardando %n grabaciones…</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 %n s of audio still to write</source>
        <extracomment>%1 is &quot;Saving…&quot; or &quot;Saving 2 recordings…&quot;.</extracomment>
        <translation>
            <numerusform>%1 falta por escribir %n s de audio</numerusform>
            <numerusform>%1 faltan por escribir %n s de audio</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 completing the file</source>
        <extracomment>%1 is &quot;Saving…&quot; or &quot;Saving 2 recordings…&quot;.</extracomment>
        <translation>%1 completando el archivo</translation>
    </message>
    <message>
        <source>Registratore quits once it is saved. Quit again to quit now and lose it.</source>
        <translation>Registratore se cerrará en cuanto se guarde la grabación. Salga otra vez para salir ya y perderla.</translation>
    </message>
</context>
<context>
    <name>SettingsActions</name>
    <message>
        <source>Contact Us</source>
        <extracomment>Opens an e-mail to the developers.</extracomment>
        <translation>Contactar con nosotros</translation>
    </message>
    <message>
        <source>Quit</source>
        <extracomment>Ends the recorder (a recording is completed first).</extracomment>
        <translation>Salir</translation>
    </message>
</context>
<context>
    <name>SettingsMenu</name>
    <message>
        <source>Settings</source>
        <translation>Configuración</translation>
    </message>
</context>
<context>
    <name>SettingsPopover</name>
    <message>
        <source>Settings menu</source>
        <translation>Menú de configuración</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Configuración</translation>
    </message>
</context>
<context>
    <name>StartAtLoginAction</name>
    <message>
        <source>Start at Login</source>
        <translation>Iniciar al acceder</translation>
    </message>
    <message>
        <source>Start at Login could not be turned on: %1</source>
        <translation>No se pudo activar el inicio al acceder: %1</translation>
    </message>
    <message>
        <source>Start at Login could not be turned off: %1</source>
        <translation>No se pudo desactivar el inicio al acceder: %1</translation>
    </message>
</context>
<context>
    <name>StatusIndicator</name>
    <message>
        <source>Recording %1</source>
        <extracomment>The status icon&apos;s tooltip; %1 is the elapsed time, as 00 : 01 : 23.</extracomment>
        <translation>Grabando %1</translation>
    </message>
    <message>
        <source>Paused %1</source>
        <extracomment>The status icon&apos;s tooltip; %1 is the elapsed time, as 00 : 01 : 23.</extracomment>
        <translation>En pausa %1</translation>
    </message>
</context>
<context>
    <name>StatusMenu</name>
    <message>
        <source>Stop</source>
        <extracomment>Ends the recording and saves it.</extracomment>
        <translation>Detener</translation>
    </message>
    <message>
        <source>Open Recorder</source>
        <translation>Abrir la grabadora</translation>
    </message>
    <message>
        <source>Record</source>
        <extracomment>Starts a recording (the first time, asks where to save it).</extracomment>
        <translation>Grabar</translation>
    </message>
    <message>
        <source>Pause</source>
        <extracomment>Pauses the running recording.</extracomment>
        <translation>Pausar</translation>
    </message>
    <message>
        <source>Resume</source>
        <extracomment>Goes on with the paused recording.</extracomment>
        <translation>Reanudar</translation>
    </message>
</context>
<context>
    <name>platform::FreedesktopNotifications</name>
    <message>
        <source>Show in Folder</source>
        <translation>Mostrar en la carpeta</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Reproducir</translation>
    </message>
</context>
<context>
    <name>platform::PopoverWindow</name>
    <message>
        <source>Recorder</source>
        <extracomment>The recorder panel&apos;s window.</extracomment>
        <translation>Grabadora</translation>
    </message>
</context>
</TS>
