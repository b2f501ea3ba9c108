// The commands of the menus (the frame's right-click menu and the system menu): deleting to
// the Recycle Bin, and exporting the list.
#include "CNorvaneDlg.h"

#include <commdlg.h>

#include <ctime>

#include "../scan/FileSystem.h"
#include "../scan/Report.h"
#include "Settings.h"

namespace {

// The common dialogs are loaded when the user first exports, not with the program.
BOOL ShowSaveDialog(OPENFILENAMEW* ofn)
{
    static const auto show = AfxSystemFunction<BOOL(WINAPI*)(OPENFILENAMEW*)>(L"comdlg32.dll", "GetSaveFileNameW");
    return show ? show(ofn) : FALSE;
}

}  // namespace

void CNorvaneDlg::OnMenuRecycle()
{
    m_bRecycle = !m_bRecycle;
    SaveRecycleOption(m_bRecycle);
    ShowRecycleOption();
}

void CNorvaneDlg::ShowRecycleOption()
{
    // The right-click menu is made anew each time and ticked then.
    if (HMENU hSysMenu = GetSystemMenu(FALSE))
        ::CheckMenuItem(hSysMenu, IDM_RECYCLE, MF_BYCOMMAND | (m_bRecycle ? MF_CHECKED : MF_UNCHECKED));
}

void CNorvaneDlg::OnMenuExport()
{
    if (m_runs.Files().Count() == 0) {
        ::MessageBoxW(m_hWnd, L"列表是空的，没有可导出的文件。", L"Kelvaro", MB_OK | MB_ICONINFORMATION);
        return;
    }
    // The default name carries the date: Kelvaro-2026-12-07.csv.
    const std::time_t now = std::time(nullptr);
    std::tm local = {};
    localtime_s(&local, &now);
    wchar_t file[32768] = {};
    std::wcsftime(file, 64, L"Kelvaro-%Y-%m-%d.csv", &local);
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = L"CSV 文件 (*.csv)\0*.csv\0所有文件 (*.*)\0*.*\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof(file) / sizeof(file[0]);
    ofn.lpstrTitle = L"导出列表";
    ofn.lpstrDefExt = L"csv";
    ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (!ShowSaveDialog(&ofn))
        return;

    // The rows as the list shows them, with the sizes the scan read.
    const CString target = AfxFromWide(file, lstrlenW(file));
    if (WriteFileAtomically(target, ReportCsv(m_runs.Files(), false, [this](uint16_t rule) { return m_runs.RuleText(rule); })) == WriteResult::Written) {
        CString text;
        text.Format("已将 %d 个文件的列表导出到 %s。", static_cast<int>(m_runs.Files().Count()), target.GetString());
        SetStatus(text);
    } else {
        ::MessageBoxW(m_hWnd, AfxToWide("无法写入 " + target + "。").c_str(), L"Kelvaro", MB_OK | MB_ICONWARNING);
    }
}
