#pragma once
// Where --version, --help and option errors are written. A program built for
// the Windows desktop has no console of its own: started from a command
// prompt, it borrows that prompt's console so the text is seen there; with
// its output redirected (to a file or a pipe) it writes there as it is.
// Elsewhere there is nothing to do.

void useParentConsole();

// Sends Qt's own messages (warnings, fatal errors) to standard error whenever
// the program has one. A Windows program started without a console (by a
// test harness, or with its output redirected) would otherwise send them
// only to an attached debugger, and a script run's errors would vanish.
// Must run before the first message.
void sendMessagesToStandardError();
