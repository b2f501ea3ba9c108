#include "MyDrawButton.h"

#include "../res/resource.h"
#include "ButtonGeometry.h"

BEGIN_MESSAGE_MAP(MyDrawButton, CButton)
    ON_WM_MOUSEMOVE()
    ON_WM_ERASEBKGND()
    ON_WM_TIMER()
    ON_WM_MOUSELEAVE()
END_MESSAGE_MAP()

void MyDrawButton::PreSubclassWindow()
{
    // Keeps every style bit of the low word but the button type, which becomes owner-drawn.
    const DWORD style = GetStyle();
    SendMessage(BM_SETSTYLE, (style & 0xFFF4) | BS_OWNERDRAW, TRUE);
}

void MyDrawButton::DrawItem(LPDRAWITEMSTRUCT)
{
    Repaint();
}

void MyDrawButton::Repaint()
{
    DrawFaceBitmap();
    if (m_bHasIcon)
        DrawButtonIcon();
    DrawButtonText();
}

void MyDrawButton::DrawFaceBitmap()
{
    // A disabled button shows no hover face.
    CBitmap face;
    if (!face.LoadBitmap((IsWindowEnabled() ? m_nCurBmp : m_nNormalBmp) & 0xFFFF))
        return;  // no face: the caption is still drawn
    CWindowDC dc(m_hWnd);
    CMemoryDC mem(dc, face);
    // Never stretched: the face covers its own size from the top-left corner.
    const SIZE size = face.GetSize();
    ::TransparentBlt(dc, 0, 0, size.cx, size.cy, mem, 0, 0, size.cx, size.cy, kKeyColour);
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
    font.CreateFont(large ? 28 : 20, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0, 0, FF_SWISS, L"微软雅黑");
    CSelectObject select(dc, font.GetSafeHandle());

    // Centred by the caption's own extent in its own font; an icon takes the left part.
    const std::wstring text = AfxToWide(caption);
    SIZE extent = {0, 0};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    POINT at = CaptionOrigin(m_nNormalBmp == IDB_SCAN, rc.Width(), rc.Height(), extent);
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
