// GDI objects that own their handle: deleted with the object, never copied.
#pragma once

#include <utility>

#include "Afx.h"

class CGdiObject {
public:
    CGdiObject() = default;
    ~CGdiObject() { DeleteObject(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    BOOL DeleteObject()
    {
        if (!m_hObject)
            return FALSE;
        BOOL ok = ::DeleteObject(m_hObject);
        m_hObject = nullptr;
        return ok;
    }
    // Takes other's object and gives it this one's, which other then deletes: a new object
    // replaces one still in use only once it is in use itself.
    void Swap(CGdiObject& other) { std::swap(m_hObject, other.m_hObject); }

protected:
    BOOL Attach(HGDIOBJ h)
    {
        DeleteObject();
        m_hObject = h;
        return h != nullptr;
    }

    HGDIOBJ m_hObject = nullptr;
};

class CBrush : public CGdiObject {
public:
    BOOL CreateSolidBrush(COLORREF cr) { return Attach(::CreateSolidBrush(cr)); }
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
};

class CFont : public CGdiObject {
public:
    BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight,
                    BYTE bItalic, BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet,
                    BYTE nOutPrecision, BYTE nClipPrecision, BYTE nQuality,
                    BYTE nPitchAndFamily, const wchar_t* lpszFacename)
    {
        return Attach(::CreateFontW(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic,
                                    bUnderline, cStrikeOut, nCharSet, nOutPrecision,
                                    nClipPrecision, nQuality, nPitchAndFamily, lpszFacename));
    }
    BOOL CreateFontIndirect(const LOGFONTW* lf) { return Attach(::CreateFontIndirectW(lf)); }
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};

// A bitmap loaded from the program's resources, freed with the object.
class CBitmap : public CGdiObject {
public:
    BOOL LoadBitmap(UINT nIDResource)
    {
        return Attach(::LoadBitmapW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDResource)));
    }
    SIZE GetSize() const
    {
        BITMAP bm = {};
        ::GetObjectW(m_hObject, sizeof(bm), &bm);
        return SIZE{bm.bmWidth, bm.bmHeight};
    }
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};
