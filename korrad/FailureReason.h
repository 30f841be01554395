#pragma once

namespace korrad {

// Why the last call of an entry point answered 0, in words a player can be
// shown after the file's name ("is larger than 16384 pixels a side").
//
// One text per thread, kept in a map rather than in thread-local storage:
// the library is loaded and unloaded for every picture, and on Windows each
// load of thread-local storage would take a slot that is never given back.

// Forgets the reason; each entry point starts with this.
void clearFailure();

// Records why, unless a reason is recorded already (the first one found is the
// most precise), and answers false so a refusal reads `return refuse(...)`.
bool refuse(const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// The reason recorded, or the empty text.
const char *failureReason();

} // namespace korrad
