#include "CDialog.h"

namespace {

// The dialog being created on this thread: bound to its window at the first message that
// reaches the dialog procedure (WM_SETFONT, or WM_INITDIALOG without a font).
thread_local CDialog* t_pDialogInit = nullptr;

}  // namespace

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd == nullptr)
        rControl.SubclassDlgItem(static_cast<UINT>(nIDC), pDX->m_pDlgWnd);
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    // Calls through the member pointers are virtual: a derived OnOK or OnCancel is reached.
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

INT_PTR CDialog::DoModal()
{
    HWND hParent = m_pParentWnd ? m_pParentWnd->m_hWnd : ::GetActiveWindow();
    CDialog* outer = t_pDialogInit;
    t_pDialogInit = this;
    const INT_PTR result = ::DialogBoxParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(m_nIDTemplate),
                                             hParent, &AfxDlgProc, 0);
    t_pDialogInit = outer;
    return result;
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT nMsg, WPARAM, LPARAM)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd && t_pDialogInit) {
        CDialog* dlg = t_pDialogInit;
        t_pDialogInit = nullptr;  // a dialog created from inside OnInitDialog binds its own
        dlg->SubclassWindow(hWnd);
        pWnd = dlg;
    }
    // Everything else reached the object through its subclassed window procedure already.
    if (nMsg == WM_INITDIALOG && pWnd)
        return static_cast<CDialog*>(pWnd)->OnInitDialog();
    return FALSE;
}
