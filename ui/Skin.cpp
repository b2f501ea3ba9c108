#include "Skin.h"

#include "../framework/CDC.h"
#include "../framework/CGdiObject.h"
#include "../framework/Dpi.h"
#include "../res/resource.h"
#include "DialogLayout.h"

namespace {

UINT FaceOf(CaptionButton b, CaptionButton hot, bool bZoomed)
{
    const bool lit = hot == b;
    switch (b) {
    case CaptionButton::Close: return lit ? IDB_CLOSE_HOT : IDB_CLOSE;
    case CaptionButton::Maximize:
        return bZoomed ? (lit ? IDB_RESTORE_HOT : IDB_RESTORE) : (lit ? IDB_MAX_HOT : IDB_MAX);
    default: return lit ? IDB_MIN_HOT : IDB_MIN;
    }
}

}  // namespace

BEGIN_MESSAGE_MAP(CSkin, CWnd)
    ON_WM_NCPAINT()
    ON_WM_NCACTIVATE()
    ON_WM_NCHITTEST()
    ON_WM_NCMOUSEMOVE()
    ON_WM_NCLBUTTONDOWN()
    ON_WM_NCMOUSELEAVE()
    ON_WM_NCLBUTTONDBLCLK()
    ON_WM_NCRBUTTONDOWN()
    ON_WM_NCRBUTTONUP()
    ON_WM_SIZE()
    ON_WM_DPICHANGED()
    ON_MESSAGE(0x02E4 /* WM_GETDPISCALEDSIZE */, &CSkin::OnGetDpiScaledSize)
    ON_WM_SETTINGCHANGE()
    ON_WM_SYSCOLORCHANGE()
END_MESSAGE_MAP()

void CSkin::Attach(CWnd* pWindow, ISkinOwner* pOwner)
{
    PartOf(pWindow);
    m_pOwner = pOwner;
    // The dialog manager scales a dialog by itself on a change of scale (Windows 10 1703 and
    // later); this window places its controls and sizes its fonts itself.
    static const auto dialogBehavior = AfxSystemFunction<BOOL(WINAPI*)(HWND, int, int)>(L"user32.dll", "SetDialogDpiChangeBehavior");
    static const auto controlBehavior = AfxSystemFunction<BOOL(WINAPI*)(HWND, int, int)>(L"user32.dll", "SetDialogControlDpiChangeBehavior");
    if (dialogBehavior)
        dialogBehavior(m_hWnd, 1, 1);  // DDC_DISABLE_ALL
    if (controlBehavior) {
        for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
            controlBehavior(child, 3, 3);  // DCDC_DISABLE_FONT_UPDATE | DCDC_DISABLE_RELAYOUT
    }
    ReadContrast();
    // The painted caption buttons, as a screen reader finds them: push buttons of the title
    // bar. Their actions are posted: a reader's call is not held up by a question box.
    pWindow->SetAccessibleElements(OBJID_TITLEBAR, [this] {
        std::vector<AccessibleElement> elements;
        if (m_bPlain)
            return elements;  // the system's own buttons show
        for (const CaptionItem& item : CaptionItems()) {
            const HWND hWnd = m_hWnd;
            const bool zoomed = ::IsZoomed(hWnd) || ::IsIconic(hWnd);
            switch (item.button) {
            case CaptionButton::Minimize:
                elements.push_back({"最小化", item.screen, [hWnd] { ::PostMessageW(hWnd, WM_COMMAND, ID_MENU_MINIMIZE, 0); }});
                break;
            case CaptionButton::Maximize:
                elements.push_back({zoomed ? "还原" : "最大化", item.screen, [hWnd] { ::PostMessageW(hWnd, WM_COMMAND, ID_MENU_MAXIMIZE, 0); }});
                break;
            default:
                elements.push_back({"关闭", item.screen, [hWnd] { ::PostMessageW(hWnd, WM_COMMAND, ID_MENU_CLOSE, 0); }});
            }
        }
        return elements;
    });
    CRect rc;
    GetWindowRect(&rc);
    ApplyScale(WindowDpi(m_hWnd), &rc);
}

