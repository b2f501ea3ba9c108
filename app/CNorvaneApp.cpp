#include "CNorvaneApp.h"

#include <commctrl.h>

#include "../ui/CNorvaneDlg.h"

CNorvaneApp theApp;

BOOL CNorvaneApp::InitInstance()
{
    // A drive with no medium (a card reader with no card) answers a scan with an error, never
    // with the system's "no disk" box.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    INITCOMMONCONTROLSEX icc;
    icc.dwSize = sizeof(icc);
    icc.dwICC = 0xFF;  // all eight classic classes, the progress bar among them
    ::InitCommonControlsEx(&icc);

    CWinApp::InitInstance();
    SetRegistryKey("应用程序向导生成的本地应用程序");

    // Screen readers' calls reach the window's objects through COM, on the window's thread.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        CNorvaneDlg dlg;
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
    }
    if (SUCCEEDED(com))
        ::CoUninitialize();

    // No message loop of our own: the program ends when the dialog does.
    return FALSE;
}
