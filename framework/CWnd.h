// A window bound to an object by subclassing. Messages reach the object's message map; what
// the map does not handle goes to the window's previous procedure.
#pragma once

#include <map>
#include <memory>
#include <mutex>

#include "Accessible.h"
#include "CCmdTarget.h"
#include "CDC.h"
#include "CGdiObject.h"
#include "CString.h"

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object bound to hWnd by subclassing, or null.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // Binding: into the map, PreSubclassWindow, then the window procedure is replaced.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    // Unbinding runs the other way: out of the map, then the old procedure is put back.
    HWND UnsubclassWindow();

    LRESULT SendMessage(UINT nMsg, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageW(m_hWnd, nMsg, wParam, lParam);
    }
    BOOL PostMessage(UINT nMsg, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageW(m_hWnd, nMsg, wParam, lParam);
    }

    // A child control by identifier: its bound object, or a plain wrapper kept by this window.
    CWnd* GetDlgItem(int nID) const;
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }

    void SetWindowText(const CString& text) { ::SetWindowTextW(m_hWnd, AfxToWide(text).c_str()); }
    void GetWindowText(CString& rString) const;
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
    void GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
    void ScreenToClient(LPRECT lpRect) const { ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(lpRect), 2); }
    BOOL SetWindowPos(const CWnd* pInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
    {
        return ::SetWindowPos(m_hWnd, pInsertAfter ? pInsertAfter->m_hWnd : nullptr, x, y, cx, cy, nFlags);
    }
    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    HICON SetIcon(HICON hIcon, BOOL bBigIcon)
    {
        return reinterpret_cast<HICON>(SendMessage(WM_SETICON, bBigIcon, reinterpret_cast<LPARAM>(hIcon)));
    }
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE)
    {
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(*pFont)), bRedraw);
    }
    HMENU GetSystemMenu(BOOL bRevert) const { return ::GetSystemMenu(m_hWnd, bRevert); }

    // What screen readers read for the window: name and role (ROLE_SYSTEM_...), the rest as
    // the system answers. An empty name reads the window's current text.
    void SetAccessible(const CString& name, long role)
    {
        m_accName = name;
        m_accRole = role;
    }
    // Painted elements that readers find under idObject of this window (OBJID_TITLEBAR: the
    // skin's caption buttons).
    void SetAccessibleElements(LONG idObject, AccessibleElementSource source)
    {
        m_accElementsId = idObject;
        m_accElements = std::move(source);
    }

    // Makes this object a part of owner's window: it works on owner's window, and what its
    // handlers leave to Default() goes to owner's previous procedure. A part is reached
    // through ON_CHAIN_MEMBER in owner's map; it is never bound to the window itself.
    void PartOf(CWnd* owner);

protected:
    virtual void PreSubclassWindow() {}
    virtual LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam);
    // Looks the message up in the map (after reflecting owner-draw messages to the child);
    // FALSE when nothing handled it.
    virtual BOOL OnWndMsg(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // A message that the parent reflected back to this control; TRUE when handled.
    virtual BOOL OnChildNotify(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    LRESULT DefWindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam);
    // The previous procedure's answer to the message being handled.
    LRESULT Default();

    // Default handlers that derived classes call as their base.
    void OnPaint() { Default(); }
    HBRUSH OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }
    BOOL OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
    void OnSysCommand(UINT, LPARAM) { Default(); }

    WNDPROC m_pfnSuper = nullptr;

private:
    // The map entry of a part chained into this window's map, handling the message; *ppPart
    // gets the part.
    const AFX_MSGMAP_ENTRY* FindInParts(UINT nLookup, UINT nCode, UINT nID, CWnd** ppPart) const;
    CWnd* m_pPartOf = nullptr;  // the window this object is a part of

    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT Dispatch(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
    void OnNcDestroyed();

    struct CurrentMessage {
        UINT nMsg = 0;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
    } m_current;

    // The answers to WM_GETOBJECT; a role of 0 leaves the client area to the system.
    CString m_accName;
    long m_accRole = 0;
    LONG m_accElementsId = 0;
    AccessibleElementSource m_accElements;

    mutable std::mutex m_tempLock;
    mutable std::map<HWND, std::unique_ptr<CWnd>> m_tempChildren;
};

// The procedure that subclassed windows get. Every window of the program is a Unicode window
// and stays one: messages reach its own procedure in UTF-16, unconverted.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);

// The object bound to a window handle, or a temporary wrapper for one that has none.
class CTempWnd {
public:
    explicit CTempWnd(HWND hWnd) : m_pWnd(CWnd::FromHandlePermanent(hWnd))
    {
        if (!m_pWnd) {
            m_temp.m_hWnd = hWnd;
            m_pWnd = &m_temp;
        }
    }
    ~CTempWnd() { m_temp.m_hWnd = nullptr; }
    CWnd* Get() const { return m_pWnd; }

private:
    CWnd m_temp;
    CWnd* m_pWnd;
};