void CSkin::MeasureFrame()
{
    CRect window;
    GetWindowRect(&window);
    POINT origin = {0, 0};
    ::ClientToScreen(m_hWnd, &origin);
    m_cxFrame = origin.x - window.left;
    m_cyTitle = origin.y - window.top;
}

SIZE CSkin::NaturalWindow(int dpi) const
{
    // The natural client area at this scale in the system's frame at that scale, as far as the
    // system can say (Windows 10 1607 and later), else in the frame the window has now.
    const SIZE natural = NaturalClient(dpi);
    RECT frame = {0, 0, natural.cx, natural.cy};
    static const auto adjust = AfxSystemFunction<BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT)>(L"user32.dll", "AdjustWindowRectExForDpi");
    const DWORD style = GetStyle() & ~(WS_MAXIMIZE | WS_MINIMIZE);
    if (adjust && adjust(&frame, style, FALSE, static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)), static_cast<UINT>(dpi)))
        return SIZE{frame.right - frame.left, frame.bottom - frame.top};
    CRect window, client;
    GetWindowRect(&window);
    GetClientRect(&client);
    return SIZE{natural.cx + window.Width() - client.Width(), natural.cy + window.Height() - client.Height()};
}

void CSkin::ApplyScale(int dpi, const RECT* where)
{
    m_nDpi = dpi;
    m_nSizedAt = 0;
    const SIZE size = NaturalWindow(dpi);
    if (::IsZoomed(m_hWnd) || ::IsIconic(m_hWnd)) {
        // Maximized or minimized: laid out now, and restored later to the new scale's size.
        WINDOWPLACEMENT wp = {};
        wp.length = sizeof(wp);
        if (::GetWindowPlacement(m_hWnd, &wp)) {
            wp.rcNormalPosition.right = wp.rcNormalPosition.left + size.cx;
            wp.rcNormalPosition.bottom = wp.rcNormalPosition.top + size.cy;
            wp.showCmd = ::IsIconic(m_hWnd) ? SW_SHOWMINNOACTIVE : SW_SHOWMAXIMIZED;
            wp.flags = 0;
            ::SetWindowPlacement(m_hWnd, &wp);
            m_bRestoreNatural = true;
        }
        LayOut();
        return;
    }
    Place(RECT{where->left, where->top, where->left + size.cx, where->top + size.cy});
    MakeClientNatural();
}

void CSkin::MakeClientNatural()
{
    // A frame other than foretold (the system keeps the frame of its own scale): once more with
    // the frame as it came.
    const SIZE natural = NaturalClient(m_nDpi);
    CRect window, client;
    GetClientRect(&client);
    if (client.Width() != natural.cx || client.Height() != natural.cy) {
        GetWindowRect(&window);
        window.right += natural.cx - client.Width();
        window.bottom += natural.cy - client.Height();
        Place(window);
    }
}

