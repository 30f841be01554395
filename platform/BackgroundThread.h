#pragma once

// Puts the calling thread behind the window's thread: work that keeps a
// processor busy for seconds (making thumbnails, looking at every
// aircraft) then never keeps the window, or the helper threads its drawing
// waits for, from running. Qt's thread priorities change nothing for
// ordinary threads on Linux; there the thread's own nice value does.
// Asking again changes nothing more. False when the system refused.
bool moveThisThreadToBackground();
