#pragma once

// Call first in main, before the application object: Qt compiles regular
// expressions of its own while it starts (its plugin folders are listed
// through name filters), and reads this choice once, at the first.
//
// Qt gives each thread that runs a compiled (JIT) regular expression a
// thread-local stack with a destructor run when the thread ends. With the
// emulated thread-local storage of the Windows build that destructor runs
// after the thread's storage has been freed: a worker that matched any
// regular expression (Qt's own name filters included) faults while it ends,
// the fault is swallowed where the thread ends, and it leaves the C++
// runtime's lock of thread keys held, so the program never finishes
// exiting. The interpreter never touches that thread-local; the patterns
// Corvane matches are short, and the interpreter runs them as fast.
void useInterpretedRegexes();