void CSkin::Place(RECT rc)
{
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    if (::GetMonitorInfoW(::MonitorFromRect(&rc, MONITOR_DEFAULTTONEAREST), &mi))
        rc = FitInWorkArea(rc, mi.rcWork);
    CRect window;
    GetWindowRect(&window);
    const bool same = rc.left == window.left && rc.top == window.top && rc.right == window.right && rc.bottom == window.bottom;
    ::SetWindowPos(m_hWnd, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    if (same)
        LayOut();  // no size notification comes
}

void CSkin::LayOut()
{
    MeasureFrame();
    CRect client;
    GetClientRect(&client);
    if (client.Width() <= 0 || client.Height() <= 0)
        return;
    // Fonts and the controls' own sizes at the scale, or smaller in a window held smaller.
    const int sizes = FittingDpi(m_nDpi, client.Width(), client.Height());
    if (sizes != m_nSizedAt) {
        m_nSizedAt = sizes;
        m_pOwner->ScaleChanged(sizes);
    }
    const std::vector<PlacedControl> placed = PlaceControls(m_nDpi, client.Width(), client.Height());
    HDWP batch = ::BeginDeferWindowPos(static_cast<int>(placed.size()));
    for (const PlacedControl& p : placed) {
        HWND control = ::GetDlgItem(m_hWnd, p.nID);
        if (control && batch) {
            batch = ::DeferWindowPos(batch, control, nullptr, p.rc.left, p.rc.top, p.rc.right - p.rc.left,
                                     p.rc.bottom - p.rc.top, SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    if (batch)
        ::EndDeferWindowPos(batch);
    m_pOwner->LaidOut();
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

void CSkin::OnSize(UINT nType, int, int)
{
    // Sizes come before the dialog is set up too (its creation): those lay out nothing.
    if (nType != SIZE_MINIMIZED && m_pOwner) {
        LayOut();
        // The first restore after a change of scale while maximized or minimized.
        if (nType == SIZE_RESTORED && m_bRestoreNatural) {
            m_bRestoreNatural = false;
            MakeClientNatural();
        }
    }
    Default();
}

void CSkin::OnDpiChanged(UINT nDpi, const RECT* pSuggested)
{
    if (!m_pOwner) {
        Default();
        return;
    }
    // The suggested rectangle's place; its size is the natural one at the new scale, which is
    // what the system suggests unless the window was held smaller.
    CRect rc;
    GetWindowRect(&rc);
    ApplyScale(static_cast<int>(nDpi), pSuggested ? pSuggested : &rc);
}

LRESULT CSkin::OnGetDpiScaledSize(WPARAM wParam, LPARAM lParam)
{
    // Windows asks, before a move to a monitor of another scale, what size the window will
    // take there: the natural one, so that the rectangle it then suggests is the right one.
    if (!m_pOwner || !lParam || ::IsZoomed(m_hWnd) || ::IsIconic(m_hWnd))
        return FALSE;
    *reinterpret_cast<SIZE*>(lParam) = NaturalWindow(static_cast<int>(wParam));
    return TRUE;
}

void CSkin::ReadContrast()
{
    m_bPlain = m_pOwner && m_pOwner->HighContrast();
}

void CSkin::OnSettingChange(UINT nAction)
{
    if (m_pOwner && (nAction == SPI_SETHIGHCONTRAST || nAction == 0)) {
        const bool was = m_bPlain;
        ReadContrast();
        if (was != m_bPlain) {
            m_hot = CaptionButton::None;
            m_pOwner->ContrastChanged();
            ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
            ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASE);
        }
    }
    Default();
}

void CSkin::OnSysColorChange()
{
    OnSettingChange(SPI_SETHIGHCONTRAST);
}

void CSkin::DrawBitmap(HDC dc, int x, int y, int cx, int cy, UINT nBitmap100)
{
    CBitmap bitmap;
    if (!bitmap.LoadBitmap(SkinBitmapFor(nBitmap100, m_nDpi)))
        return;  // nothing to draw, nothing to say
    CMemoryDC mem(dc, bitmap);
    const SIZE size = bitmap.GetSize();
    // The scale's own set is drawn as it is; another scale takes the next larger set down.
    const int oldMode = ::SetStretchBltMode(dc, HALFTONE);
    ::StretchBlt(dc, x, y, cx, cy, mem, 0, 0, size.cx, size.cy, SRCCOPY);
    ::SetStretchBltMode(dc, oldMode);
}

void CSkin::DrawFrame()
{
    MeasureFrame();
    CRect rc;
    GetWindowRect(&rc);
    CWindowDC dc(m_hWnd);
    for (const SkinElement& e : SkinElements(rc.Width(), rc.Height(), m_cxFrame, m_cxFrame, m_cyTitle, m_nDpi)) {
        if (e.nBitmap == IDB_MIN || e.nBitmap == IDB_MAX || e.nBitmap == IDB_CLOSE)
            continue;  // drawn with their state below
        DrawBitmap(dc, e.x, e.y, e.cx, e.cy, e.nBitmap);
    }
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(255, 255, 255));
    ::SetTextAlign(dc, TA_CENTER);
    CFont font;
    font.CreateFont(ScaleBy(12, m_nDpi), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0, 0, FF_SWISS, L"宋体");
    CSelectObject select(dc, font.GetSafeHandle());
    static const wchar_t kTitle[] = L"Kelvaro 3.0";
    ::TextOutW(dc, ScaleBy(100, m_nDpi), ScaleBy(6, m_nDpi), kTitle, static_cast<int>(wcslen(kTitle)));
    DrawCaptionButtons();
}

void CSkin::DrawCaptionButtons()
{
    CRect rc;
    GetWindowRect(&rc);
    CWindowDC dc(m_hWnd);
    const bool zoomed = ::IsZoomed(m_hWnd) != FALSE;
    for (CaptionButton b : {CaptionButton::Close, CaptionButton::Maximize, CaptionButton::Minimize}) {
        const RECT face = CaptionFace(rc.Width(), b, m_nDpi);
        DrawBitmap(dc, face.left, face.top, face.right - face.left, face.bottom - face.top, FaceOf(b, m_hot, zoomed));
    }
}

void CSkin::OnNcPaint()
{
    if (m_bPlain || !m_pOwner)
        Default();
    else
        DrawFrame();
}

BOOL CSkin::OnNcActivate(BOOL)
{
    if (m_bPlain || !m_pOwner)
        return static_cast<BOOL>(Default());
    DrawFrame();
    return TRUE;
}

LRESULT CSkin::OnNcHitTest(CPoint)
{
    const LRESULT hit = Default();
    if (m_bPlain)
        return hit;
    // The system's own caption buttons and window menu are painted over: their places are
    // the caption, where the skin's buttons take the pointer.
    switch (hit) {
    case HTSYSMENU:
    case HTMINBUTTON:
    case HTMAXBUTTON:
    case HTCLOSE:
    case HTHELP:
        return HTCAPTION;
    default:
        return hit;
    }
}

void CSkin::OnNcMouseMove(UINT, CPoint point)
{
    if (!m_bPlain) {
        CRect rc;
        GetWindowRect(&rc);
        m_hot = CaptionButtonAt(rc.Width(), point.x - rc.left, point.y - rc.top, m_nDpi);
        DrawCaptionButtons();
    }
    Default();
}

void CSkin::Press(CaptionButton b)
{
    switch (b) {
    case CaptionButton::Close:
        if (CWnd* main = AfxGetMainWnd())
            main->SendMessage(WM_CLOSE);
        else
            SendMessage(WM_CLOSE);
        break;
    case CaptionButton::Minimize:
        m_hot = CaptionButton::None;
        ShowWindow(SW_MINIMIZE);
        break;
    case CaptionButton::Maximize:
        ToggleMaximized();
        break;
    default:
        break;
    }
}

void CSkin::ToggleMaximized()
{
    const bool restoring = ::IsZoomed(m_hWnd) || ::IsIconic(m_hWnd);
    ShowWindow(restoring ? SW_RESTORE : SW_MAXIMIZE);
    if (restoring && m_hot == CaptionButton::Maximize)
        m_hot = CaptionButton::None;
}

void CSkin::OnNcLButtonDown(UINT, CPoint)
{
    if (m_bPlain) {
        Default();
        return;
    }
    // The hot button of the last pointer move decides, not where the press is. A press on
    // a caption button is the skin's alone: the system takes the caption for its own and
    // would start moving the window, and after a question box or a minimize the button is
    // already up: the window would follow the pointer until the next click.
    if (m_hot == CaptionButton::None)
        Default();
    else
        Press(m_hot);
}

void CSkin::OnNcMouseLeave()
{
    if (!m_bPlain) {
        m_hot = CaptionButton::None;
        DrawCaptionButtons();
    }
    Default();
}

void CSkin::OnNcLButtonDblClk(UINT, CPoint)
{
    if (m_bPlain)
        Default();
    else
        ToggleMaximized();
}

void CSkin::OnNcRButtonDown(UINT, CPoint)
{
    // Kept from the default processing: Wine's captures the pointer there and swallows the
    // release, and then the popup menu never comes.
    if (m_bPlain)
        Default();
}

void CSkin::OnNcRButtonUp(UINT, CPoint point)
{
    if (m_bPlain || !m_pOwner)
        Default();
    else
        m_pOwner->ShowSkinMenu(point);
}

std::vector<CSkin::CaptionItem> CSkin::CaptionItems() const
{
    CRect rc;
    GetWindowRect(&rc);
    std::vector<CaptionItem> items;
    for (CaptionButton b : {CaptionButton::Minimize, CaptionButton::Maximize, CaptionButton::Close}) {
        RECT face = CaptionFace(rc.Width(), b, m_nDpi);
        ::OffsetRect(&face, rc.left, rc.top);
        items.push_back({b, face});
    }
    return items;
}
