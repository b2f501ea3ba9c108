// The main dialog with one addition for tests: a run can be held at its very start, so that
// it stays active for as long as a test needs it.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "ModalDialog.h"
#include "framework/CWorker.h"
#include "ui/CNorvaneDlg.h"

// One cell of the found-files list (column 0 path, 1 size, 2 modified), read with the list's
// own message.
std::string ListCell(HWND list, int row, int column);

class CTestDlg : public CNorvaneDlg {
public:
    ~CTestDlg() override { Release(); }

    // Runs fn on the dialog's thread and returns when it is done.
    void OnWindowThread(const std::function<void()>& fn) { AfxRunOnWindowThread(m_hWnd, fn); }

    // The found-files list in its order, as the list shows it.
    std::vector<std::string> ListedFiles();

    // While held, a run that starts waits at its very start. Release lets every run held so
    // far go on.
    void Hold() { m_bHold = true; }
    void Release();

    // The system's high contrast as this dialog sees it: Wine has none to turn on. The window
    // hears of the change as it would from the system.
    void SetHighContrast(bool bOn)
    {
        m_bHighContrast = bOn;
        ::SendMessageW(m_hWnd, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    }

protected:
    HANDLE CreateRunEvent() override;
    bool SystemHighContrast() const override { return m_bHighContrast; }

private:
    std::atomic<bool> m_bHold{false};
    std::atomic<bool> m_bHighContrast{false};
    std::mutex m_heldLock;
    std::vector<HANDLE> m_held;  // the events of the runs held
};

// A test with the main dialog up. At its end a run still active is stopped, and a question
// still open answered No, so that closing the dialog asks nothing.
class MainDialogTest : public DialogTest<CTestDlg> {
protected:
    // Deletions are for good unless a test turns the Recycle Bin option on.
    void SetUp() override
    {
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Kelvaro", L"DeleteToRecycleBin");
        DialogTest<CTestDlg>::SetUp();
    }
    void TearDown() override
    {
        if (m_run) {
            m_run->DismissPopups();
            if (m_hWnd && ::IsWindow(m_hWnd))
                ::SendMessageA(::GetDlgItem(m_hWnd, IDC_BTN_STOP), BM_CLICK, 0, 0);
        }
        m_dlg.Release();
        DialogTest::TearDown();
    }
};
