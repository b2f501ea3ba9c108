// Holds the runs of the program under test (this process's engine, or a program started while
// the object lives) at an item of their work, through the gate that the engine keeps for
// tests (scan/TestGate.h): a Stop, an Esc or a Ctrl+C then comes in the middle of the work
// whatever the machine's speed.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

class CHeldRun {
public:
    // kind "scan" or "delete"; the runs stop before their item number at.
    CHeldRun(const std::string& kind, unsigned at)
    {
        static std::atomic<unsigned> s_next{0};
        const std::wstring name =
            L"kelvaro-test-gate-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++s_next);
        m_hOpen = ::CreateEventW(nullptr, TRUE, FALSE, name.c_str());
        m_hHeld = ::CreateEventW(nullptr, TRUE, FALSE, (name + L"-held").c_str());
        // Beside the gates of other objects that live now.
        wchar_t before[512] = {};
        const DWORD n = ::GetEnvironmentVariableW(L"KELVARO_TEST_GATE", before, 512);
        m_before.assign(before, n < 512 ? n : 0);
        const std::wstring value = std::wstring(kind.begin(), kind.end()) + L":" + std::to_wstring(at) + L":" + name;
        ::SetEnvironmentVariableW(L"KELVARO_TEST_GATE", (m_before.empty() ? value : m_before + L";" + value).c_str());
    }
    ~CHeldRun()
    {
        ::SetEnvironmentVariableW(L"KELVARO_TEST_GATE", m_before.empty() ? nullptr : m_before.c_str());
        Open();
        ::CloseHandle(m_hOpen);
        ::CloseHandle(m_hHeld);
    }
    CHeldRun(const CHeldRun&) = delete;
    CHeldRun& operator=(const CHeldRun&) = delete;

    // Whether a run has come to the gate within the time.
    bool WaitHeld(DWORD timeoutMs = 60000) { return ::WaitForSingleObject(m_hHeld, timeoutMs) == WAIT_OBJECT_0; }
    bool Held() { return ::WaitForSingleObject(m_hHeld, 0) == WAIT_OBJECT_0; }
    void Open() { ::SetEvent(m_hOpen); }

private:
    std::wstring m_before;
    HANDLE m_hOpen;
    HANDLE m_hHeld;
};
