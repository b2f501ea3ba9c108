#include "TestGate.h"

#include <algorithm>
#include <cstdlib>
#include <string>

CTestGate::CTestGate(Kind kind)
{
    wchar_t buf[512] = {};
    const DWORD n = ::GetEnvironmentVariableW(L"KELVARO_TEST_GATE", buf, 512);
    if (n == 0 || n >= 512)
        return;
    const std::wstring prefix = kind == Kind::Scan ? L"scan:" : L"delete:";
    // The last gate of this kind counts: a test that holds a second run names it after the first.
    std::wstring rest(buf, n), found;
    while (!rest.empty()) {
        const size_t end = std::min(rest.find(L';'), rest.size());
        const std::wstring gate = rest.substr(0, end);
        rest.erase(0, end + 1);
        if (gate.compare(0, prefix.size(), prefix) == 0)
            found = gate;
    }
    const size_t colon = found.find(L':', prefix.size());
    if (found.empty() || colon == std::wstring::npos)
        return;
    const unsigned long long at = std::wcstoull(found.c_str() + prefix.size(), nullptr, 10);
    const std::wstring name = found.substr(colon + 1);
    if (at == 0 || name.empty())
        return;
    m_hOpen = ::OpenEventW(SYNCHRONIZE, FALSE, name.c_str());
    m_hHeld = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, (name + L"-held").c_str());
    if (m_hOpen && m_hHeld)
        m_nAt = at;
}

CTestGate::~CTestGate()
{
    if (m_hOpen)
        ::CloseHandle(m_hOpen);
    if (m_hHeld)
        ::CloseHandle(m_hHeld);
}

void CTestGate::Wait(const std::atomic<bool>& stop)
{
    ::SetEvent(m_hHeld);
    while (!stop.load() && !m_bOpen.load()) {
        if (::WaitForSingleObject(m_hOpen, 10) == WAIT_OBJECT_0)
            m_bOpen = true;
    }
}
