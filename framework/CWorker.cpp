#include "CWorker.h"

CWorker::~CWorker()
{
    if (m_hThread)
        ::CloseHandle(m_hThread);
}

DWORD WINAPI CWorker::ThreadProc(LPVOID pParam)
{
    std::unique_ptr<std::function<void()>> fn(static_cast<std::function<void()>*>(pParam));
    (*fn)();
    return 0;
}

bool CWorker::Start(std::function<void()> fn)
{
    if (m_hThread)
        return false;
    m_bStop = false;
    auto* heap = new std::function<void()>(std::move(fn));
    m_hThread = ::CreateThread(nullptr, 0, &ThreadProc, heap, 0, nullptr);
    if (!m_hThread) {
        delete heap;
        return false;
    }
    return true;
}

bool CWorker::Join(DWORD timeoutMs)
{
    return !m_hThread || ::WaitForSingleObject(m_hThread, timeoutMs) == WAIT_OBJECT_0;
}

bool CWorker::IsRunning() const
{
    return m_hThread && ::WaitForSingleObject(m_hThread, 0) == WAIT_TIMEOUT;
}

void AfxRunOnWindowThread(HWND hWnd, const std::function<void()>& fn)
{
    ::SendMessageA(hWnd, WM_AFX_RUN_HERE, 0, reinterpret_cast<LPARAM>(&fn));
}
