<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr" sourcelanguage="en">
<context>
    <name>AutostartEntry</name>
    <message>
        <source>“%1” is a link, which the recorder does not follow: remove it, then try again.</source>
        <translation>«&#xa0;%1&#xa0;» est un lien, que l’enregistreur ne suit pas&#xa0;: supprimez-le, puis réessayez.</translation>
    </message>
    <message>
        <source>“%1” is not a regular file: remove it, then try again.</source>
        <translation>«&#xa0;%1&#xa0;» n’est pas un fichier ordinaire&#xa0;: supprimez-le, puis réessayez.</translation>
    </message>
    <message>
        <source>“%1” is not a folder.</source>
        <translation>«&#xa0;%1&#xa0;» n’est pas un dossier.</translation>
    </message>
    <message>
        <source>The folder “%1” cannot be created.</source>
        <translation>Impossible de créer le dossier «&#xa0;%1&#xa0;».</translation>
    </message>
    <message>
        <source>“%1” cannot be written: %2</source>
        <translation>Impossible d’écrire «&#xa0;%1&#xa0;»&#xa0;: %2</translation>
    </message>
    <message>
        <source>“%1” cannot be removed: %2</source>
        <translation>Impossible de supprimer «&#xa0;%1&#xa0;»&#xa0;: %2</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Platform plugin: xcb (X11, or Xwayland), wayland, offscreen ...</source>
        <translation>Greffon de plateforme&#xa0;: xcb (X11 ou Xwayland), wayland, offscreen…</translation>
    </message>
    <message>
        <source>Where the platform plugins are.</source>
        <translation>Dossier des greffons de plateforme.</translation>
    </message>
    <message>
        <source>Platform theme.</source>
        <translation>Thème de la plateforme.</translation>
    </message>
    <message>
        <source>An additional plugin to load; may be given more than once.</source>
        <translation>Un greffon supplémentaire à charger&#xa0;; peut être donné plusieurs fois.</translation>
    </message>
    <message>
        <source>Geometry of the first window, as WIDTHxHEIGHT+X+Y.</source>
        <translation>Géométrie de la première fenêtre, sous la forme LARGEURxHAUTEUR+X+Y.</translation>
    </message>
    <message>
        <source>Default window icon.</source>
        <translation>Icône de fenêtre par défaut.</translation>
    </message>
    <message>
        <source>Title of the first window.</source>
        <translation>Titre de la première fenêtre.</translation>
    </message>
    <message>
        <source>Lays the windows out from right to left.</source>
        <translation>Dispose les fenêtres de droite à gauche.</translation>
    </message>
    <message>
        <source>Restores the application from an earlier session.</source>
        <translation>Restaure l’application depuis une session précédente.</translation>
    </message>
    <message>
        <source>Widget style, such as Fusion.</source>
        <translation>Style des widgets, par exemple Fusion.</translation>
    </message>
    <message>
        <source>Style sheet for the widgets.</source>
        <translation>Feuille de style des widgets.</translation>
    </message>
    <message>
        <source>Says at the end how many widgets were left.</source>
        <translation>Indique à la fin combien de widgets restaient.</translation>
    </message>
    <message>
        <source>X display, instead of $DISPLAY.</source>
        <translation>Écran X, au lieu de $DISPLAY.</translation>
    </message>
    <message>
        <source>Instance name (ICCCM 4.1.2.5).</source>
        <translation>Nom de l’instance (ICCCM 4.1.2.5).</translation>
    </message>
    <message>
        <source>X visual to use.</source>
        <translation>Visual X à utiliser.</translation>
    </message>
    <message>
        <source>On X11, the same as -qwindowgeometry.</source>
        <translation>Sous X11, identique à -qwindowgeometry.</translation>
    </message>
    <message>
        <source>On X11, the same as -qwindowtitle.</source>
        <translation>Sous X11, identique à -qwindowtitle.</translation>
    </message>
    <message>
        <source>On X11, the same as -qwindowicon.</source>
        <translation>Sous X11, identique à -qwindowicon.</translation>
    </message>
    <message>
        <source>Never grabs the mouse (for debuggers).</source>
        <translation>Ne capture jamais la souris (pour les débogueurs).</translation>
    </message>
    <message>
        <source>Grabs the mouse even in a debugger.</source>
        <translation>Capture la souris même dans un débogueur.</translation>
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
Les options standard de Qt (-platform, -style, -display, -reverse, -qwindowgeometry et les
autres que liste --help-all) sont prises par la boîte à outils quand l’enregistreur tourne&#xa0;;
--record et --stop répondent à côté d’elles sans écran.

