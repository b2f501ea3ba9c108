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

    // Width in pixels of the check-box column at the left of every item.
    static const int kCheckColumn = 17;

protected:
    void PreSubclassWindow() override;
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);

    DECLARE_MESSAGE_MAP()

private:
    int ItemHeight() const;
    void ToggleItem(int nIndex);
    void ToggleAt(CPoint point);
};
