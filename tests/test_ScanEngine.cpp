// The scan engine alone, with no window: walks and deletions over trees that each test makes
// on the test drive.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "HeldRun.h"
#include "ModalDialog.h"
#include "ScanTree.h"
#include "TestFiles.h"
#include "TestText.h"
#include "scan/FileSystem.h"
#include "scan/Patterns.h"
#include "scan/ScanEngine.h"
#include "scan/ScanSummary.h"

namespace {

// Collects what the engine says: the end of each run signals an event.
class CEvents : public IScanEvents {
public:
    CEvents() : m_hEnded(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~CEvents() { ::CloseHandle(m_hEnded); }
    void OnRunNews(unsigned) override { ++m_news; }
    void OnRunEnded(unsigned nRun) override
    {
        m_lastEnded = nRun;
        ++m_ended;
        ::SetEvent(m_hEnded);
    }
    bool WaitEnded(DWORD ms = 60000) { return ::WaitForSingleObject(m_hEnded, ms) == WAIT_OBJECT_0; }
    void Reset() { ::ResetEvent(m_hEnded); }

    std::atomic<int> m_news{0};
    std::atomic<int> m_ended{0};
    std::atomic<unsigned> m_lastEnded{0};

private:
    HANDLE m_hEnded;
};

std::vector<CString> AllPatterns()
{
    return std::vector<CString>(kPatterns, kPatterns + kPatternCount);
}

std::vector<std::string> Sorted(std::vector<std::string> v)
{
    std::sort(v.begin(), v.end());
    return v;
}

std::vector<std::string> Strings(const std::vector<CString>& v)
{
    std::vector<std::string> out;
    for (const CString& s : v)
        out.push_back(static_cast<const char*>(s));
    return Sorted(out);
}

std::vector<CString> PathsOf(const CFoundBatch& batch)
{
    std::vector<CString> paths;
    batch.ForEach([&](const CFoundBatch::Item& item) { paths.emplace_back(item.path); });
    return paths;
}

struct ScanResult {
    std::vector<std::string> found;  // sorted
    std::string sentence;
};

// One whole walk of root with n walkers.
ScanResult Walk(const CString& root, int threads, const std::vector<CString>& patterns = AllPatterns())
{
    CEvents events;
    CScanEngine engine(&events, threads);
    const unsigned run = engine.StartScan(root, patterns);
    EXPECT_NE(0u, run);
    EXPECT_TRUE(events.WaitEnded()) << "the walk did not end";
    EXPECT_EQ(EngineState::Idle, engine.State());
    const CScanMailbox::Batch batch = engine.TakeNews(run);
    const CScanTotals totals = engine.Totals();
    EXPECT_EQ(totals.count, static_cast<int>(batch.found.size())) << "the count is what was found";
    return {Strings(PathsOf(batch.found)), static_cast<const char*>(ScanSummaryText(totals.count, totals.bytes, totals.unreadable, totals.unreadableFiles))};
}

TEST(ScanEngine, OneTwoAndEightWalkersFindTheSameOnADifficultTree)
{
    CScanTree tree("");  // the drive's root itself: it has no "." entry
    tree.File("0first\\inner.old", 3000);  // the root's first entry is a whole folder
    tree.File("a.tmp", 5000);
    tree.File("b.txt", 1 << 20);
    tree.File("empty\\nothing\\here.txt");
    tree.Dir("empty2");
    tree.File("hidden.gid", 2048, FILE_ATTRIBUTE_HIDDEN);
    tree.File("sys\\system.syd", 4096, FILE_ATTRIBUTE_SYSTEM);
    tree.File("small._mp", 1023);
    tree.File("upper.TMP", 4096);
    tree.File("临时\\文件.tmp", 1024);
    tree.File("乗\\x.old", 1024);  // 乗 ends in the byte 0x5C in code page 936
    // Names in many scripts, outside the Basic Multilingual Plane too, and a trailing dot.
    const std::vector<std::string> scripts = {"日本語\\ファイル.tmp", "한국어.old", "Привет\\файл.gid", "Ελληνικά._mp",
                                              "😀 smile.syd", "末尾.\\点.tmp"};
    for (const std::string& name : scripts)
        tree.File(name);
    tree.File("한국어.txt");
    tree.File("😀.tmp.bak");
    const std::string segment(100, 'd');
    const std::string longDir = segment + "\\" + segment + "\\" + segment;
    tree.File(longDir + "\\deep.tmp", 2048);
    tree.File("locked\\hidden.tmp", 1024);
    // The system's stores at the volume's root are not entered; a folder of the same name
    // anywhere else is an ordinary folder.
    tree.File("$Recycle.Bin\\S-1-5-21-1\\$R3KX9Q2.tmp", 1024);
    tree.File("$RECYCLE.BIN\\S-1-5-21-2\\$RABCDEF.old", 1024);
    tree.File("RECYCLER\\S-1-5-21-1\\Dc1.tmp", 1024);
    tree.File("recycled\\Dc2.tmp", 1024);
    tree.File("System Volume Information\\{3808876b-c176-4e48-b7ae-04046e6cc752}.tmp", 1024);
    tree.File("empty2\\$Recycle.Bin\\kept.tmp");
    tree.HostShell("mkdir wide && (cd wide && for d in $(seq 30); do mkdir w$d && touch w$d/a.tmp w$d/b.txt; done)"
                   " && mkdir -p $(printf 'ab/%.0s' $(seq 200))");
    tree.File("outside\\precious.old", 1024);
    tree.Link("wide\\out", "outside");
    tree.Link("wide\\w1\\loop", "wide");
    // Held open without sharing: the folder cannot be listed while the walk runs.
    HANDLE lock = ::CreateFileW(ExtendedPath(tree.Path("locked")).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);

    const std::string root = static_cast<const char*>(tree.Path());
    std::vector<std::string> expected = {root + "0first\\inner.old", root + "a.tmp", root + "hidden.gid",
                                         root + "sys\\system.syd", root + "small._mp", root + "临时\\文件.tmp",
                                         root + "乗\\x.old", root + longDir + "\\deep.tmp", root + "outside\\precious.old",
                                         root + "empty2\\$Recycle.Bin\\kept.tmp", root + "upper.TMP"};
    for (int d = 1; d <= 30; ++d)
        expected.push_back(root + "wide\\w" + std::to_string(d) + "\\a.tmp");
    for (const std::string& name : scripts)
        expected.push_back(root + name);
    expected = Sorted(expected);
    // 3000 + 5000 + 2048 + 4096 + 1023 + 1024 + 1024 + 2048 + 1024 + 4096 (upper.TMP: case is
    // no matter) bytes = 24,383: 24KB rounded up.
    const std::string sentence = SummaryText(47, "24KB") + "有 1 个文件夹无法访问。";
    for (int threads : {1, 2, 8}) {
        const ScanResult result = Walk(tree.Path(), threads);
        EXPECT_EQ(expected, result.found) << threads << " walkers";
        EXPECT_EQ(sentence, result.sentence) << threads << " walkers";
    }
    // Windows' end of a listing (ask until nothing is left) under Wine too.
    const ListingEnd system = GetListingEnd();
    SetListingEnd(system == ListingEnd::ShortReplyEndsIt ? ListingEnd::AskUntilNothingLeft : ListingEnd::ShortReplyEndsIt);
    const ScanResult other = Walk(tree.Path(), 2);
    SetListingEnd(system);
    EXPECT_EQ(expected, other.found);
    EXPECT_EQ(sentence, other.sentence);
    ::CloseHandle(lock);
}

TEST(ScanEngine, FileLinksAreListedByTheirOwnNameFolderLinksNeverEntered)
{
    CScanTree tree("links");
    tree.File("drive\\a\\b\\found.tmp", 1024);
    tree.File("outside\\target.txt", 1024);
    tree.Link("drive\\alias", "drive\\a");              // the same folder a second time
    tree.Link("drive\\link.tmp", "outside\\target.txt");  // a file that is a link
    // A host name with a backslash in it (Wine shows it as it is): a path made of it would name
    // another file, so it is counted as unreadable, never listed.
    tree.HostShell("touch drive/back$(printf '\\134')slash.tmp");
    const std::string root = static_cast<const char*>(tree.Path("drive"));
    const ScanResult result = Walk(tree.Path("drive"), 2);
    EXPECT_EQ(Sorted({root + "\\a\\b\\found.tmp", root + "\\link.tmp"}), result.found);
    EXPECT_EQ(SummaryText(2, "2KB") + "有 1 个文件无法访问。", result.sentence) << "each file counted once";
}

TEST(ScanEngine, SizesAreWholeAndTotalsRoundUpToKB)
{
    CScanTree tree("sizes");
    tree.HostShell("mkdir small big && (cd small && for i in $(seq 1000); do head -c 500 /dev/zero > f$i.tmp; done)"
                   " && truncate -s 5G big/huge.tmp");
    EXPECT_EQ(SummaryText(1000, "489KB"), Walk(tree.Path("small"), 2).sentence) << "500,000 bytes, rounded up";
    EXPECT_EQ(SummaryText(1, "5.00GB"), Walk(tree.Path("big"), 2).sentence) << "the high 32 bits of a size count";
    // Names of 255 characters: a listing takes several requests, each well short of full.
    tree.HostShell("mkdir long && (cd long && for i in $(seq 300); do head -c 100 /dev/zero > $(printf '%0251d' $i).tmp; done)");
    const ListingEnd system = GetListingEnd();
    for (ListingEnd end : {ListingEnd::ShortReplyEndsIt, ListingEnd::AskUntilNothingLeft}) {
        SetListingEnd(end);
        EXPECT_EQ(SummaryText(300, "30KB"), Walk(tree.Path("long"), 2).sentence) << "every entry of a folder of long names";
    }
    SetListingEnd(system);
}

TEST(ScanEngine, ATreeAThousandLevelsDeep)
{
    CScanTree tree("deep");
    std::string unixRel;
    for (int i = 0; i < 1000; ++i)
        unixRel += (i ? "/" : "") + std::string("ab");
    tree.HostShell("mkdir -p " + unixRel + " && head -c 1024 /dev/zero > " + unixRel + "/bottom.tmp");
    const ScanResult result = Walk(tree.Path(), 2);
    ASSERT_EQ(1u, result.found.size());
    EXPECT_GT(result.found[0].size(), 3000u);
    EXPECT_EQ(SummaryText(1, "1KB"), result.sentence);
}

TEST(ScanEngine, ARootThatWentAwayEndsTheRunAndSaysSo)
{
    const ScanResult result = Walk((TestDrive() + "\\no such folder").c_str(), 2);
    EXPECT_TRUE(result.found.empty());
    EXPECT_EQ(SummaryText(0, "0KB") + "有 1 个文件夹无法访问。", result.sentence);
}

TEST(ScanEngine, OnlyTheGivenPatternsAndThoseAddedDuringTheRun)
{
    CScanTree tree("patterns");
    tree.File("a.tmp");
    tree.File("b.old");
    tree.File("c.gid");
    const std::string root = static_cast<const char*>(tree.Path());
    CEvents events;
    CScanEngine engine(&events, 2);
    unsigned run = engine.StartScan(tree.Path(), {"*.gid"});
    ASSERT_TRUE(events.WaitEnded());
    EXPECT_EQ(std::vector<std::string>{root + "\\c.gid"}, Strings(PathsOf(engine.TakeNews(run).found)));

    // A run that ended by itself leaves the engine free for the next.
    events.Reset();
    HANDLE start = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    run = engine.StartScan(tree.Path(), {"*.gid"}, start);
    ASSERT_NE(0u, run);
    engine.AddPatterns({"*.tmp"});
    ::SetEvent(start);
    ::CloseHandle(start);
    ASSERT_TRUE(events.WaitEnded());
    EXPECT_EQ(Sorted({root + "\\a.tmp", root + "\\c.gid"}), Strings(PathsOf(engine.TakeNews(run).found)));
}

TEST(ScanEngine, PauseHaltsEveryWalkerAndStopEndsThemAll)
{
    CScanTree tree("pause");
    tree.HostShell("for d in $(seq 60); do mkdir d$d && (cd d$d && touch $(seq -f f%g.tmp 300)); done");
    CEvents events;
    CScanEngine engine(&events, 8);
    // Paused while the walk is held after 1,000 files, then let go: every walker halts.
    CHeldRun held("scan", 1000);
    const unsigned run = engine.StartScan(tree.Path(), AllPatterns());
    ASSERT_TRUE(held.WaitHeld());
    engine.Pause();
    held.Open();
    EXPECT_EQ(EngineState::Paused, engine.State());
    ASSERT_TRUE(WaitFor([&] { return engine.IsHalted(); })) << "a walker went on";
    const int count = engine.Totals().count;
    const size_t taken = engine.TakeNews(run).found.size();
    EXPECT_EQ(static_cast<size_t>(count), taken) << "halted walkers have handed over all they found";
    EXPECT_LE(count, 1016) << "each walker finished the file in hand, then halted";
    // Halted means halted: nothing more is found however long the pause lasts. The walkers
    // are known to wait, so this looks again once they have had every chance to go on.
    ::Sleep(200);
    EXPECT_EQ(count, engine.Totals().count);

    engine.Stop();
    EXPECT_EQ(EngineState::Idle, engine.State()) << "stopped for the owner at once";
    ASSERT_TRUE(events.WaitEnded()) << "every walker ends after a stop, a paused one too";
    EXPECT_EQ(run, events.m_lastEnded.load());
    EXPECT_LE(engine.Totals().count, 1016) << "the walk went on after the stop";
    EXPECT_TRUE(engine.Shutdown(5000));
}

TEST(ScanEngine, ANewRunOvertakesAStoppedOne)
{
    CScanTree tree("overtake");
    tree.HostShell("for d in $(seq 40); do mkdir d$d && (cd d$d && touch $(seq -f f%g.tmp 250) $(seq -f g%g.old 50)); done");
    CEvents events;
    CScanEngine engine(&events, 4);
    unsigned run = 0;
    for (int i = 0; i < 20; ++i) {
        run = engine.StartScan(tree.Path(), AllPatterns());
        ASSERT_NE(0u, run);
        EXPECT_EQ(0u, engine.StartScan(tree.Path(), AllPatterns())) << "one scan at a time";
        ::Sleep(static_cast<DWORD>(i % 5));
        engine.Stop();
    }
    events.Reset();
    run = engine.StartScan(tree.Path(), AllPatterns());
    // The older runs' workers may still be unwinding; only the newest run's end counts.
    ASSERT_TRUE(WaitFor([&] { return events.m_lastEnded.load() == run; }, 60000));
    EXPECT_FALSE(engine.IsCurrentRun(run - 1));
    EXPECT_EQ(12000u, engine.TakeNews(run).found.size());
    EXPECT_EQ(12000, engine.Totals().count) << "its counters are its own";
    EXPECT_TRUE(engine.Shutdown(10000));
}

TEST(ScanEngine, DeletionWithSeveralWorkersAndAStop)
{
    CScanTree tree("deletion");
    tree.HostShell("mkdir many && (cd many && for i in $(seq 0 9); do touch $(seq -f f%g.tmp $((i * 2000 + 1)) $((i * 2000 + 2000))); done)");
    tree.File("ro.tmp", 10, FILE_ATTRIBUTE_READONLY);
    tree.File("keep.txt", 10);
    tree.File("now a folder.tmp\\inside.txt", 10);  // listed as a file, a folder by now
    std::vector<CString> paths = {tree.Path("ro.tmp"), tree.Path("gone.tmp"), tree.Path("now a folder.tmp")};
    for (int i = 1; i <= 20000; ++i)
        paths.push_back(tree.Path("many\\f" + std::to_string(i) + ".tmp"));

    CEvents events;
    CScanEngine engine(&events, 2);
    CHeldRun held("delete", 1000);
    ASSERT_NE(0u, engine.StartDelete(paths));
    EXPECT_EQ(EngineState::Deleting, engine.State());
    ASSERT_TRUE(held.WaitHeld());
    engine.Stop();
    ASSERT_TRUE(events.WaitEnded());
    const std::vector<DeleteOutcome> outcomes = engine.DeleteOutcomes();
    ASSERT_EQ(paths.size(), outcomes.size());
    EXPECT_EQ(DeleteOutcome::ReadOnly, outcomes[0]);
    EXPECT_EQ(DeleteOutcome::AlreadyGone, outcomes[1]);
    EXPECT_EQ(DeleteOutcome::Changed, outcomes[2]);
    EXPECT_TRUE(Exists(tree.Path("now a folder.tmp\\inside.txt")));
    int deleted = 0, untried = 0;
    for (size_t i = 0; i < paths.size(); ++i) {
        const bool exists = Exists(paths[i]);
        EXPECT_EQ(!IsGone(outcomes[i]), exists) << "what is said of " << paths[i] << " is true";
        deleted += outcomes[i] == DeleteOutcome::Deleted;
        untried += outcomes[i] == DeleteOutcome::NotTried;
    }
    EXPECT_GE(deleted, 997);
    EXPECT_LE(deleted, 1003) << "the workers finished the files in hand, no more";
    EXPECT_GT(untried, 19000);
    EXPECT_TRUE(Exists(tree.Path("keep.txt")));
    ::SetFileAttributesW(ExtendedPath(tree.Path("ro.tmp")).c_str(), FILE_ATTRIBUTE_NORMAL);
}

// What other programs do with a file decides what its deletion can do, and the user is told
// which: held open by a program that lets it be deleted, mapped into memory, loaded as a
// running program's image, read-only. A file said to be deleted is not found again.
TEST(ScanEngine, FilesThatOtherProgramsHoldAreSaidAsTheyAre)
{
    CScanTree tree("held");
    for (const char* name : {"held.tmp", "mapped.tmp", "free.tmp"})
        tree.File(name, 4096);
    tree.File("ro.tmp", 10, FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(::CopyFileW(L"C:\\windows\\system32\\notepad.exe", ExtendedPath(tree.Path("running.tmp")).c_str(), FALSE));
    HANDLE held = ::CreateFileW(ExtendedPath(tree.Path("held.tmp")).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE file = ::CreateFileW(ExtendedPath(tree.Path("mapped.tmp")).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE mapping = ::CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    void* view = ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    ::CloseHandle(file);
    HMODULE running = ::LoadLibraryExW(ExtendedPath(tree.Path("running.tmp")).c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_TRUE(held != INVALID_HANDLE_VALUE && view && running);

    const std::vector<std::string> names = {"free.tmp", "held.tmp", "mapped.tmp", "ro.tmp", "running.tmp"};
    std::vector<CString> paths;
    for (const std::string& name : names)
        paths.push_back(tree.Path(name));
    CEvents events;
    CScanEngine engine(&events, 2);
    ASSERT_NE(0u, engine.StartDelete(paths));
    ASSERT_TRUE(events.WaitEnded());
    const std::vector<DeleteOutcome> outcomes = engine.DeleteOutcomes();
    ASSERT_EQ(5u, outcomes.size());
    EXPECT_EQ(DeleteOutcome::Deleted, outcomes[0]);
    // Gone at once where the file system deletes so (Windows 10 on NTFS); elsewhere (Wine,
    // FAT) gone when the holder closes it, and said so.
    EXPECT_TRUE(outcomes[1] == DeleteOutcome::Deleted || outcomes[1] == DeleteOutcome::Pending);
    EXPECT_EQ(DeleteOutcome::InUse, outcomes[2]) << "mapped into memory";
    EXPECT_EQ(DeleteOutcome::ReadOnly, outcomes[3]);
    EXPECT_EQ(DeleteOutcome::InUse, outcomes[4]) << "a running program's image";
    std::vector<std::string> stay;
    for (size_t i = 0; i < names.size(); ++i) {
        if (!IsGone(outcomes[i]))
            stay.push_back(std::string(tree.Path()) + "\\" + names[i]);
    }
    EXPECT_EQ(stay, Walk(tree.Path(), 2, {"*.tmp"}).found) << "the scan again finds exactly what was not deleted";

    ::CloseHandle(held);
    ::UnmapViewOfFile(view);
    ::CloseHandle(mapping);
    ::FreeLibrary(running);
    EXPECT_FALSE(Exists(tree.Path("held.tmp")))
        << "marked for deletion, gone once its holder closed it";
    ::SetFileAttributesW(ExtendedPath(tree.Path("ro.tmp")).c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Where the system cannot give a final path (some network and RAM drives), the checks read
// the opened object's own name instead, and still refuse what a link on the way leads to.
TEST(ScanEngine, TheChecksHoldWithTheObjectsOwnName)
{
    CScanTree tree("objectname");
    tree.File("drive\\a.tmp", 10);
    tree.File("drive\\swap\\x.tmp", 10);
    tree.File("outside\\x.tmp", 10);
    SetFinalPathWay(FinalPathWay::ObjectNameOnly);
    CString root;
    EXPECT_TRUE(OpenScanRoot(tree.Path("drive"), &root));
    EXPECT_EQ(std::string(tree.Path("drive")), std::string(root));
    tree.HostShell("mv drive/swap swapped && ln -s ../outside drive/swap");
    EXPECT_EQ(DeleteOutcome::Deleted, DeleteListedFile(tree.Path("drive\\a.tmp")));
    EXPECT_EQ(DeleteOutcome::Changed, DeleteListedFile(tree.Path("drive\\swap\\x.tmp")));
    SetFinalPathWay(FinalPathWay::SystemFirst);
    EXPECT_TRUE(Exists(tree.Path("outside\\x.tmp")));
    EXPECT_FALSE(Exists(tree.Path("drive\\a.tmp")));
}

}  // namespace