Code de sortie&#xa0;:
  0  --record ou --stop a été exécuté et a affiché l’état atteint (recording, paused,
     stopped, choosing where to save)&#xa0;; ou l’enregistreur s’est terminé normalement,
     a ouvert le panneau de celui déjà lancé ou lui a transmis le fichier à ouvrir.
  1  --record ou --stop a été refusé ou a échoué, et a affiché pourquoi (nothing is
     recording, la fenêtre d’enregistrement est ouverte, aucun enregistreur n’a pu
     être joint ni lancé…)&#xa0;; ou le fichier à ouvrir manque ou n’est pas un fichier
     ordinaire&#xa0;; ou l’enregistreur n’a trouvé aucun écran, ou n’a pas pu terminer
     l’enregistrement à la fin.
  2  La ligne de commande était incorrecte.
</translation>
    </message>
    <message>
        <source>A voice recorder in the desktop&apos;s status bar. Without options it starts, or opens the panel of the one already running; given a recording, it opens that in the recorder.
--record and --stop act on the running recorder, as its buttons do, and print one line: the state they left, or why nothing was done.</source>
        <translation>Un enregistreur vocal dans la zone de notification du bureau. Sans option, il démarre ou ouvre le panneau de celui déjà lancé&#xa0;; avec un enregistrement, il l’ouvre dans l’enregistreur.
--record et --stop agissent sur l’enregistreur lancé, comme ses boutons, et affichent une ligne&#xa0;: l’état atteint, ou pourquoi rien n’a été fait.</translation>
    </message>
    <message>
        <source>Record, pause or resume, as the Record/Pause button does: the first press asks where to save. Starts the recorder if it is not running.</source>
        <translation>Enregistre, met en pause ou reprend, comme le bouton Enregistrer/Mettre en pause&#xa0;: le premier appui demande où sauvegarder. Lance l’enregistreur s’il ne tourne pas.</translation>
    </message>
    <message>
        <source>Stop recording, as the Stop button does.</source>
        <translation>Arrête l’enregistrement, comme le bouton Arrêter.</translation>
    </message>
    <message>
        <source>A recording (.caf) to open in the recorder: the running one, or one started for it. Of several, the first is opened.</source>
        <translation>Un enregistrement (.caf) à ouvrir dans l’enregistreur&#xa0;: celui qui tourne, ou un lancé pour lui. S’il y en a plusieurs, le premier est ouvert.</translation>
    </message>
</context>
<context>
    <name>LastRecordingRow</name>
    <message>
        <source>Show in Folder</source>
        <translation>Afficher dans le dossier</translation>
    </message>
    <message>
        <source>Playback position</source>
        <translation>Position de lecture</translation>
    </message>
    <message>
        <source>Stop Playing</source>
        <translation>Arrêter la lecture</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Lire</translation>
    </message>
    <message>
        <source>Last recording</source>
        <extracomment>The name of the last recording, a button that shows it in its folder (for screen readers).</extracomment>
        <translation>Dernier enregistrement</translation>
    </message>
</context>
<context>
    <name>Launcher</name>
    <message>
        <source>The recording could not be completed: %1</source>
        <translation>L’enregistrement n’a pas pu être terminé&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>LevelBar</name>
    <message>
        <source>Input level</source>
        <translation>Niveau d’entrée</translation>
    </message>
