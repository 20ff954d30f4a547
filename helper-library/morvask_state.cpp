#include "Morvask.h"
#include "morvask_state.h"

char m_ModuleName[12] = "Morvask.dll";

SplitStore m_SplitStore;
int m_SplitCounter = 0;
