// The skin of the main window: its bitmap frame and title bar, the caption buttons painted on
// them, the place of every control (restored, maximized, at any display scale), and the
// change to the system's own frame and colours in high contrast. A part of the dialog's
// window, chained into the dialog's message map; the dialog answers what only it knows.
#pragma once

#include <vector>

#include "../framework/CWnd.h"
#include "SkinGeometry.h"

class ISkinOwner {
public:
    // The scale became dpi: the fonts and what the controls measure themselves by follow.
    virtual void ScaleChanged(int dpi) = 0;
    // Every control stands in its place again.
    virtual void LaidOut() = 0;
    // A right click on the title bar, at a screen point.
    virtual void ShowSkinMenu(CPoint point) = 0;
    // Whether the system draws in high contrast now.
    virtual bool HighContrast() const = 0;
    // High contrast went on or off: the client area's colours follow.
    virtual void ContrastChanged() = 0;

protected:
    ~ISkinOwner() = default;
};

class CSkin : public CWnd {
public:
    // Takes owner's window: at owner's scale, every control in its place.
    void Attach(CWnd* pWindow, ISkinOwner* pOwner);

    int Dpi() const { return m_nDpi; }
    // Drawn with the system's frame and colours (high contrast) rather than the bitmaps.
    bool Plain() const { return m_bPlain; }
    CaptionButton Hot() const { return m_hot; }
    // The caption buttons and their places on screen.
    struct CaptionItem {
        CaptionButton button;
        RECT screen;
    };
    std::vector<CaptionItem> CaptionItems() const;
    // What a caption button does, from the pointer, the keyboard or a screen reader.
    void Press(CaptionButton b);

protected:
    void OnNcPaint();
    BOOL OnNcActivate(BOOL bActive);
    LRESULT OnNcHitTest(CPoint point);
    void OnNcMouseMove(UINT nHitTest, CPoint point);
    void OnNcLButtonDown(UINT nHitTest, CPoint point);
    void OnNcMouseLeave();
    void OnNcLButtonDblClk(UINT nHitTest, CPoint point);
    void OnNcRButtonDown(UINT nHitTest, CPoint point);
    void OnNcRButtonUp(UINT nHitTest, CPoint point);
    void OnSize(UINT nType, int cx, int cy);
    void OnDpiChanged(UINT nDpi, const RECT* pSuggested);
    LRESULT OnGetDpiScaledSize(WPARAM wParam, LPARAM lParam);
    void OnSettingChange(UINT nAction);
    void OnSysColorChange();

    DECLARE_MESSAGE_MAP()

private:
    // The window at dpi: the owner's fonts and controls, then its size (the natural client
    // area, at the top-left of where, inside its monitor's work area) and every control's
    // place.
    void ApplyScale(int dpi, const RECT* where);
    // The window's size with the natural client area at dpi.
    SIZE NaturalWindow(int dpi) const;
    // The window at rc, kept inside its monitor's work area; every control in its place.
    void Place(RECT rc);
    // The window sized so that its client area is the natural one at its scale.
    void MakeClientNatural();
    void LayOut();
    void DrawBitmap(HDC dc, int x, int y, int cx, int cy, UINT nBitmap100);
    void DrawFrame();
    void DrawCaptionButtons();
    void ToggleMaximized();
    // The frame's edges as the system makes them for this window.
    void MeasureFrame();
    void ReadContrast();

    ISkinOwner* m_pOwner = nullptr;
    int m_nDpi = 96;
    int m_nSizedAt = 0;  // the scale the owner's fonts and sizes were last made for
    bool m_bRestoreNatural = false;  // the scale changed while maximized or minimized
    bool m_bPlain = false;
    CaptionButton m_hot = CaptionButton::None;
    int m_cxFrame = 0;  // the side and bottom edges' thickness
    int m_cyTitle = 0;  // from the window's top to its client area
};
