#include "SkinSets.h"

#include "../framework/Dpi.h"
#include "../res/resource.h"

int SkinSet(int dpi)
{
    for (int set = 0; set < 4; ++set) {
        if (dpi * 4 <= kDesignDpi * (4 + set))
            return set;
    }
    return 4;
}

UINT SkinBitmapFor(UINT nBitmap100, int dpi)
{
    return nBitmap100 + static_cast<UINT>(SkinSet(dpi)) * IDB_SCALE_STEP;
}