</context>
<context>
    <name>Microphone</name>
    <message>
        <source>The sound server stopped.</source>
        <translation>Le serveur de son s’est arrêté.</translation>
    </message>
    <message>
        <source>The microphone was disconnected.</source>
        <translation>Le microphone a été déconnecté.</translation>
    </message>
    <message>
        <source>The microphone could not be opened again after the pause.</source>
        <translation>Le microphone n’a pas pu être rouvert après la pause.</translation>
    </message>
    <message>
        <source>Cannot capture the microphone: cannot start the sound thread.</source>
        <translation>Impossible de capter le microphone&#xa0;: le fil d’exécution audio ne peut pas démarrer.</translation>
    </message>
    <message>
        <source>Cannot capture the microphone at %1 Hz.</source>
        <translation>Impossible de capter le microphone à %1&#xa0;Hz.</translation>
    </message>
    <message>
        <source>Cannot capture the microphone: out of memory.</source>
        <translation>Impossible de capter le microphone&#xa0;: mémoire insuffisante.</translation>
    </message>
    <message>
        <source>Cannot capture the microphone</source>
        <translation>Impossible de capter le microphone</translation>
    </message>
    <message>
        <source>No microphone found.</source>
        <translation>Aucun microphone trouvé.</translation>
    </message>
    <message>
        <source>Cannot capture the microphone: the sound server does not answer.</source>
        <translation>Impossible de capter le microphone&#xa0;: le serveur de son ne répond pas.</translation>
    </message>
    <message>
        <source>No microphone found: the sound server does not answer.</source>
        <translation>Aucun microphone trouvé&#xa0;: le serveur de son ne répond pas.</translation>
    </message>
    <message>
        <source>No microphone found: the sound server is not running</source>
        <translation>Aucun microphone trouvé&#xa0;: le serveur de son n’est pas lancé</translation>
    </message>
    <message>
        <source>No microphone found: cannot reach the sound server</source>
        <translation>Aucun microphone trouvé&#xa0;: le serveur de son est injoignable</translation>
    </message>
    <message>
        <source>The microphone cannot record 16-bit mono at %1 Hz.</source>
        <translation>Le microphone ne peut pas enregistrer en mono 16&#xa0;bits à %1&#xa0;Hz.</translation>
    </message>
    <message>
        <source>Cannot capture the microphone “%1”.</source>
        <translation>Impossible de capter le microphone «&#xa0;%1&#xa0;».</translation>
    </message>
    <message>
        <source>Cannot capture the microphone: the application is not running.</source>
        <translation>Impossible de capter le microphone&#xa0;: l’application n’est pas lancée.</translation>
    </message>
    <message>
        <source>Cannot capture the microphone: the sound system does not answer.</source>
        <translation>Impossible de capter le microphone&#xa0;: le système audio ne répond pas.</translation>
    </message>
    <message>
        <source>The microphone is no longer available.</source>
        <translation>Le microphone n’est plus disponible.</translation>
    </message>
