#pragma once

// Which of Qt's display backends the program's windows use.
namespace DisplayPlatform {

// On a Wayland session Qt would take its native Wayland backend, where a window is never told
// that it was minimised and cannot place itself: minimising to the tray and the stored position
// need X. So XWayland is used where it runs (DISPLAY set too); a platform the user names in
// QT_QPA_PLATFORM still wins. Call before the application object is made.
void PreferXWayland();

// Whether the windows go to a display server (X or Wayland), as they do unless QT_QPA_PLATFORM
// names another backend (offscreen, vnc …), which needs no display of the user's.
bool UsesDisplayServer();

// Call once the application object exists: the programs it starts later (the web browser)
// choose their own backend again.
void LeaveChildrenTheirChoice();

} // namespace DisplayPlatform
