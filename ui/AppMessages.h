// The program's own window messages, and what each parameter carries.
#pragma once

#include <windows.h>

// The engine has news for run wParam in its mailbox (lParam 0). Posted from a worker.
const UINT WM_SCAN_NEWS = WM_APP + 1;
// Every worker of run wParam has ended (lParam 0). Posted from the last of them.
const UINT WM_SCAN_ENDED = WM_APP + 2;