</context>
<context>
    <name>Playback</name>
    <message>
        <source>Could not play the recording: %1</source>
        <translation>Impossible de lire l’enregistrement&#xa0;: %1</translation>
    </message>
    <message>
        <source>Stop the recording to play “%1”.</source>
        <translation>Arrêtez l’enregistrement pour lire «&#xa0;%1&#xa0;».</translation>
    </message>
    <message>
        <source>Could not play “%1”: %2</source>
        <translation>Impossible de lire «&#xa0;%1&#xa0;»&#xa0;: %2</translation>
    </message>
    <message>
        <source>Cannot read “%1” any further: %2.</source>
        <translation>Impossible de lire «&#xa0;%1&#xa0;» plus loin&#xa0;: %2.</translation>
    </message>
    <message>
        <source>Cannot play “%1”: the file is not there.</source>
        <translation>Impossible de lire «&#xa0;%1&#xa0;»&#xa0;: le fichier n’existe pas.</translation>
    </message>
    <message>
        <source>Cannot play “%1”: it is not a file.</source>
        <translation>Impossible de lire «&#xa0;%1&#xa0;»&#xa0;: ce n’est pas un fichier.</translation>
    </message>
    <message>
        <source>Cannot play “%1”: %2</source>
        <translation>Impossible de lire «&#xa0;%1&#xa0;»&#xa0;: %2</translation>
    </message>
    <message>
        <source>Cannot play “%1”: it holds no audio.</source>
        <translation>Impossible de lire «&#xa0;%1&#xa0;»&#xa0;: il ne contient aucun son.</translation>
    </message>
    <message>
        <source>Playback stopped: the sound server went away.</source>
        <translation>Lecture arrêtée&#xa0;: le serveur de son a disparu.</translation>
    </message>
    <message>
        <source>Playback stopped: the sound server does not answer.</source>
        <translation>Lecture arrêtée&#xa0;: le serveur de son ne répond pas.</translation>
    </message>
    <message>
        <source>Cannot play: the sound server does not answer.</source>
        <translation>Lecture impossible&#xa0;: le serveur de son ne répond pas.</translation>
    </message>
    <message>
        <source>Playback stopped: the sound output went away.</source>
        <translation>Lecture arrêtée&#xa0;: la sortie audio a disparu.</translation>
    </message>
    <message>
        <source>Cannot play: cannot start the sound thread.</source>
        <translation>Lecture impossible&#xa0;: le fil d’exécution audio ne peut pas démarrer.</translation>
    </message>
    <message>
        <source>Cannot play: out of memory.</source>
        <translation>Lecture impossible&#xa0;: mémoire insuffisante.</translation>
    </message>
    <message>
        <source>Cannot play: the sound server is not running</source>
        <translation>Lecture impossible&#xa0;: le serveur de son n’est pas lancé</translation>
    </message>
    <message>
        <source>Cannot play: cannot reach the sound server</source>
        <translation>Lecture impossible&#xa0;: le serveur de son est injoignable</translation>
    </message>
    <message>
        <source>Cannot play this file</source>
        <translation>Impossible de lire ce fichier</translation>
    </message>
    <message>
        <source>Cannot play</source>
        <translation>Lecture impossible</translation>
    </message>
    <message>
        <source>Cannot play: no sound output</source>
        <translation>Lecture impossible&#xa0;: aucune sortie audio</translation>
    </message>
    <message>
        <source>Cannot play “%1”: %2 channels at %3 Hz are more than the sound server takes.</source>
        <translation>Impossible de lire «&#xa0;%1&#xa0;»&#xa0;: %2&#xa0;canaux à %3&#xa0;Hz, c’est plus que ce qu’accepte le serveur de son.</translation>
    </message>
    <message>
        <source>Cannot play: no sound output found.</source>
        <translation>Lecture impossible&#xa0;: aucune sortie audio trouvée.</translation>
    </message>
    <message>
        <source>Cannot play: the sound output takes no %1 channels at %2 Hz.</source>
        <translation>Lecture impossible&#xa0;: la sortie audio n’accepte pas %1&#xa0;canaux à %2&#xa0;Hz.</translation>
    </message>
</context>
<context>
    <name>QualityPresets</name>
    <message>
        <source>Quality : Low</source>
        <extracomment>The settings menu&apos;s row that steps through the presets: the setting, a colon, its value.</extracomment>
        <translation>Qualité&#xa0;: Basse</translation>
    </message>
    <message>
        <source>Quality : High</source>
        <translation>Qualité&#xa0;: Haute</translation>
    </message>
    <message>
        <source>Quality : Medium</source>
        <translation>Qualité&#xa0;: Moyenne</translation>
    </message>
