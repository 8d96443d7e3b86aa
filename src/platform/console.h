#pragma once
// Where --version, --help and option errors are written. A program built for
// the Windows desktop has no console of its own: started from a command
// prompt, it borrows that prompt's console so the text is seen there; with
// its output redirected (to a file or a pipe) it writes there as it is.
// Elsewhere there is nothing to do.

void useParentConsole();
