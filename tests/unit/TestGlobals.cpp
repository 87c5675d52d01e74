#include "LogMgr.h"
#include "VornelThunk.h"

// The unit tests' own process-wide objects, as the library defines them.
LogMgr theLogMgr;
VornelThunk theThunk;