</context>
<context>
    <name>RecentRecordingsMenu</name>
    <message>
        <source>Recent Recordings</source>
        <translation>Enregistrements récents</translation>
    </message>
    <message>
        <source>No Recordings</source>
        <translation>Aucun enregistrement</translation>
    </message>
    <message>
        <source>Stop Playing</source>
        <translation>Arrêter la lecture</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Lire</translation>
    </message>
    <message>
        <source>Show in Folder</source>
        <translation>Afficher dans le dossier</translation>
    </message>
    <message>
        <source>Move to Trash</source>
        <translation>Mettre à la corbeille</translation>
    </message>
</context>
<context>
    <name>RecorderPanel</name>
    <message>
        <source>Record</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Arrêter</translation>
    </message>
    <message>
        <source>Elapsed time</source>
        <translation>Temps écoulé</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Paramètres</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>Pause</source>
        <extracomment>The round button&apos;s name and tooltip: it pauses the recording, or starts or resumes one.</extracomment>
        <translation>Mettre en pause</translation>
    </message>
</context>
<context>
    <name>Recording</name>
    <message>
        <source>The recording could not be saved as “%1” (%2), so it is being saved as “%3”.</source>
        <translation>L’enregistrement n’a pas pu être sauvegardé sous «&#xa0;%1&#xa0;» (%2)&#xa0;; il est donc sauvegardé sous «&#xa0;%3&#xa0;».</translation>
    </message>
    <message>
        <source>The previous recording in “%1” was kept.</source>
        <translation>L’enregistrement précédent dans «&#xa0;%1&#xa0;» a été conservé.</translation>
    </message>
    <message>
        <source>Cannot record into “%1”: %2.</source>
        <translation>Impossible d’enregistrer dans «&#xa0;%1&#xa0;»&#xa0;: %2.</translation>
    </message>
    <message>
        <source>Cannot write to “%1”: %2.</source>
        <translation>Impossible d’écrire dans «&#xa0;%1&#xa0;»&#xa0;: %2.</translation>
    </message>
    <message>
        <source>The file could not be completed either: %1.</source>
        <translation>Le fichier n’a pas pu être terminé non plus&#xa0;: %1.</translation>
    </message>
    <message>
        <source>Nothing was recorded.</source>
        <translation>Rien n’a été enregistré.</translation>
    </message>
    <message>
        <source>Cannot complete “%1”: %2.</source>
        <translation>Impossible de terminer «&#xa0;%1&#xa0;»&#xa0;: %2.</translation>
    </message>
    <message>
        <source>A recording interrupted earlier was saved as “%1”.</source>
        <translation>Un enregistrement interrompu auparavant a été sauvegardé sous «&#xa0;%1&#xa0;».</translation>
    </message>
    <message>
        <source>A recording interrupted earlier is in the hidden file “%1”.</source>
        <translation>Un enregistrement interrompu auparavant se trouve dans le fichier caché «&#xa0;%1&#xa0;».</translation>
    </message>
    <message>
        <source>Cannot record into “%1”: it is a folder, not an audio file. Choose another name.</source>
        <translation>Impossible d’enregistrer dans «&#xa0;%1&#xa0;»&#xa0;: c’est un dossier, pas un fichier audio. Choisissez un autre nom.</translation>
    </message>
    <message>
        <source>Cannot record into “%1”: it is a pipe, not an audio file. Choose another name.</source>
        <translation>Impossible d’enregistrer dans «&#xa0;%1&#xa0;»&#xa0;: c’est un tube, pas un fichier audio. Choisissez un autre nom.</translation>
    </message>
    <message>
        <source>Cannot record into “%1”: it is a device, not an audio file. Choose another name.</source>
        <translation>Impossible d’enregistrer dans «&#xa0;%1&#xa0;»&#xa0;: c’est un périphérique, pas un fichier audio. Choisissez un autre nom.</translation>
    </message>
    <message>
        <source>Cannot record into “%1”: it is a socket, not an audio file. Choose another name.</source>
        <translation>Impossible d’enregistrer dans «&#xa0;%1&#xa0;»&#xa0;: c’est un socket, pas un fichier audio. Choisissez un autre nom.</translation>
    </message>
    <message>
        <source>Cannot record into “%1”: it is not a regular file, not an audio file. Choose another name.</source>
        <translation>Impossible d’enregistrer dans «&#xa0;%1&#xa0;»&#xa0;: ce n’est ni un fichier ordinaire ni un fichier audio. Choisissez un autre nom.</translation>
    </message>
    <message>
        <source>Cannot create the file “%1”: %2.</source>
        <translation>Impossible de créer le fichier «&#xa0;%1&#xa0;»&#xa0;: %2.</translation>
    </message>
    <message>
        <source>“%1” is a link to “%2”; choose another name.</source>
        <translation>«&#xa0;%1&#xa0;» est un lien vers «&#xa0;%2&#xa0;»&#xa0;; choisissez un autre nom.</translation>
    </message>
