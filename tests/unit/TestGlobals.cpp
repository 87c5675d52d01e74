#include "LogMgr.h"
#include "RecordingSink.h"
#include "VornelThunk.h"

// What the thunk tests' sink records. Defined before theLogMgr so that it is
// destroyed after it: the manager's teardown deletes that sink, whose
// destructor still writes here.
RecordingSink::Journal thunkLog;

// The unit tests' own process-wide objects, as the library defines them.
LogMgr theLogMgr;
VornelThunk theThunk;
