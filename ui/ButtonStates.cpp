#include "ButtonStates.h"

ButtonStates ButtonStatesFor(RunView view)
{
    switch (view) {
    case RunView::Scanning:
        return {false, true, true, true, true, "暂停"};
    case RunView::Paused:
        return {false, true, true, true, true, "继续"};
    case RunView::Deleting:
        // The list is being worked through: nothing else may take from it meanwhile.
        return {false, false, true, false, false, "暂停"};
    case RunView::Idle:
    default:
        return {true, false, false, true, true, "暂停"};
    }
}