</context>
<context>
    <name>RecordingActions</name>
    <message>
        <source>Could not move “%1” to the Trash.</source>
        <translation>Impossible de mettre «&#xa0;%1&#xa0;» à la corbeille.</translation>
    </message>
    <message>
        <source>Moved “%1” to the Trash.</source>
        <translation>«&#xa0;%1&#xa0;» a été mis à la corbeille.</translation>
    </message>
</context>
<context>
    <name>RecordingController</name>
    <message>
        <source>“%1” is still being saved. Choose another name, or wait until it is saved.</source>
        <translation>«&#xa0;%1&#xa0;» est encore en cours de sauvegarde. Choisissez un autre nom, ou attendez qu’il soit sauvegardé.</translation>
    </message>
    <message>
        <source>Waiting for the sound server…</source>
        <translation>En attente du serveur de son…</translation>
    </message>
    <message>
        <source>Could not start recording: %1</source>
        <translation>Impossible de commencer l’enregistrement&#xa0;: %1</translation>
    </message>
    <message>
        <source>Could not start recording.</source>
        <translation>Impossible de commencer l’enregistrement.</translation>
    </message>
    <message>
        <source>The recording stopped: %1</source>
        <translation>L’enregistrement s’est arrêté&#xa0;: %1</translation>
    </message>
    <message>
        <source>The recording stopped: %1 Everything recorded until then is saved.</source>
        <translation>L’enregistrement s’est arrêté&#xa0;: %1 Tout ce qui a été enregistré jusque-là est sauvegardé.</translation>
    </message>
    <message>
        <source>%1 s missing at %2</source>
        <extracomment>A gap in the recording: %1 seconds of audio (as 2.5) missing at the time %2 (00 : 01 : 23).</extracomment>
        <translation>%1&#xa0;s manquantes à %2</translation>
    </message>
    <message>
        <source>Recording from “%1”.</source>
        <extracomment>The microphone the recording was moved to, as the sound server names it.</extracomment>
        <translation>Enregistrement depuis «&#xa0;%1&#xa0;».</translation>
    </message>
</context>
<context>
    <name>RecordingFileName</name>
    <message>
        <source>Recording on %1</source>
        <extracomment>The name the save dialog proposes; %1 is the date and time, as 31-12-25 235959.</extracomment>
        <translation>Enregistrement du %1</translation>
    </message>
</context>
<context>
    <name>SaveDialog</name>
    <message>
        <source>Save Recording</source>
        <translation>Sauvegarder l’enregistrement</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 existe déjà.
Voulez-vous le remplacer&#x202f;?</translation>
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
        <translation>Sauvegarde de l’enregistrement</translation>
    </message>
    <message>
        <source>%1 — %2</source>
        <extracomment>The notification&apos;s body: the file&apos;s name and the recording&apos;s length.</extracomment>
        <translation>%1 — %2</translation>
    </message>
    <message>
        <source>Recording saved</source>
        <translation>Enregistrement sauvegardé</translation>
    </message>
