// The list of found files. A list box does not work out its own horizontal scroll range;
// this one keeps it at the widest item plus 5 pixels, measured in the list's own font.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "../framework/CListBox.h"

class CHSListBox : public CListBox {
public:
    // Sets the extent to the widest item + 5 (0 for an empty list). Measures only what
    // AddStrings added since the last time, and everything again after any other change.
    void UpdateHorizontalExtent();
    // Inserts a batch at their sorted places with redrawing suspended, then updates the extent.
    // The places are the ones the list itself would choose, found on sort keys made from the
    // texts (the list's own search compares texts at some 16 us a step). An item that would
    // land far from the end (the list moves every item after it) waits instead, and the
    // waiting items are merged in at once when they are many: so a list filled in any order
    // costs n log n, not n squared. Flush shows every waiting item.
    void AddStrings(const std::vector<CString>& items);
    void Flush();

protected:
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;

private:
    int MeasureAll();
    LCID Locale() const;
    static std::string SortKey(LCID lcid, const std::wstring& text);
    // The key of the shown item at index, made from its text: shown items keep no key.
    std::string ShownKey(LCID lcid, int index) const;
    // The keys of the last items shown (at most kCheapShift), the first of them at start.
    struct Tail {
        int start = 0;
        std::deque<std::string> keys;
    };
    int FindSortedPlace(LCID lcid, const std::string& key, const Tail& tail) const;
    void Merge();

    // A stored key of a waiting item: where it lies in the key store, and how long it is.
    struct KeySpan {
        uint32_t offset;
        uint32_t length;
    };
    uint32_t StoreKey(const std::string& key);
    void ClearKeys();
    const char* KeyBytes(const KeySpan& span) const { return m_keyBlocks[span.offset >> 20].get() + (span.offset & 0xFFFFF); }
    int CompareKeys(uint32_t a, uint32_t b) const;
    int CompareKey(uint32_t a, const std::string& key) const;

    struct Pending {
        uint32_t key;        // in the key store
        std::wstring text;
    };
    std::vector<Pending> m_pending;  // items held back, in the order they came

    // The waiting items' keys, one after another in blocks of 1 MB (no string object each,
    // and no block is ever copied to grow). A span's offset is its block's number, times
    // 2^20, plus the place. Emptied with the waiting items.
    std::vector<std::unique_ptr<char[]>> m_keyBlocks;
    uint32_t m_nBlockUsed = 0;
    std::vector<KeySpan> m_keyPool;

    int m_cxWidest = 0;    // widest item measured so far
    int m_nMeasured = 0;   // items that m_cxWidest covers
    bool m_bStale = true;  // an item went away: the widest may be gone with it
};
