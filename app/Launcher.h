#pragma once

// Starts the recorder: the application object, the status icon (or, on a desktop without a
// status bar, an ordinary window) and the recorder panel; runs the event loop.
int runRecorderApplication(int &argc, char **argv);
