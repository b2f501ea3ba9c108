// The skinned push button: a bitmap face (the key colour left transparent), a centred bold
// caption, a second face while the pointer is over it, and a dotted mark inside the face while
// it has the keyboard focus (unless the system hides focus marks until the keyboard is used).
// It notices that the pointer has left by looking at the cursor on a 10 ms timer. In high
// contrast it is a plain push button in the system's colours.
#pragma once

#include "../framework/CButton.h"

class MyDrawButton : public CButton {
public:
    int m_nMouseState = 1;  // 0 while the pointer is over the button
    UINT m_nNormalBmp = 0;
    UINT m_nHoverBmp = 0;
    UINT m_nCurBmp = 0;
    bool m_bHasIcon = false;
    int m_nIconLeft = 5;
    int m_nIconTop = 5;
    int m_nIconWidth = 24;
    int m_nIconHeight = 24;
    HICON m_hButtonIcon = nullptr;  // not owned
    bool m_bHover = false;
    COLORREF m_crCurText = RGB(255, 255, 255);
    COLORREF m_crHoverText = RGB(255, 255, 255);
    COLORREF m_crNormalText = RGB(255, 255, 255);

    static const UINT_PTR kHoverTimer = 24;
    static const COLORREF kKeyColour = RGB(14, 94, 157);
    // The caption of a disabled button.
    static const COLORREF kDisabledText = RGB(160, 160, 160);

    // The face and caption at dpi (the face's bitmap of the set for that scale); plain faces in
    // the system's colours when bPlain.
    void SetLook(int dpi, bool bPlain);

    // A pressed button looks like any other: the hover state shows, and a disabled button has
    // a grey caption on its plain face.
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    void DrawFaceBitmap();
    void DrawButtonIcon();
    void DrawButtonText();

protected:
    void PreSubclassWindow() override;
    void OnMouseMove(UINT nFlags, CPoint point);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnTimer(UINT_PTR nIDEvent);
    void OnMouseLeave();
    // A push button to the dialog manager: Enter presses it while it has the focus.
    UINT OnGetDlgCode();
    // The dialog manager makes the focused push button its default one by its style: the
    // button stays owner-drawn and notes whether it is the default.
    LRESULT OnSetStyle(WPARAM wParam, LPARAM lParam);
    void OnUpdateUIState(UINT nAction, UINT nFlags);

    DECLARE_MESSAGE_MAP()

private:
    void Repaint();
    void LeaveHover();
    void DrawPlain();
    void DrawFocusMark();
    bool ShowsFocus() const;

    int m_nDpi = 96;
    bool m_bPlain = false;
    bool m_bDefault = false;
    bool m_bHideFocus = false;  // the system hides focus marks until the keyboard is used
};
