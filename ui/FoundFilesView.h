// The list of found files as the window shows it: a list view in owner-data mode that holds no
// text of its own and asks the model (scan/FoundFiles.h) for each cell it draws. Its rows stay
// readable through the control's standard messages (LVM_GETITEMCOUNT, LVM_GETITEMTEXT), as
// screen readers and test drivers read them.
//
// Columns: path, size, modified. A click on a column's header sorts by it; a second click
// reverses. The selection belongs to the model's rows: what the user selects is told to the
// model as the control reports it, and after rows come or go the control's selection, caret,
// anchor and top row are put back where their rows are now.
#pragma once

#include <functional>
#include <string>

#include "../framework/CWnd.h"
#include "../scan/FoundFiles.h"

class CFoundFilesView : public CWnd {
public:
    // Binds the model and makes the columns; call once the control is bound.
    void Attach(CFoundFiles* pFiles);
    // Called after the user changed the selection (once a burst: the list posts WM_LIST_SELECTION
    // to its dialog, which calls SelectionNoticed), and for the Delete key.
    void OnSelectionChanged(std::function<void()> fn) { m_onSelection = std::move(fn); }
    void SelectionNoticed();
    void OnDeleteKey(std::function<void()> fn) { m_onDelete = std::move(fn); }

    // Where the user's places are, by row: taken before the model changes, put back after.
    struct Places {
        size_t top = CFoundFiles::npos;
        size_t focus = CFoundFiles::npos;
        size_t mark = CFoundFiles::npos;
        CFoundFiles::Row topRow = 0, focusRow = 0, markRow = 0;
        bool bRows = false;  // the rows above are known
    };
    Places Remember() const;
    // Shows the model as it is now, its rows where Remember found them.
    void Show(const Places& places);
    // Shows the model as it is now (the view's places as they fall).
    void Show() { Show(Places()); }

    // Every row selected (Ctrl+A).
    void SelectAll();
    // Sorts by column: ascending, or reversed when it is the column sorted by already.
    void SortByColumn(int column);

    // Column widths fitted to the control's width: size and modified as they are, the path the rest.
    void FitColumns();
    // The size and date columns at dpi (96-dpi widths scaled); the path takes the rest.
    void SetScale(int dpi);

protected:
    BOOL OnChildNotify(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
    void SyncSelection();
    void ShowSortMark();
    // Tells the dialog, once for however many changes come before it looks.
    void PostSelectionNotice();
    CFoundFiles::Row RowAt(int position) const { return m_pFiles->RowAt(static_cast<size_t>(position)); }

    CFoundFiles* m_pFiles = nullptr;
    int m_nDpi = 96;
    std::function<void()> m_onSelection;
    std::function<void()> m_onDelete;
    bool m_bSyncing = false;   // the program sets the control's states: its notices are not the user's
    bool m_bNoticePosted = false;
    unsigned m_nShownVersion = ~0u;  // the model's version the control shows
    std::wstring m_text;       // the cell last asked for
};
