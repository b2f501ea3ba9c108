// Which folders a scan enters. Pure rule over what a folder's listing (or the volume's table)
// says of it.
#pragma once

#include <cstdint>

// A folder that is a reparse point is entered only when its tag says it is no name surrogate:
// links, junctions and mount points lead out of the tree that the user chose (or back into it)
// and are never entered; a cloud provider's placeholder folder (OneDrive's Files On Demand, tag
// 0x9000?01A) is the folder itself, and listing it downloads nothing. A reparse point whose
// tag is not known (0) is taken for a link.
inline bool EntersFolder(uint32_t attributes, uint32_t reparseTag)
{
    const uint32_t kReparsePoint = 0x400;     // FILE_ATTRIBUTE_REPARSE_POINT
    const uint32_t kNameSurrogate = 0x20000000;  // IsReparseTagNameSurrogate
    if (!(attributes & kReparsePoint))
        return true;
    return reparseTag != 0 && !(reparseTag & kNameSurrogate);
}
