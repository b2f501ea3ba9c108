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
    std::wstring rest(buf, n);
    while (!rest.empty()) {
        const size_t end = std::min(rest.find(L';'), rest.size());
        const std::wstring gate = rest.substr(0, end);
        rest.erase(0, end + 1);
        const size_t colon = gate.find(L':', prefix.size());
        if (gate.compare(0, prefix.size(), prefix) != 0 || colon == std::wstring::npos)
            continue;
        const unsigned long long at = std::wcstoull(gate.c_str() + prefix.size(), nullptr, 10);
        const std::wstring name = gate.substr(colon + 1);
        if (at == 0 || name.empty())
            return;
        m_hOpen = ::OpenEventW(SYNCHRONIZE, FALSE, name.c_str());
        m_hHeld = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, (name + L"-held").c_str());
        if (m_hOpen && m_hHeld)
            m_nAt = at;
        return;
    }
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
