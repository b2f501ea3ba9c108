#include "MyDrawButton.h"

#include "../framework/Dpi.h"
#include "../res/resource.h"
#include "ButtonGeometry.h"
#include "SkinSets.h"

BEGIN_MESSAGE_MAP(MyDrawButton, CButton)
    ON_WM_MOUSEMOVE()
    ON_WM_ERASEBKGND()
    ON_WM_TIMER()
    ON_WM_MOUSELEAVE()
    ON_WM_GETDLGCODE()
    ON_MESSAGE(BM_SETSTYLE, &MyDrawButton::OnSetStyle)
    ON_WM_UPDATEUISTATE()
END_MESSAGE_MAP()

void MyDrawButton::PreSubclassWindow()
{
    // Keeps every style bit of the low word but the button type, which becomes owner-drawn.
    const DWORD style = GetStyle();
    SendMessage(BM_SETSTYLE, (style & 0xFFF4) | BS_OWNERDRAW, TRUE);
    m_bHideFocus = (SendMessage(WM_QUERYUISTATE) & UISF_HIDEFOCUS) != 0;
}

void MyDrawButton::SetLook(int dpi, bool bPlain)
{
    m_nDpi = dpi;
    m_bPlain = bPlain;
    Invalidate(FALSE);
}

UINT MyDrawButton::OnGetDlgCode()
{
    return DLGC_BUTTON | (m_bDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

LRESULT MyDrawButton::OnSetStyle(WPARAM wParam, LPARAM lParam)
{
    const UINT type = static_cast<UINT>(wParam) & 0x0F;
    if (type != BS_OWNERDRAW)
        m_bDefault = type == BS_DEFPUSHBUTTON;
    return DefWindowProc(BM_SETSTYLE, (wParam & ~static_cast<WPARAM>(0x0F)) | BS_OWNERDRAW, lParam);
}

void MyDrawButton::OnUpdateUIState(UINT nAction, UINT nFlags)
{
    Default();
    // Kept from the message itself: not every system keeps the state where WM_QUERYUISTATE
    // reads it (Wine does not).
    if (nFlags & UISF_HIDEFOCUS) {
        if (nAction == UIS_SET)
            m_bHideFocus = true;
        else if (nAction == UIS_CLEAR)
            m_bHideFocus = false;
        else
            m_bHideFocus = (SendMessage(WM_QUERYUISTATE) & UISF_HIDEFOCUS) != 0;
    }
    Repaint();
}

bool MyDrawButton::ShowsFocus() const
{
    return ::GetFocus() == m_hWnd && !m_bHideFocus;
}

void MyDrawButton::DrawFocusMark()
{
    if (!ShowsFocus())
        return;
    CClientDC dc(m_hWnd);
    CRect rc;
    GetClientRect(&rc);
    // A dotted line a little inside the face's rounded edge, in the caption's colour.
    const int inset = ScaleBy(m_nNormalBmp == IDB_SCAN ? 6 : 3, m_nDpi);
    LOGBRUSH lb = {BS_SOLID, m_bPlain ? ::GetSysColor(COLOR_BTNTEXT) : RGB(255, 255, 255), 0};
    HPEN pen = ::ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &lb, 0, nullptr);
    {
        CSelectObject selectPen(dc, pen);
        CSelectObject selectBrush(dc, ::GetStockObject(NULL_BRUSH));
        ::Rectangle(dc, rc.left + inset, rc.top + inset, rc.right - inset, rc.bottom - inset);
    }
    ::DeleteObject(pen);
}

void MyDrawButton::DrawPlain()
{
    CClientDC dc(m_hWnd);
    CRect rc;
    GetClientRect(&rc);
    const bool pushed = (SendMessage(BM_GETSTATE) & BST_PUSHED) != 0;
    ::DrawFrameControl(dc, &rc, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    CString caption;
    GetWindowText(caption);
    const std::wstring text = AfxToWide(caption);
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(::GetParent(m_hWnd), WM_GETFONT, 0, 0));
    CSelectObject select(dc, font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(::GetSysColor(IsWindowEnabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void MyDrawButton::DrawItem(LPDRAWITEMSTRUCT)
{
    Repaint();
}

void MyDrawButton::Repaint()
{
    if (m_bPlain) {
        DrawPlain();
    } else {
        DrawFaceBitmap();
        if (m_bHasIcon)
            DrawButtonIcon();
        DrawButtonText();
    }
    DrawFocusMark();
}

void MyDrawButton::DrawFaceBitmap()
{
    // A disabled button shows no hover face.
    CBitmap face;
    const UINT face100 = (IsWindowEnabled() ? m_nCurBmp : m_nNormalBmp) & 0xFFFF;
    if (!face.LoadBitmap(SkinBitmapFor(face100, m_nDpi)))
        return;  // no face: the caption is still drawn
    CWindowDC dc(m_hWnd);
    CMemoryDC mem(dc, face);
    // The face covers the button, which is as large as the face at the scale: the scale's own
    // set is drawn as it is, another scale takes the set above it scaled down.
    const SIZE size = face.GetSize();
    CRect rc;
    GetClientRect(&rc);
    ::TransparentBlt(dc, 0, 0, rc.Width(), rc.Height(), mem, 0, 0, size.cx, size.cy, kKeyColour);
}

void MyDrawButton::DrawButtonIcon()
{
    CClientDC dc(m_hWnd);
    ::DrawIcon(dc, m_nIconLeft, 0, m_hButtonIcon);
}

void MyDrawButton::DrawButtonText()
{
    CClientDC dc(m_hWnd);
    CRect rc;
    GetClientRect(&rc);
    CString caption;
    GetWindowText(caption);

    const bool large = caption == "立即扫描" || caption == "重新扫描";
    CFont font;
    font.CreateFont(ScaleBy(large ? 28 : 20, m_nDpi), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0, 0, FF_SWISS, L"微软雅黑");
    CSelectObject select(dc, font.GetSafeHandle());

    // Centred by the caption's own extent in its own font; an icon takes the left part.
    const std::wstring text = AfxToWide(caption);
    SIZE extent = {0, 0};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    POINT at = CaptionOrigin(m_nNormalBmp == IDB_SCAN, rc.Width(), rc.Height(), extent, m_nDpi);
    if (m_bHasIcon)
        at.x = m_nIconLeft + m_nIconWidth + (rc.Width() - m_nIconLeft - m_nIconWidth - extent.cx) / 2;

    m_crCurText = m_nMouseState == 0 ? m_crHoverText : m_crNormalText;
    dc.SetTextColor(IsWindowEnabled() ? m_crCurText : kDisabledText);
    dc.SetBkMode(TRANSPARENT);
    ::TextOutW(dc, at.x, at.y, text.c_str(), static_cast<int>(text.size()));
}

BOOL MyDrawButton::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void MyDrawButton::OnMouseMove(UINT nFlags, CPoint)
{
    if (nFlags & MK_LBUTTON)
        return;  // dragged onto with the button held: no hover face
    if (!m_bHover) {
        m_bHover = true;
        m_nMouseState = 0;
        m_nCurBmp = m_nHoverBmp;
        Repaint();
        ::SetTimer(m_hWnd, kHoverTimer, 10, nullptr);
    }
    Default();
}

void MyDrawButton::LeaveHover()
{
    ::KillTimer(m_hWnd, kHoverTimer);
    m_nMouseState = 1;
    m_bHover = false;
    m_nCurBmp = m_nNormalBmp;
    Repaint();
}

void MyDrawButton::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kHoverTimer)
        return;
    CRect rc;
    GetWindowRect(&rc);
    POINT pt;
    ::GetCursorPos(&pt);
    if (!rc.PtInRect(pt) && m_bHover)
        LeaveHover();
    Default();
}

void MyDrawButton::OnMouseLeave()
{
    if (m_bHover) {
        LeaveHover();
    } else {
        m_nMouseState = 1;
        m_crCurText = m_crNormalText;
    }
    Default();
}
