// A source of the engine that includes the window: the layer check must refuse it.
#include "../ui/CNorvaneDlg.h"
