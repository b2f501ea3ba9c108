#include "RulesDlg.h"

#include <shlobj.h>

#include "../scan/FileSystem.h"
#include "../scan/JunkFilter.h"

namespace {

const COLORREF kBlue = RGB(14, 94, 157);

// The folder picker is loaded when the user first asks for it, not with the program.
CString PickFolder(HWND owner)
{
    static const auto browse = AfxSystemFunction<LPITEMIDLIST(WINAPI*)(LPBROWSEINFOW)>(L"shell32.dll", "SHBrowseForFolderW");
    static const auto pathOf = AfxSystemFunction<BOOL(WINAPI*)(LPCITEMIDLIST, LPWSTR)>(L"shell32.dll", "SHGetPathFromIDListW");
    static const auto release = AfxSystemFunction<void(WINAPI*)(LPITEMIDLIST)>(L"shell32.dll", "ILFree");
    if (!browse || !pathOf)
        return CString();
    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.lpszTitle = L"选择不扫描的文件夹";
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST chosen = browse(&info);
    if (!chosen)
        return CString();
    wchar_t path[MAX_PATH + 1] = {};
    const BOOL ok = pathOf(chosen, path);
    if (release)
        release(chosen);
    return ok ? AfxFromWide(path, lstrlenW(path)) : CString();
}

}  // namespace

BEGIN_MESSAGE_MAP(CRulesDlg, CDialog)
    ON_BN_CLICKED(IDC_RULE_ADD, &CRulesDlg::OnAddPattern)
    ON_BN_CLICKED(IDC_RULE_REMOVE, &CRulesDlg::OnRemovePattern)
    ON_BN_CLICKED(IDC_RULE_ADD_FOLDER, &CRulesDlg::OnAddFolder)
    ON_BN_CLICKED(IDC_RULE_REMOVE_FOLDER, &CRulesDlg::OnRemoveFolder)
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

BOOL CRulesDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_brushBk.CreateSolidBrush(kBlue);
    ::SendDlgItemMessageW(m_hWnd, IDC_RULE_PATTERN, EM_LIMITTEXT, 255, 0);
    ::SendDlgItemMessageW(m_hWnd, IDC_RULE_DAYS, EM_LIMITTEXT, 5, 0);
    ShowRules();
    ::SetDlgItemInt(m_hWnd, IDC_RULE_DAYS, static_cast<UINT>(m_rules.olderThanDays), FALSE);
    ::CheckDlgButton(m_hWnd, IDC_RULE_TEMP, m_rules.tempFolders ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

void CRulesDlg::ShowRules()
{
    HWND patterns = ::GetDlgItem(m_hWnd, IDC_RULE_PATTERNS);
    ::SendMessageW(patterns, LB_RESETCONTENT, 0, 0);
    for (const CCleaningRules::Pattern& p : m_rules.patterns)
        ::SendMessageW(patterns, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AfxToWide(p.text).c_str()));
    HWND folders = ::GetDlgItem(m_hWnd, IDC_RULE_FOLDERS);
    ::SendMessageW(folders, LB_RESETCONTENT, 0, 0);
    int widest = 0;
    for (const CString& folder : m_rules.excluded) {
        const std::wstring wide = AfxToWide(folder);
        ::SendMessageW(folders, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
        widest = std::max(widest, static_cast<int>(wide.size()) * 8);
    }
    ::SendMessageW(folders, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest), 0);
}

void CRulesDlg::Refuse(const CString& why, int nFocusId)
{
    ::MessageBoxW(m_hWnd, AfxToWide(why).c_str(), L"清理规则", MB_OK | MB_ICONWARNING);
    ::SetFocus(::GetDlgItem(m_hWnd, nFocusId));
}

bool CRulesDlg::AddTypedPattern()
{
    CString typed;
    GetDlgItem(IDC_RULE_PATTERN)->GetWindowText(typed);
    CString why;
    if (!AddUserPattern(m_rules, TrimBlanks(typed), &why)) {
        Refuse(why, IDC_RULE_PATTERN);
        return false;
    }
    GetDlgItem(IDC_RULE_PATTERN)->SetWindowText("");
    ShowRules();
    return true;
}

void CRulesDlg::OnAddPattern()
{
    AddTypedPattern();
}

template <class T>
void CRulesDlg::RemoveSelected(int nListId, std::vector<T>& items)
{
    const LRESULT at = ::SendDlgItemMessageW(m_hWnd, nListId, LB_GETCURSEL, 0, 0);
    if (at < 0 || static_cast<size_t>(at) >= items.size())
        return;
    items.erase(items.begin() + at);
    ShowRules();
}

void CRulesDlg::OnRemovePattern()
{
    RemoveSelected(IDC_RULE_PATTERNS, m_rules.patterns);
}

void CRulesDlg::OnAddFolder()
{
    const CString picked = PickFolder(m_hWnd);
    CString folder;
    if (picked.IsEmpty() || !OpenScanRoot(picked, &folder))
        return;
    for (const CString& already : m_rules.excluded) {
        if (SamePath(already, folder))
            return;
    }
    m_rules.excluded.push_back(folder);
    ShowRules();
}

void CRulesDlg::OnRemoveFolder()
{
    RemoveSelected(IDC_RULE_FOLDERS, m_rules.excluded);
}

void CRulesDlg::OnOK()
{
    // Enter in the pattern box adds what it holds and does not close the dialog; what is left
    // typed there when OK is clicked is added too, not thrown away.
    CString typed;
    GetDlgItem(IDC_RULE_PATTERN)->GetWindowText(typed);
    if (!TrimBlanks(typed).IsEmpty()) {
        const bool inBox = ::GetFocus() == ::GetDlgItem(m_hWnd, IDC_RULE_PATTERN);
        if (!AddTypedPattern() || inBox)
            return;
    }
    BOOL number = FALSE;
    const UINT days = ::GetDlgItemInt(m_hWnd, IDC_RULE_DAYS, &number, FALSE);
    if (!number || days > 36500) {
        Refuse("天数应是 0 到 36500 之间的整数。", IDC_RULE_DAYS);
        return;
    }
    m_rules.olderThanDays = static_cast<int>(days);
    m_rules.tempFolders = ::IsDlgButtonChecked(m_hWnd, IDC_RULE_TEMP) == BST_CHECKED;
    CDialog::OnOK();
}

HBRUSH CRulesDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    // The program's colours: white on its blue, the boxes and lists as the system draws them.
    if (nCtlColor == CTLCOLOR_DLG || (nCtlColor == CTLCOLOR_STATIC && pWnd->GetDlgCtrlID() != IDC_RULE_DAYS)) {
        pDC->SetTextColor(RGB(255, 255, 255));
        pDC->SetBkColor(kBlue);
        return m_brushBk;
    }
    return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}
