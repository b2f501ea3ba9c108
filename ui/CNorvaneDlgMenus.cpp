// The commands of the menus (the frame's right-click menu and the system menu): the window's
// size, deleting to the Recycle Bin, exporting the list, and the cleaning rules.
#include "CNorvaneDlg.h"

#include <commdlg.h>

#include <ctime>

#include "../scan/FileSystem.h"
#include "../scan/Patterns.h"
#include "../scan/Report.h"
#include "RulesDlg.h"
#include "Settings.h"

namespace {

// The common dialogs are loaded when the user first exports, not with the program.
BOOL ShowSaveDialog(OPENFILENAMEW* ofn)
{
    static const auto show = AfxSystemFunction<BOOL(WINAPI*)(OPENFILENAMEW*)>(L"comdlg32.dll", "GetSaveFileNameW");
    return show ? show(ofn) : FALSE;
}

}  // namespace

void CNorvaneDlg::ShowSkinMenu(CPoint point)
{
    HMENU hMenu = ::LoadMenuW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_POPUP_MENU));
    if (!hMenu)
        return;
    ::CheckMenuItem(hMenu, ID_MENU_RECYCLE, MF_BYCOMMAND | (m_bRecycle ? MF_CHECKED : MF_UNCHECKED));
    ::TrackPopupMenu(::GetSubMenu(hMenu, 0), 0, point.x, point.y, 0, m_hWnd, nullptr);
    ::DestroyMenu(hMenu);
}

void CNorvaneDlg::OnMenuMinimize()
{
    m_skin.Press(CaptionButton::Minimize);
}

void CNorvaneDlg::OnMenuMaximize()
{
    m_skin.Press(CaptionButton::Maximize);
}

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

void CNorvaneDlg::OnMenuRules()
{
    SaveUserTicks();
    CRulesDlg dlg(m_rules, this);
    if (dlg.DoModal() != IDOK)
        return;
    m_rules = dlg.Rules();
    if (!SaveCleaningRules(m_rules))
        SetStatus("无法保存清理规则，本次运行中仍然有效。");
    ShowUserPatterns();
}

void CNorvaneDlg::ShowUserPatterns()
{
    // The six stay; the user's lines follow them, in the order they were added.
    while (m_checkList.GetCount() > kPatternCount)
        m_checkList.DeleteString(static_cast<UINT>(m_checkList.GetCount() - 1));
    for (const CCleaningRules::Pattern& p : m_rules.patterns) {
        const int at = static_cast<int>(m_checkList.SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(-1),
                                                                 reinterpret_cast<LPARAM>(AfxToWide(p.text).c_str())));
        m_checkList.SetCheck(at, p.ticked ? 1 : 0);
    }
    // The temp folders, when the rules take them, are a line of their own, last: a scan takes
    // them while it is ticked, and after a scan it says what they held.
    if (m_rules.tempFolders) {
        const int at = static_cast<int>(m_checkList.SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(-1),
                                                                 reinterpret_cast<LPARAM>(AfxToWide(kTempFoldersLine).c_str())));
        m_checkList.SetCheck(at, m_rules.tempTicked ? 1 : 0);
    }
    // The lines moved: what the last walk found is no longer said beside them.
    m_checkList.ClearNotes();
    m_ruleLines.clear();
}

void CNorvaneDlg::SaveUserTicks()
{
    bool changed = false;
    for (size_t i = 0; i < m_rules.patterns.size(); ++i) {
        const bool ticked = m_checkList.GetCheck(kPatternCount + static_cast<int>(i)) == 1;
        changed = changed || ticked != m_rules.patterns[i].ticked;
        m_rules.patterns[i].ticked = ticked;
    }
    const int tempLine = kPatternCount + static_cast<int>(m_rules.patterns.size());
    if (m_rules.tempFolders && tempLine < m_checkList.GetCount()) {
        const bool ticked = m_checkList.GetCheck(tempLine) == 1;
        changed = changed || ticked != m_rules.tempTicked;
        m_rules.tempTicked = ticked;
    }

    if (changed)
        SaveCleaningRules(m_rules);
}

void CNorvaneDlg::ShowTally()
{
    m_checkList.ClearNotes();
    // By the line each rule came from (two lines may read alike), the temp folders' last.
    const std::vector<CRunController::RuleTally> tally = m_runs.TallyByRule();
    const int tempLine = kPatternCount + static_cast<int>(m_rules.patterns.size());
    for (size_t i = 0; i < tally.size(); ++i) {
        const bool place = i == m_ruleLines.size() && tally[i].text == kTempFoldersLine;
        const int line = i < m_ruleLines.size() ? m_ruleLines[i] : place && m_rules.tempFolders ? tempLine : -1;
        // A line that found nothing says nothing.
        if (line >= 0 && line < m_checkList.GetCount() && tally[i].count > 0)
            m_checkList.SetNote(line, TallyNote(tally[i].count, tally[i].bytes));
    }
}
