#pragma once

class QString;

namespace platform {

// Whether a graphical session can be reached; `*error` (when given) says what is missing when
// not.
bool hasGraphicalSession(QString *error = nullptr);

// On a Wayland session that also offers an X server (Xwayland), sends the windows through it
// unless the user chose a platform (QT_QPA_PLATFORM, -platform): Wayland lets no client place
// its windows, and the popover must open at the status icon. Call before the application object
// exists, and windowSystemChosen() once it does, so that the programs we start are not told.
void preferPlaceableWindows(int argc, char **argv);
void windowSystemChosen();

// Whether the session is a Wayland one, whichever way our windows go.
bool waylandSession();

} // namespace platform
