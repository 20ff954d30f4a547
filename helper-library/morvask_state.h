// The library's process-wide state: the store of the latest path split and
// its handle. Unguarded: callers split and read from one thread at a time.
#pragma once
#include "path_split_core.h"

extern SplitStore m_SplitStore;  // empty at load
extern int m_SplitCounter;       // handle of the latest split; 0 at load
