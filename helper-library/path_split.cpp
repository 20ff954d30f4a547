// The exported split: one process-wide store, and a handle that only the
// latest split's items are handed out for.
#include "Morvask.h"
#include "code_page.h"
#include "morvask_state.h"

int WINAPI MRVK0_SplitPath(const char* path)
{
    SplitPathInto(path, IsLeadByteOfActiveCodePage, &m_SplitStore);
    m_SplitCounter = NextSplitHandle(m_SplitCounter);
    return m_SplitCounter;
}

int WINAPI MRVK0_GetSplitItem(int handle, int item, char* out)
{
    if (handle != m_SplitCounter) return -1;
    return FormSplitItem(&m_SplitStore, item, IsLeadByteOfActiveCodePage, out);
}
