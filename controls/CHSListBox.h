// The list of found files. A list box does not work out its own horizontal scroll range;
// this one keeps it at the widest item plus 5 pixels, measured in the list's own font.
#pragma once

#include <vector>

#include "../framework/CListBox.h"

class CHSListBox : public CListBox {
public:
    // Sets the extent to the widest item + 5 (0 for an empty list). Measures only what
    // AddStrings added since the last time, and everything again after any other change.
    void UpdateHorizontalExtent();
    // Inserts a batch at their sorted places with redrawing suspended, then updates the extent.
    void AddStrings(const std::vector<CString>& items);

protected:
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;

private:
    int MeasureAll();

    int m_cxWidest = 0;    // widest item measured so far
    int m_nMeasured = 0;   // items that m_cxWidest covers
    bool m_bStale = true;  // an item went away: the widest may be gone with it
};
