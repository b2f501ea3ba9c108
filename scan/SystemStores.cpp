#include "SystemStores.h"

#include <cstring>

bool IsSystemStoreName(const CString& name)
{
    static const char* const kStores[] = {"$Recycle.Bin", "RECYCLER", "RECYCLED", "System Volume Information"};
    for (const char* store : kStores) {
        // Plain ASCII names, compared byte by byte without regard to case.
        if (_stricmp(name, store) == 0)
            return true;
    }
    return false;
}
