#pragma once
// Lets a scenario see the order in which Vornel.dll releases its backend and
// closes its log, which no backend can see for itself: the loader detaches a
// module freed during an unload only after that unload has finished.
#include <windows.h>

// Routes the library's own imports of FreeLibrary and fclose through this
// program, which appends "FreeLibrary <module file name>" and "fclose" to the
// backends' journal beside it before passing each call on. The hooks live in
// the host program, which stays mapped through the library's unload and
// through the end of the process. Fails the test if either import is absent.
void WatchReleaseAndClose(HMODULE library);
