// The list of found files.
#pragma once

#include "../framework/CListBox.h"

class CHSListBox : public CListBox {
};