</context>
<context>
    <name>SavingMessage</name>
    <message>
        <source>Saving…</source>
        <translation>Sauvegarde…</translation>
    </message>
    <message numerus="yes">
        <source>Saving %n recordings…</source>
        <translation>
            <numerusform>Sauvegarde de %n enregistrement…</numerusform>
            <numerusform>Sauvegarde de %n enregistrements…</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 %n s of audio still to write</source>
        <extracomment>%1 is &quot;Saving…&quot; or &quot;Saving 2 recordings…&quot;.</extracomment>
        <translation>
            <numerusform>%1 encore %n&#xa0;s d’audio à écrire</numerusform>
            <numerusform>%1 encore %n&#xa0;s d’audio à écrire</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 completing the file</source>
        <extracomment>%1 is &quot;Saving…&quot; or &quot;Saving 2 recordings…&quot;.</extracomment>
        <translation>%1 finalisation du fichier</translation>
    </message>
    <message>
        <source>Registratore quits once it is saved. Quit again to quit now and lose it.</source>
        <translation>Registratore se fermera une fois l’enregistrement sauvegardé. Quittez de nouveau pour quitter tout de suite et le perdre.</translation>
    </message>
</context>
<context>
    <name>SettingsActions</name>
    <message>
        <source>Contact Us</source>
        <extracomment>Opens an e-mail to the developers.</extracomment>
        <translation>Nous contacter</translation>
    </message>
    <message>
        <source>Quit</source>
        <extracomment>Ends the recorder (a recording is completed first).</extracomment>
        <translation>Quitter</translation>
    </message>
</context>
<context>
    <name>SettingsMenu</name>
    <message>
        <source>Settings</source>
        <translation>Paramètres</translation>
    </message>
</context>
<context>
    <name>SettingsPopover</name>
    <message>
        <source>Settings menu</source>
        <translation>Menu des paramètres</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Paramètres</translation>
    </message>
</context>
<context>
    <name>StartAtLoginAction</name>
    <message>
        <source>Start at Login</source>
        <translation>Lancer à la connexion</translation>
    </message>
    <message>
        <source>Start at Login could not be turned on: %1</source>
        <translation>Impossible d’activer le lancement à la connexion&#xa0;: %1</translation>
    </message>
    <message>
        <source>Start at Login could not be turned off: %1</source>
        <translation>Impossible de désactiver le lancement à la connexion&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>StatusIndicator</name>
    <message>
        <source>Recording %1</source>
        <extracomment>The status icon&apos;s tooltip; %1 is the elapsed time, as 00 : 01 : 23.</extracomment>
        <translation>Enregistrement en cours %1</translation>
    </message>
    <message>
        <source>Paused %1</source>
        <extracomment>The status icon&apos;s tooltip; %1 is the elapsed time, as 00 : 01 : 23.</extracomment>
        <translation>En pause %1</translation>
    </message>
</context>
<context>
    <name>StatusMenu</name>
    <message>
        <source>Stop</source>
        <extracomment>Ends the recording and saves it.</extracomment>
        <translation>Arrêter</translation>
    </message>
    <message>
        <source>Open Recorder</source>
        <translation>Ouvrir l’enregistreur</translation>
    </message>
    <message>
        <source>Record</source>
        <extracomment>Starts a recording (the first time, asks where to save it).</extracomment>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>Pause</source>
        <extracomment>Pauses the running recording.</extracomment>
        <translation>Mettre en pause</translation>
    </message>
    <message>
        <source>Resume</source>
        <extracomment>Goes on with the paused recording.</extracomment>
        <translation>Reprendre</translation>
    </message>
</context>
<context>
    <name>platform::FreedesktopNotifications</name>
    <message>
        <source>Show in Folder</source>
        <translation>Afficher dans le dossier</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Lire</translation>
    </message>
</context>
<context>
    <name>platform::PopoverWindow</name>
    <message>
        <source>Recorder</source>
        <extracomment>The recorder panel&apos;s window.</extracomment>
        <translation>Enregistreur</translation>
    </message>
</context>
</TS>
