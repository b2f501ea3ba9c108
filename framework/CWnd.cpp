#include "CWnd.h"

#include <functional>
#include <unordered_map>

#include "CWorker.h"

namespace {

std::mutex g_mapLock;
std::unordered_map<HWND, CWnd*>& WindowMap()
{
    static std::unordered_map<HWND, CWnd*> map;
    return map;
}

}  // namespace

CWnd::~CWnd()
{
    if (m_pfnSuper)
        UnsubclassWindow();
    m_hWnd = nullptr;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    std::lock_guard<std::mutex> lock(g_mapLock);
    auto it = WindowMap().find(hWnd);
    return it == WindowMap().end() ? nullptr : it->second;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!hWnd || m_hWnd || FromHandlePermanent(hWnd))
        return FALSE;
    {
        std::lock_guard<std::mutex> lock(g_mapLock);
        WindowMap()[hWnd] = this;
    }
    m_hWnd = hWnd;
    PreSubclassWindow();
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    return SubclassWindow(::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)));
}

HWND CWnd::UnsubclassWindow()
{
    HWND hWnd = m_hWnd;
    {
        std::lock_guard<std::mutex> lock(g_mapLock);
        WindowMap().erase(hWnd);
    }
    if (m_pfnSuper && ::IsWindow(hWnd))
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    m_hWnd = nullptr;
    return hWnd;
}

void CWnd::OnNcDestroyed()
{
    // The window is gone: nothing to put back, only the binding to drop.
    {
        std::lock_guard<std::mutex> lock(g_mapLock);
        WindowMap().erase(m_hWnd);
    }
    m_pfnSuper = nullptr;
    m_hWnd = nullptr;
    std::lock_guard<std::mutex> lock(m_tempLock);
    m_tempChildren.clear();
}

CWnd* CWnd::GetDlgItem(int nID) const
{
    HWND hChild = ::GetDlgItem(m_hWnd, nID);
    if (!hChild)
        return nullptr;
    if (CWnd* bound = FromHandlePermanent(hChild))
        return bound;
    std::lock_guard<std::mutex> lock(m_tempLock);
    std::unique_ptr<CWnd>& slot = m_tempChildren[hChild];
    if (!slot) {
        slot.reset(new CWnd);
        slot->m_hWnd = hChild;
    }
    return slot.get();
}

void CWnd::GetWindowText(CString& rString) const
{
    const int n = ::GetWindowTextLengthW(m_hWnd);
    std::wstring buf(static_cast<size_t>(n) + 1, L'\0');
    const int got = ::GetWindowTextW(m_hWnd, &buf[0], n + 1);
    rString = AfxFromWide(buf.c_str(), got);
}

void CWnd::PartOf(CWnd* owner)
{
    m_pPartOf = owner;
    m_hWnd = owner->m_hWnd;
}

LRESULT CWnd::DefWindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (m_pPartOf)
        return m_pPartOf->DefWindowProc(nMsg, wParam, lParam);
    if (m_pfnSuper)
        return ::CallWindowProcW(m_pfnSuper, m_hWnd, nMsg, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, nMsg, wParam, lParam);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(m_current.nMsg, m_current.wParam, m_current.lParam);
}

LRESULT CWnd::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_GETOBJECT) {
        const LONG idObject = AfxObjectIdOf(lParam);
        if (idObject == OBJID_CLIENT && m_accRole != 0)
            return AfxAccessibleResult(AfxCreateControlAccessible(m_hWnd, m_accName, m_accRole), wParam);
        if (idObject == m_accElementsId && m_accElements)
            return AfxAccessibleResult(AfxCreateElementsAccessible(m_hWnd, idObject, m_accElements), wParam);
    }
    LRESULT result = 0;
    if (!OnWndMsg(nMsg, wParam, lParam, &result))
        result = DefWindowProc(nMsg, wParam, lParam);
    return result;
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*)
{
    return FALSE;
}

