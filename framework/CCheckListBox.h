// Owner-drawn list box with a check box in front of each item. The check state (0 clear,
// 1 ticked, 2 indeterminate) is kept in the item's data, so it stays with its item when the
// sorted list inserts another one before it.
#pragma once

#include "CListBox.h"

class CCheckListBox : public CListBox {
public:
    int GetCheck(int nIndex) const;
    void SetCheck(int nIndex, int nCheck);

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;

    // Width in pixels of the check-box column at the left of every item, at 96 dpi.
    static const int kCheckColumn = 17;
    // The check box, its column and the rows at dpi (after the font of that scale is set).
    void SetScale(int dpi);
    int CheckColumn() const;

protected:
    int Dpi() const { return m_nDpi; }
    void PreSubclassWindow() override;
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);

    DECLARE_MESSAGE_MAP()

private:
    int ItemHeight() const;
    int BoxSize() const;
    int m_nDpi = 96;
    void ToggleItem(int nIndex);
    void ToggleAt(CPoint point);
};
