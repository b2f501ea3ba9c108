// The bitmap-drawn frame with its caption buttons and menu, and the proportional re-layout
// when the skin maximizes and restores the window.
#include "CNorvaneDlg.h"
#include "SkinGeometry.h"

namespace {

UINT FaceOf(CaptionButton b, CaptionButton hot)
{
    switch (b) {
    case CaptionButton::Close: return hot == b ? IDB_CLOSE_HOT : IDB_CLOSE;
    case CaptionButton::Maximize: return hot == b ? IDB_MAX_HOT : IDB_MAX;
    default: return hot == b ? IDB_MIN_HOT : IDB_MIN;
    }
}

}  // namespace

void CNorvaneDlg::DrawSkinBitmap(int x, int y, int cx, int cy, UINT nBitmapID)
{
    CBitmap bitmap;
    if (!bitmap.LoadBitmap(nBitmapID))
        return;  // nothing to draw, nothing to say
    CWindowDC dc(m_hWnd);
    CMemoryDC mem(dc, bitmap);
    const SIZE size = bitmap.GetSize();
    ::StretchBlt(dc, x, y, cx, cy, mem, 0, 0, size.cx, size.cy, SRCCOPY);
}

void CNorvaneDlg::DrawSkinFrame()
{
    m_cyDlgFrame = ::GetSystemMetrics(SM_CYDLGFRAME);
    m_cxDlgFrame = ::GetSystemMetrics(SM_CXDLGFRAME);
    if (GetStyle() & WS_BORDER) {
        m_cyFrame = m_cyDlgFrame + ::GetSystemMetrics(SM_CYBORDER);
        m_cxFrame = m_cxDlgFrame + ::GetSystemMetrics(SM_CXBORDER);
    } else {
        m_cyFrame = m_cyDlgFrame;
        m_cxFrame = m_cxDlgFrame;
    }
    m_cyTitle = ::GetSystemMetrics(SM_CYCAPTION) + m_cyFrame;
    CRect rc;
    GetWindowRect(&rc);
    m_nWndWidth = rc.Width();
    m_nWndHeight = rc.Height();
    for (const SkinElement& e : SkinElements(m_nWndWidth, m_nWndHeight, m_cxFrame, m_cyFrame, m_cyTitle))
        DrawSkinBitmap(e.x, e.y, e.cx, e.cy, e.nBitmap);
    DrawTitleText();
}

void CNorvaneDlg::DrawTitleText()
{
    CWindowDC dc(m_hWnd);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(255, 255, 255));
    ::SetTextAlign(dc, TA_CENTER);
    CFont font;
    font.CreateFont(12, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0, 0, FF_SWISS, L"宋体");
    CSelectObject select(dc, font.GetSafeHandle());
    static const wchar_t kTitle[] = L"Kelvaro 3.0";
    ::TextOutW(dc, 100, 6, kTitle, static_cast<int>(wcslen(kTitle)));
}

void CNorvaneDlg::DrawCaptionButtons(CaptionButton hot)
{
    const int W = m_nWndWidth;
    for (CaptionButton b : {CaptionButton::Close, CaptionButton::Maximize, CaptionButton::Minimize})
        DrawSkinBitmap(CaptionFaceX(W, b), 0, 26, 26, FaceOf(b, hot));
}

void CNorvaneDlg::OnNcPaint()
{
    DrawSkinFrame();
}

BOOL CNorvaneDlg::OnNcActivate(BOOL)
{
    DrawSkinFrame();
    return TRUE;
}

void CNorvaneDlg::OnNcMouseMove(UINT, CPoint point)
{
    CRect rc;
    GetWindowRect(&rc);
    const CaptionButton hot = CaptionButtonAt(m_nWndWidth, point.x - rc.left, point.y - rc.top);
    m_bCloseHot = hot == CaptionButton::Close;
    m_bMinHot = hot == CaptionButton::Minimize;
    m_bMaxHot = hot == CaptionButton::Maximize;
    DrawCaptionButtons(hot);
    Default();
}

void CNorvaneDlg::ToggleMaximized()
{
    // The flags change first: the size notification inside ShowWindow reads them.
    if (!m_bMaximized) {
        m_bMaximized = true;
        m_bRestored = false;
        ShowWindow(SW_MAXIMIZE);
    } else {
        m_bMaximized = false;
        m_bRestored = true;
        ShowWindow(SW_RESTORE);
    }
}