BOOL CWnd::OnWndMsg(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (nMsg == WM_AFX_RUN_HERE) {
        (*reinterpret_cast<const std::function<void()>*>(lParam))();
        *pResult = 0;
        return TRUE;
    }
    // Owner-draw requests, and a common control's notifications, go back to the control's own
    // object first.
    if (nMsg == WM_NOTIFY) {
        const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
        CWnd* child = hdr ? FromHandlePermanent(hdr->hwndFrom) : nullptr;
        if (child && child != this && child->OnChildNotify(nMsg, wParam, lParam, pResult))
            return TRUE;
    }
    if (nMsg == WM_DRAWITEM || nMsg == WM_MEASUREITEM) {
        HWND hChild = nullptr;
        if (nMsg == WM_DRAWITEM) {
            auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            if (dis->CtlType != ODT_MENU)
                hChild = dis->hwndItem;
        } else {
            auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            if (mis->CtlType != ODT_MENU)
                hChild = ::GetDlgItem(m_hWnd, static_cast<int>(mis->CtlID));
        }
        CWnd* child = hChild ? FromHandlePermanent(hChild) : nullptr;
        if (child && child->OnChildNotify(nMsg, wParam, lParam, pResult))
            return TRUE;
    }

    UINT nLookup = nMsg, nCode = 0, nID = 0;
    if (nMsg >= WM_CTLCOLORMSGBOX && nMsg <= WM_CTLCOLORSTATIC) {
        nLookup = WM_CTLCOLOR;
    } else if (nMsg == WM_COMMAND) {
        nID = LOWORD(wParam);
        nCode = HIWORD(wParam);
        if (nCode == 1 && lParam == 0)  // an accelerator counts as the command itself
            nCode = 0;
    }
    CWnd* part = nullptr;
    if (const AFX_MSGMAP_ENTRY* partEntry = FindInParts(nLookup, nCode, nID, &part)) {
        part->PartOf(this);
        const CurrentMessage saved = part->m_current;
        part->m_current = m_current;
        *pResult = partEntry->pfn(part, nMsg, wParam, lParam);
        part->m_current = saved;
        return TRUE;
    }
    const AFX_MSGMAP_ENTRY* entry = AfxFindMessageEntry(GetMessageMap(), nLookup, nCode, nID);
    if (!entry)
        return FALSE;
    *pResult = entry->pfn(this, nMsg, wParam, lParam);
    return TRUE;
}

const AFX_MSGMAP_ENTRY* CWnd::FindInParts(UINT nLookup, UINT nCode, UINT nID, CWnd** ppPart) const
{
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e && e->nMessage != 0; ++e) {
            if (e->nMessage != AFX_CHAIN_ENTRY)
                continue;
            CWnd* part = reinterpret_cast<CWnd*>(e->pfn(const_cast<CWnd*>(this), 0, 0, 0));
            if (const AFX_MSGMAP_ENTRY* found = AfxFindMessageEntry(part->GetMessageMap(), nLookup, nCode, nID)) {
                *ppPart = part;
                return found;
            }
        }
    }
    return nullptr;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (!CWnd::FromHandlePermanent(hWnd))
        return ::DefWindowProcW(hWnd, nMsg, wParam, lParam);
    return CWnd::Dispatch(hWnd, nMsg, wParam, lParam);
}

LRESULT CWnd::Dispatch(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd)
        return 0;
    // Handlers may be re-entered (a SendMessage to the window from inside a handler), so the
    // message that Default() answers is saved and restored around each one.
    const CWnd::CurrentMessage saved = pWnd->m_current;
    pWnd->m_current = {nMsg, wParam, lParam};
    const LRESULT result = pWnd->WindowProc(nMsg, wParam, lParam);
    pWnd->m_current = saved;
    if (nMsg == WM_NCDESTROY)
        pWnd->OnNcDestroyed();
    return result;
}
