// Runs a dialog modally on a thread of its own, as the program runs its main dialog, so that
// the test thread can drive it from outside as a user would and read what the user sees.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>

#include "framework/CDialog.h"

// A window's text as the user reads it, read in UTF-16 and given in UTF-8.
inline std::string WindowText(HWND hWnd)
{
    wchar_t buf[4096] = {};
    ::GetWindowTextW(hWnd, buf, 4096);
    return AfxFromWide(buf, lstrlenW(buf)).GetString();
}

// Polls until pred holds or the time is up; the dialog's thread does the work meanwhile.
inline bool WaitFor(const std::function<bool()>& pred, int timeoutMs = 10000)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        ::Sleep(5);
    }
    return true;
}

// The first top-level window for which pred holds, or null. (A named callback: 32-bit
// Windows calls it with its own calling convention, which a lambda cannot have.)
inline BOOL CALLBACK FindWindowStep(HWND hWnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<std::pair<const std::function<bool(HWND)>*, HWND>*>(lParam);
    if (!(*search->first)(hWnd))
        return TRUE;
    search->second = hWnd;
    return FALSE;
}

inline HWND FindTopWindow(const std::function<bool(HWND)>& pred)
{
    std::pair<const std::function<bool(HWND)>*, HWND> search(&pred, nullptr);
    ::EnumWindows(&FindWindowStep, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

class ModalDialog {
public:
    explicit ModalDialog(CDialog& dlg) : m_dlg(dlg)
    {
        m_thread = std::thread([this] {
            m_threadId = ::GetCurrentThreadId();
            m_result = m_dlg.DoModal();
            m_done = true;
        });
    }
    ~ModalDialog()
    {
        if (!m_done && m_dlg.m_hWnd)
            ::PostMessageA(m_dlg.m_hWnd, WM_COMMAND, IDCANCEL, 0);
        m_thread.join();
    }

    // The dialog window once it is up and visible, or null.
    HWND Wait()
    {
        WaitFor([this] { return m_done || (m_dlg.m_hWnd && ::IsWindowVisible(m_dlg.m_hWnd)); });
        return m_done ? nullptr : m_dlg.m_hWnd;
    }

    // A key press as the keyboard delivers it: to the window with the focus.
    void PressKey(UINT vk)
    {
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        ::GetGUIThreadInfo(m_threadId, &info);
        HWND target = info.hwndFocus ? info.hwndFocus : m_dlg.m_hWnd;
        ::PostMessageA(target, WM_KEYDOWN, vk, 1);
        ::PostMessageA(target, WM_KEYUP, vk, 0xC0000001);
    }

    // The visible popup window that the dialog's thread shows above it (a modal box), or null.
    HWND FindOwnedPopup() const
    {
        const HWND owner = m_dlg.m_hWnd;
        const DWORD thread = m_threadId;
        return FindTopWindow([&](HWND h) {
            return h != owner && ::IsWindowVisible(h) && ::GetWindow(h, GW_OWNER) == owner &&
                   ::GetWindowThreadProcessId(h, nullptr) == thread;
        });
    }

    // Answers No (or Cancel) to every box the dialog's thread shows above it.
    void DismissPopups() const
    {
        for (int i = 0; i < 10; ++i) {
            HWND box = FindOwnedPopup();
            if (!box)
                return;
            ::PostMessageA(box, WM_COMMAND, ::GetDlgItem(box, IDNO) ? IDNO : IDCANCEL, 0);
            WaitFor([&] { return !::IsWindow(box); }, 5000);
        }
    }

    bool Done() const { return m_done; }
    INT_PTR Result() const { return m_result; }
    bool WaitDone(int timeoutMs = 10000) { return WaitFor([this] { return m_done.load(); }, timeoutMs); }

private:
    CDialog& m_dlg;
    std::thread m_thread;
    std::atomic<DWORD> m_threadId{0};
    std::atomic<INT_PTR> m_result{-2};
    std::atomic<bool> m_done{false};
};

// A test with the dialog up on its own thread.
template <class Dlg>
class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_run.reset(new ModalDialog(m_dlg));
        m_hWnd = m_run->Wait();
        ASSERT_NE(nullptr, m_hWnd) << "the dialog did not come up";
    }
    void TearDown() override { m_run.reset(); }

    HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }

    Dlg m_dlg;
    std::unique_ptr<ModalDialog> m_run;
    HWND m_hWnd = nullptr;
};