void CNorvaneDlg::OnNcLButtonDown(UINT, CPoint)
{
    // The hot flags of the last pointer move decide, not where the press is.
    const bool skinsOwn = m_bCloseHot || m_bMinHot || m_bMaxHot;
    if (m_bCloseHot) {
        if (CWnd* main = AfxGetMainWnd())
            main->SendMessage(WM_CLOSE);
        else
            SendMessage(WM_CLOSE);
    }
    if (m_bMinHot) {
        ShowWindow(SW_MINIMIZE);
        m_bMinHot = false;
    }
    if (m_bMaxHot) {
        const bool restoring = m_bMaximized;
        ToggleMaximized();
        if (restoring)
            m_bMaxHot = false;
    }
    // A press on a caption button is the skin's alone. The system takes the caption for its
    // own and would start moving the window, and after a question box or a minimize the
    // button is already up: the window would follow the pointer until the next click.
    if (!skinsOwn)
        Default();
}

void CNorvaneDlg::OnNcMouseLeave()
{
    DrawCaptionButtons(CaptionButton::None);
    Default();
}

void CNorvaneDlg::OnNcLButtonDblClk(UINT, CPoint)
{
    ToggleMaximized();
}

void CNorvaneDlg::OnNcRButtonDown(UINT, CPoint)
{
    // Kept from the default processing: Wine's captures the pointer there and swallows the
    // release, and then the popup menu never comes.
}

void CNorvaneDlg::OnNcRButtonUp(UINT, CPoint point)
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
    ShowWindow(SW_MINIMIZE);
    m_bMinHot = false;
}

void CNorvaneDlg::OnMenuMaximize()
{
    ToggleMaximized();
}

void CNorvaneDlg::OnSize(UINT nType, int, int)
{

    if (!(nType == SIZE_MAXIMIZED || (nType == SIZE_MINIMIZED && m_bMaximized) || m_bRestored))
        return;
    // Maximized, the system makes a captioned window fill its monitor's work area (a smaller
    // second monitor, the taskbar taken off), not the primary screen: the controls grow in
    // proportion to the size the window has.
    if (nType == SIZE_MAXIMIZED && m_sizeRestored.cx > 0 && m_sizeRestored.cy > 0) {
        CRect rcWnd;
        GetWindowRect(&rcWnd);
        m_fScaleX = static_cast<float>(static_cast<double>(rcWnd.Width()) / m_sizeRestored.cx);
        m_fScaleY = static_cast<float>(static_cast<double>(rcWnd.Height()) / m_sizeRestored.cy);
    }
    static const int kOrder[14] = {IDC_BTN_STOP,       IDC_BTN_SELECT_ALL, IDC_BTN_SCAN_NOW, IDC_BTN_START,
                                   IDC_BTN_PAUSE,      IDC_STATIC_DRIVE,   IDC_BTN_SELECT_NONE, IDC_BTN_DELETE,
                                   IDC_BTN_DELETE_ALL, IDC_COMBO_DRIVE,    IDC_STATIC_STATUS, IDC_PROGRESS,
                                   IDC_LIST_FILES,     IDC_LIST_TYPES};
    for (int i = 0; i < 14; ++i) {
        CWnd* control = GetDlgItem(kOrder[i]);
        if (!control)
            continue;
        CRect rc;
        control->GetWindowRect(&rc);
        ScreenToClient(&rc);
        const RECT s = ScaleRect(rc, m_fScaleX, m_fScaleY);
        int width = s.right - s.left;
        if (kOrder[i] == IDC_LIST_TYPES)
            width = CheckListWidth(m_bMaximized, m_nStopRight, m_nSelAllLeft, m_nCheckListWidth);
        // No SWP_NOZORDER: each control also goes to the top of its siblings.
        control->SetWindowPos(nullptr, s.left, s.top, width, s.bottom - s.top, i < 10 ? SWP_NOSIZE : SWP_FRAMECHANGED);
        if (kOrder[i] == IDC_BTN_STOP || kOrder[i] == IDC_BTN_SELECT_ALL) {
            CRect placed;
            control->GetWindowRect(&placed);
            if (kOrder[i] == IDC_BTN_STOP)
                m_nStopRight = placed.right;
            else
                m_nSelAllLeft = placed.left;
        }
    }
    m_fScaleX = static_cast<float>(1.0 / m_fScaleX);
    m_fScaleY = static_cast<float>(1.0 / m_fScaleY);
    m_listFiles.FitColumns();
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}
