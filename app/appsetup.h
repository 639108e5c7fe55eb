#pragma once
// The application object's settings, made once before the first window.

// Sets the application name "Quillora" and the program's icon. The display name is set
// empty on purpose: on X11 Qt adds a display name to every window title that does not
// already end with it ("Quillora Pro — Quillora"), and every title ends with "".
void setUpApplication();
