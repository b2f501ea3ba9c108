// The model of found files alone: its order against the system's own sorted list, whatever
// order rows arrive in; the other columns' orders; the selection across arrivals; and a run's
// deletion outcomes set on the rows they belong to.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "HeldRun.h"
#include "ScanTree.h"
#include "TestFiles.h"
#include "scan/FileSystem.h"
#include "scan/FoundFiles.h"
#include "scan/Patterns.h"
#include "scan/RunController.h"

namespace {

struct File {
    std::string path;
    uint64_t size;
    uint64_t modified;
};

void AddTo(CFoundBatch& batch, const File& f)
{
    batch.Add(f.path.c_str(), FoundSortKey(f.path.c_str()), f.size, f.modified);
}

// Names equal but for case are equal to a sorted list too: their order among themselves is
// whatever its search happens to give. Compared in small letters.
std::vector<std::string> Lower(std::vector<std::string> v)
{
    for (std::string& s : v) {
        std::wstring w = AfxToWide(s.c_str());
        ::CharLowerBuffW(&w[0], static_cast<DWORD>(w.size()));
        s = AfxFromWide(w).GetString();
    }
    return v;
}

std::vector<std::string> Shown(const CFoundFiles& files)
{
    std::vector<std::string> out;
    for (size_t i = 0; i < files.Count(); ++i)
        out.push_back(files.Path(files.RowAt(i)));
    return out;
}

// The order a sorted list box of the system gives the same texts, added one at a time.
std::vector<std::string> SystemOrder(const std::vector<File>& files)
{
    HWND list = ::CreateWindowExW(0, L"ListBox", L"", LBS_SORT | LBS_HASSTRINGS, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    for (const File& f : files)
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AfxToWide(f.path.c_str()).c_str()));
    std::vector<std::string> out;
    for (int i = 0, n = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0)); i < n; ++i) {
        std::wstring text(static_cast<size_t>(::SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
        const LRESULT got = ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
        out.push_back(AfxFromWide(text.c_str(), static_cast<int>(got)).GetString());
    }
    ::DestroyWindow(list);
    return out;
}

// Names a sorted list puts in places no byte order gives: case, accents, punctuation that the
// locale's word sort passes over, Chinese, digits, names equal but for case.
std::vector<File> Names(size_t copies)
{
    const char* const names[] = {"a.tmp", "B.tmp", "b.TMP", "co-op.tmp", "coop.tmp", "é.tmp", "e.tmp", "Z.old",
                                 "临时.tmp", "中文.gid", "10.tmp", "9.tmp", "x y.tmp", "x_y.tmp", "x'y.tmp", "A.TMP"};
    std::vector<File> files;
    uint64_t n = 0;
    for (size_t c = 0; c < copies; ++c) {
        for (const char* name : names) {
            ++n;
            files.push_back({"T:\\d" + std::to_string(c % 7) + "\\" + std::to_string(c) + name, n * 37 % 11, 130000000000000000ull + n % 13});
        }
    }
    return files;
}

TEST(FoundFiles, RowsTakeTheSystemsSortedOrderWhateverOrderTheyArriveIn)
{
    // Plain ASCII paths carry no key (the model makes theirs); the others carry the system's.
    EXPECT_EQ("", FoundSortKey("T:\\d0\\x_y-z's.tmp")) << "the keys of plain names are not made here";
    EXPECT_NE("", FoundSortKey("T:\\d0\\临时.tmp"));
    const std::vector<File> files = Names(300);
    const std::vector<std::string> expected = SystemOrder(files);
    std::mt19937 rng(7);
    // In the system's order, backwards, shuffled; one by one, in batches of any size, and as
    // walkers interleave them (two streams, each in its own order, taken by turns).
    for (int way = 0; way < 5; ++way) {
        std::vector<File> arrival = files;
        if (way == 1)
            std::reverse(arrival.begin(), arrival.end());
        if (way >= 2)
            std::shuffle(arrival.begin(), arrival.end(), rng);
        CFoundFiles model;
        size_t at = 0;
        while (at < arrival.size()) {
            CFoundBatch batch;
            const size_t n = way == 3 ? 1 : std::uniform_int_distribution<size_t>(1, 700)(rng);
            for (size_t i = 0; i < n && at < arrival.size(); ++i)
                AddTo(batch, arrival[at++]);
            model.Add(batch);
        }
        EXPECT_EQ(Lower(expected), Lower(Shown(model))) << "arrival way " << way;
        for (size_t i = 0; i < model.Count(); i += 97)
            EXPECT_EQ(i, model.PositionOf(model.RowAt(i)));
    }
}

TEST(FoundFiles, EachColumnSortsBothWaysWithTiesByPathAndKeepsSortingAsRowsArrive)
{
    std::vector<File> files = Names(40);
    std::mt19937 rng(11);
    std::shuffle(files.begin(), files.end(), rng);
    CFoundFiles model;
    CFoundBatch first;
    for (size_t i = 0; i < files.size() / 2; ++i)
        AddTo(first, files[i]);
    model.Add(first);
    model.SortBy(FoundColumn::Size, false);
    CFoundBatch second;  // arrives while the list is sorted by size
    for (size_t i = files.size() / 2; i < files.size(); ++i)
        AddTo(second, files[i]);
    model.Add(second);

    model.SortBy(FoundColumn::Path, false);
    const std::vector<std::string> byPath = Shown(model);
    EXPECT_EQ(Lower(SystemOrder(files)), Lower(byPath));
    auto pathRank = [&](const char* p) { return std::find(byPath.begin(), byPath.end(), p) - byPath.begin(); };
    for (FoundColumn column : {FoundColumn::Size, FoundColumn::Modified}) {
        for (bool descending : {false, true}) {
            model.SortBy(column, descending);
            ASSERT_EQ(files.size(), model.Count());
            for (size_t i = 1; i < model.Count(); ++i) {
                CFoundFiles::Row a = model.RowAt(i - 1), b = model.RowAt(i);
                if (descending)
                    std::swap(a, b);
                const uint64_t va = column == FoundColumn::Size ? model.Size(a) : model.Modified(a);
                const uint64_t vb = column == FoundColumn::Size ? model.Size(b) : model.Modified(b);
                ASSERT_LE(va, vb) << "row " << i;
                if (va == vb) {
                    ASSERT_LT(pathRank(model.Path(a)), pathRank(model.Path(b))) << "equal values go by path, row " << i;
                }
            }
            for (size_t i = 0; i < model.Count(); i += 31)
                EXPECT_EQ(i, model.PositionOf(model.RowAt(i)));
        }
    }
    model.SortBy(FoundColumn::Path, true);
    std::vector<std::string> reversed(byPath.rbegin(), byPath.rend());
    EXPECT_EQ(reversed, Shown(model));
}

TEST(FoundFiles, TheSelectionStaysWithItsRowsAcrossArrivalsAndSortsAndItsSizeIsSaid)
{
    std::vector<File> files = Names(20);
    CFoundFiles model;
    CFoundBatch first;
    for (size_t i = 0; i < files.size(); i += 2)
        AddTo(first, files[i]);
    model.Add(first);
    std::vector<std::string> chosen;
    uint64_t bytes = 0;
    for (size_t i = 0; i < model.Count(); i += 5) {
        model.Select(model.RowAt(i), true);
        chosen.push_back(model.Path(model.RowAt(i)));
        bytes += model.Size(model.RowAt(i));
    }
    CFoundBatch second;  // the rest arrive in among them
    for (size_t i = 1; i < files.size(); i += 2)
        AddTo(second, files[i]);
    model.Add(second);
    model.SortBy(FoundColumn::Modified, true);
    std::vector<std::string> selected;
    for (CFoundFiles::Row row : model.SelectedRows())
        selected.push_back(model.Path(row));
    std::sort(selected.begin(), selected.end());
    std::sort(chosen.begin(), chosen.end());
    EXPECT_EQ(chosen, selected);
    EXPECT_EQ(chosen.size(), model.SelectedCount());
    EXPECT_EQ(bytes, model.SelectedBytes());

    EXPECT_EQ("532 字节", std::string(FileSizeText(532)));
    EXPECT_EQ("1.0 KB", std::string(FileSizeText(1024)));
    EXPECT_EQ("1.2 KB", std::string(FileSizeText(1300)));
    EXPECT_EQ("1023 KB", std::string(FileSizeText(1024 * 1024 - 1)));
    EXPECT_EQ("3.4 MB", std::string(FileSizeText(3565159)));
    EXPECT_EQ("3.3 MB", std::string(FileSizeText(3565158))) << "cut, not rounded";
    EXPECT_EQ("1.2MB", std::string(FileSizeText(1288490, false)));
    EXPECT_EQ("5.0 GB", std::string(FileSizeText(5368709120ull)));
    EXPECT_EQ("", std::string(FileTimeText(0)));
    EXPECT_EQ(16u, FileTimeText(133780000000000000ull).GetLength()) << "yyyy/mm/dd hh:mm";
}

class CEnded : public IScanEvents {
public:
    CEnded() : m_h(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
    ~CEnded() { ::CloseHandle(m_h); }
    void OnRunNews(unsigned) override {}
    void OnRunEnded(unsigned) override { ::SetEvent(m_h); }
    bool Wait() { return ::WaitForSingleObject(m_h, 60000) == WAIT_OBJECT_0; }

private:
    HANDLE m_h;
};

// The run loop the window and the console share: a deletion's outcomes land on the rows it
// was given, a stopped one leaves the rest untried, and only the rows of files gone go.
TEST(FoundFiles, ADeletionsOutcomesLandOnTheirRowsWhetherStoppedOrFinished)
{
    CScanTree tree("model-delete");
    tree.HostShell("mkdir many && (cd many && touch $(seq -f f%04g.tmp 3000))");
    tree.File("a-readonly.tmp", 10, FILE_ATTRIBUTE_READONLY);
    CEnded ended;
    CRunController runs(&ended, 2);
    ASSERT_TRUE(runs.StartScan(tree.Path(), std::vector<CString>(kPatterns, kPatterns + kPatternCount)));
    ASSERT_TRUE(ended.Wait());
    ASSERT_EQ(CRunController::Ended::Walk, runs.RunEnded(runs.ScanRun()));
    CFoundFiles& files = runs.Files();
    ASSERT_EQ(3001u, files.Count());
    // Sorted by size, the read-only file (10 bytes) is last; selected with every tenth row.
    files.SortBy(FoundColumn::Size, false);
    for (size_t i = 0; i < files.Count(); i += 10)
        files.Select(files.RowAt(i), true);
    files.Select(files.RowAt(files.Count() - 1), true);
    const size_t selected = files.SelectedCount();

    {
        CHeldRun held("delete", 100);
        ASSERT_TRUE(runs.StartDelete(false, DeleteMode::ForGood));
        ASSERT_TRUE(held.WaitHeld());
        runs.StopDeletion();
        ASSERT_TRUE(ended.Wait());
    }
    ASSERT_EQ(CRunController::Ended::Deletion, runs.RunEnded(runs.DeleteRun()));
    EXPECT_TRUE(runs.LastTally().Stopped());
    files.RemoveGone();
    size_t gone = selected - files.SelectedCount();
    EXPECT_GE(gone, 95u);
    EXPECT_LE(gone, 105u) << "the workers finished the files in hand, no more";
    EXPECT_EQ(3001u - gone, files.Count());
    for (size_t i = 0; i < files.Count(); ++i) {
        const CFoundFiles::Row row = files.RowAt(i);
        ASSERT_TRUE(Exists(files.Path(row))) << "a row kept is a file still there";
        if (files.IsSelected(row) && files.Path(row) != tree.Path("a-readonly.tmp")) {
            ASSERT_EQ(DeleteOutcome::NotTried, files.Outcome(row));
        }
    }

    // The rest, to the end: only the read-only file stays, selected, and says why.
    ASSERT_TRUE(runs.StartDelete(false, DeleteMode::ForGood));
    ASSERT_TRUE(ended.Wait());
    ASSERT_EQ(CRunController::Ended::Deletion, runs.RunEnded(runs.DeleteRun()));
    files.RemoveGone();
    EXPECT_EQ(1u, files.SelectedCount());
    const CFoundFiles::Row last = files.SelectedRows().front();
    EXPECT_EQ(tree.Path("a-readonly.tmp"), CString(files.Path(last)));
    EXPECT_EQ(DeleteOutcome::ReadOnly, files.Outcome(last));
    EXPECT_EQ(10u, files.Size(last));
    EXPECT_EQ("清理完毕！1 个文件未能删除（只读），仍列在下方。", std::string(runs.DeletionText(false)));
    EXPECT_EQ(3001u - selected + 1, files.Count());
    ::SetFileAttributesW(ExtendedPath(tree.Path("a-readonly.tmp")).c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
