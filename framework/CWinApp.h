// The application object: one per program, constructed before WinMain runs.
#pragma once

#include "CCmdTarget.h"
#include "CString.h"

class CWnd;

class CWinApp : public CCmdTarget {
public:
    // A null name lets the framework take the program's file name.
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    // FALSE ends the program after ExitInstance; TRUE would run a message loop of its own,
    // which this framework does not provide, so it ends the program too.
    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }

    // Only records the key name; nothing is read from or written to the registry.
    void SetRegistryKey(LPCSTR lpszRegistryKey) { m_strRegistryKey = lpszRegistryKey; }

    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    CString m_strAppName;
    CString m_strRegistryKey;
};

int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
