#include "CWinApp.h"

#include "CWnd.h"

namespace {
CWinApp* g_pApp = nullptr;
}

CWinApp::CWinApp(LPCSTR lpszAppName) : m_strAppName(lpszAppName)
{
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

CWnd* AfxGetMainWnd()
{
    return g_pApp ? g_pApp->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetResourceHandle()
{
    return ::GetModuleHandleW(nullptr);
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return -1;
    app->m_hInstance = hInstance;
    if (app->m_strAppName.IsEmpty()) {
        wchar_t path[MAX_PATH] = {};
        const DWORD n = ::GetModuleFileNameW(hInstance, path, MAX_PATH);
        CString name = AfxFromWide(path, static_cast<int>(n));
        int slash = name.ReverseFind('\\');
        name = name.Mid(slash + 1);
        int dot = name.ReverseFind('.');
        app->m_strAppName = dot >= 0 ? name.Left(dot) : name;
    }
    app->InitInstance();
    return app->ExitInstance();
}
