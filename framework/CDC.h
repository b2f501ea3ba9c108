// Device contexts. CDC wraps a context that someone else owns; the derived guards obtain
// one and release it in their destructors.
#pragma once

#include "Afx.h"

class CWnd;

class CDC {
public:
    explicit CDC(HDC hDC = nullptr) : m_hDC(hDC) {}
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    COLORREF SetTextColor(COLORREF cr) { return ::SetTextColor(m_hDC, cr); }
    COLORREF SetBkColor(COLORREF cr) { return ::SetBkColor(m_hDC, cr); }
    int SetBkMode(int nMode) { return ::SetBkMode(m_hDC, nMode); }
    BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }
    // Fills with a solid colour without a brush; the background colour is put back.
    void FillSolidRect(const RECT& rc, COLORREF cr)
    {
        COLORREF old = ::SetBkColor(m_hDC, cr);
        ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
        ::SetBkColor(m_hDC, old);
    }

protected:
    HDC m_hDC;
};

// BeginPaint / EndPaint for one WM_PAINT.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC();
    PAINTSTRUCT m_ps;

private:
    HWND m_hWnd;
};

// GetDC / ReleaseDC (client area).
class CClientDC : public CDC {
public:
    explicit CClientDC(HWND hWnd) : CDC(::GetDC(hWnd)), m_hWnd(hWnd) {}
    ~CClientDC() { if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC); }

private:
    HWND m_hWnd;
};

// Puts an object into a context for one scope and the previous one back afterwards.
class CSelectObject {
public:
    CSelectObject(HDC hDC, HGDIOBJ hObj) : m_hDC(hDC), m_hOld(hObj ? ::SelectObject(hDC, hObj) : nullptr) {}
    ~CSelectObject() { if (m_hOld) ::SelectObject(m_hDC, m_hOld); }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};

// GetWindowDC / ReleaseDC (the whole window, frame included).
class CWindowDC : public CDC {
public:
    explicit CWindowDC(HWND hWnd) : CDC(::GetWindowDC(hWnd)), m_hWnd(hWnd) {}
    ~CWindowDC() { if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC); }

private:
    HWND m_hWnd;
};

// A memory context compatible with another, holding one bitmap for as long as it lives;
// the bitmap is taken out again before the context is deleted.
class CMemoryDC : public CDC {
public:
    CMemoryDC(HDC hCompatible, HBITMAP hBitmap) : CDC(::CreateCompatibleDC(hCompatible))
    {
        if (m_hDC)
            m_hOld = ::SelectObject(m_hDC, hBitmap);
    }
    ~CMemoryDC()
    {
        if (m_hDC) {
            ::SelectObject(m_hDC, m_hOld);
            ::DeleteDC(m_hDC);
        }
    }

private:
    HGDIOBJ m_hOld = nullptr;
};
