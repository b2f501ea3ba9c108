// Presses Ctrl+C in the console of process PID, as a user at that console would:
//   send_ctrl_c.exe PID
// A program of its own, since the event reaches every process attached to the console, the
// sender too (which Wine's 32-bit loader does not always let a handler of its own catch).
#include <windows.h>

#include <cstdlib>

namespace {

BOOL WINAPI TakeNoNotice(DWORD)
{
    return TRUE;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const DWORD pid = static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10));
    ::FreeConsole();
    for (int i = 0; i < 1000 && !::AttachConsole(pid); ++i)
        ::Sleep(10);
    ::SetConsoleCtrlHandler(&TakeNoNotice, TRUE);
    return ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0) ? 0 : 1;
}
