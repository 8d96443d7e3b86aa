#pragma once
// Ends the process at once, as a power cut or a killed process would: no
// destructor, no exit handler, no window closing, nothing the program would
// do on a normal end. Only the C streams are flushed first, so what was
// already printed is kept.
[[noreturn]] void endAbruptly(int status);
