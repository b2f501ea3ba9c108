// The system's own stores at the root of a volume: the Recycle Bin (each user's recycled
// files, kept under names that end like the originals) and the restore points. Nothing in
// them is junk to be cleaned by name, and deleting a recycled file leaves its record in the
// Recycle Bin pointing at nothing: neither the walk nor the table reader enters them.
#pragma once

#include "../framework/CString.h"

// "$Recycle.Bin", "RECYCLER", "RECYCLED" or "System Volume Information", in any case.
bool IsSystemStoreName(const CString& name);
