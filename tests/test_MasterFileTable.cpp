// Scans of NTFS volumes read from their master file table. Real volumes against walks of the
// same volumes: each made with mkntfs, filled through an ntfs-3g mount, and given to Wine as
// drive N: (the mount) with its raw device (the image). Volumes made in code (NtfsImage.h),
// sound and damaged in every way the reader must see, and two thousand mutated at random.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <new>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "NtfsImage.h"
#include "scan/MasterFileTable.h"

#include "ScanTree.h"
#include "TestFiles.h"
#include "TestText.h"
#include "scan/Patterns.h"
#include "scan/ScanEngine.h"
#include "scan/ScanSummary.h"

// The largest single allocation since the last reset: a table may not make the reader ask for
// more memory than its device holds.
std::atomic<size_t> g_largestAllocation{0};

// The replacement pairs malloc with free, as the compiler cannot see.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(size_t n)
{
    size_t seen = g_largestAllocation.load();
    while (n > seen && !g_largestAllocation.compare_exchange_weak(seen, n)) {
    }
    if (void* p = std::malloc(n ? n : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](size_t n)
{
    return operator new(n);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, size_t) noexcept
{
    std::free(p);
}

namespace {

class CEnded : public IScanEvents {
public:
    CEnded() : m_h(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~CEnded() { ::CloseHandle(m_h); }
    void OnRunNews(unsigned) override {}
    void OnRunEnded(unsigned) override { ::SetEvent(m_h); }
    bool Wait() { return ::WaitForSingleObject(m_h, 120000) == WAIT_OBJECT_0; }

private:
    HANDLE m_h;
};

struct Scan {
    std::vector<std::string> found;  // "path|size", sorted
    std::vector<std::string> times;  // "path|last write", sorted
    std::string sentence;
    bool readTable = false;
    bool operator==(const Scan& o) const { return found == o.found && sentence == o.sentence; }
};

Scan ScanVolume(const CString& root, bool useTable, const CScanOptions& options = CScanOptions())
{
    CEnded ended;
    CScanEngine engine(&ended, 2);
    engine.UseMasterFileTable(useTable);
    const unsigned run = engine.StartScan(root, std::vector<CString>(kPatterns, kPatterns + kPatternCount), nullptr, options);
    EXPECT_NE(0u, run);
    EXPECT_TRUE(ended.Wait()) << "the scan did not end";
    Scan result;
    engine.TakeNews(run).found.ForEach([&](const CFoundBatch::Item& item) {
        result.found.push_back(std::string(item.path) + "|" + std::to_string(item.size));
        result.times.push_back(std::string(item.path) + "|" + std::to_string(item.modified));
    });
    std::sort(result.times.begin(), result.times.end());
    std::sort(result.found.begin(), result.found.end());
    const CScanTotals totals = engine.Totals();
    result.sentence = ScanSummaryText(totals.count, totals.bytes, totals.unreadable, totals.unreadableFiles).GetString();
    result.readTable = totals.readTable;
    return result;
}

// An NTFS image in a folder of the test drive, filled by a shell script (fill.sh) through a
// mount, then mounted read-only as drive N: with the image as N:'s raw device. Unmounted and
// unlinked at the end. The scripts are files: the host's command line takes no quotes.
class CNtfsVolume {
public:
    CNtfsVolume(const std::string& name, const std::string& fill, const std::string& afterUnmount = "true")
        : m_tree(name)
    {
        WriteAll(m_tree.Path("fill.sh"), "set -e\n" + fill + "\n");
        WriteAll(m_tree.Path("after.sh"), "set -e\n" + afterUnmount + "\n");
        m_tree.HostShell(
            "command -v mkntfs >/dev/null && command -v ntfs-3g >/dev/null && [ -e /dev/fuse ] && "
            "truncate -s 128M vol.img && mkntfs -F -Q -q -c 4096 vol.img >/dev/null 2>&1 && mkdir mnt && "
            "ntfs-3g vol.img mnt && (cd mnt && sh ../fill.sh) ; umount mnt 2>/dev/null ; sh after.sh && "
            "ntfs-3g -o ro vol.img mnt && : > ready || true");
        m_ready = Exists(m_tree.Path("ready"));
    }
    ~CNtfsVolume()
    {
        m_tree.HostShell("rm -f $WINEPREFIX/dosdevices/n: $WINEPREFIX/dosdevices/n::; umount mnt 2>/dev/null; true");
    }
    // Makes N: the mount (or a folder in it) and N:'s raw device the image (or another file).
    bool Link(const std::string& device = "vol.img", const std::string& folder = "mnt")
    {
        m_tree.HostShell("rm -f linked && test -d $WINEPREFIX/dosdevices && ln -sfn $PWD/" + folder +
                         " $WINEPREFIX/dosdevices/n: && "
                         "ln -sfn $PWD/" + device + " $WINEPREFIX/dosdevices/n:: && : > linked || true");
        return Exists(m_tree.Path("linked"));
    }
    bool Ready() const { return m_ready; }
    // A small file that a script left in the volume's folder.
    std::string Text(const std::string& name)
    {
        HANDLE h = ::CreateFileW(Wide(m_tree.Path(name).GetString()).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
        char buf[64] = {};
        DWORD got = 0;
        if (h != INVALID_HANDLE_VALUE) {
            ::ReadFile(h, buf, sizeof(buf) - 1, &got, nullptr);
            ::CloseHandle(h);
        }
        return std::string(buf, got);
    }

private:
    CScanTree m_tree;
    bool m_ready = false;
};

#define REQUIRE_NTFS(volume)                                                                       \
    if (!(volume).Ready())                                                                         \
        GTEST_SKIP() << "no NTFS image could be made and mounted here (mkntfs, ntfs-3g, FUSE)";   \
    ASSERT_TRUE((volume).Link()) << "WINEPREFIX must name this Wine prefix"

TEST(MasterFileTable, ListsWhatTheWalkListsOnAFullVolume)
{
    // The volume filled with large files, every other one deleted again, then many files
    // made and deleted: the table grows into the holes, in several extents, and holds the
    // records of deleted files.
    const std::string fill =
        "i=0; while head -c 1000000 /dev/zero > fill$i.bin 2>/dev/null; do i=$((i+1)); done; rm -f fill$i.bin\n"
        "for j in $(seq 0 2 $i); do rm -f fill$j.bin; done\n"
        "mkdir churn && (cd churn && touch $(seq -f c%g.tmp 4000)) && rm -rf churn && "
        "mkdir -p deep/$(printf 'level/%.0s' $(seq 40)) && touch deep/$(printf 'level/%.0s' $(seq 40))bottom.tmp && "
        "long=$(printf 'x%.0s' $(seq 120)) && mkdir -p $long/$long/$long && head -c 700 /dev/zero > $long/$long/$long/far.old && "
        "for d in $(seq 60); do mkdir w$d && (cd w$d && touch $(seq -f f%g.txt 30) a.tmp && head -c 1500 /dev/zero > b.gid); done && "
        "mkdir 日本語 Привет && head -c 10 /dev/zero > 日本語/ファイル.tmp && touch Привет/файл.old 😀.syd 한국어._mp && "
        "head -c 5000 /dev/zero > w1/linked.tmp && ln w1/linked.tmp w2/second-name.tmp && "
        // So many names that the record continues in extension records, with an attribute list.
        "mkdir names && head -c 10 /dev/zero > names/base.tmp && "
        "for k in $(seq 150); do ln names/base.tmp names/l$k.tmp; done && "
        "ln -s ../w3 w4/dirlink && "
        "head -c 100 /dev/zero > streams.tmp && "
        "python3 -c 'import os; os.setxattr(\"streams.tmp\", \"user.extra\", b\"y\" * 4000)' || true\n"
        "truncate -s 5G sparse.tmp && head -c 2000000 /dev/urandom > large.old && "
        "touch gone.tmp && rm gone.tmp";
    // The table's own extents, counted from its first record.
    const std::string extents =
        "python3 - <<'EOF'\n"
        "d = open('vol.img', 'rb').read()\n"
        "spc, bps, lcn = d[13], int.from_bytes(d[11:13], 'little'), int.from_bytes(d[48:56], 'little')\n"
        "r = d[lcn * spc * bps:][:1024]\n"
        "at = int.from_bytes(r[20:22], 'little')\n"
        "while int.from_bytes(r[at:at + 4], 'little') != 0x80: at += int.from_bytes(r[at + 4:at + 8], 'little')\n"
        "p, runs = at + int.from_bytes(r[at + 32:at + 34], 'little'), 0\n"
        "while r[p]: p, runs = p + 1 + (r[p] & 15) + (r[p] >> 4), runs + 1\n"
        "open('extents', 'w').write(str(runs))\n"
        "EOF";
    CNtfsVolume volume("ntfs-full", fill, extents);
    REQUIRE_NTFS(volume);
    EXPECT_LT(1, std::atoi(volume.Text("extents").c_str())) << "the table in one extent: the test makes no fragmented one";
    const Scan table = ScanVolume("N:\\", true);
    const Scan walk = ScanVolume("N:\\", false);
    EXPECT_TRUE(table.readTable) << "the table was not read";
    EXPECT_FALSE(walk.readTable);
    EXPECT_EQ(walk.found, table.found);
    EXPECT_EQ(walk.times, table.times) << "the table's dates are the file system's";
    EXPECT_EQ(walk.sentence, table.sentence);
    EXPECT_EQ(282u, table.found.size());  // 1 + 1 + 60 * 2 + 4 + 2 + 151 hard-linked + 3
    EXPECT_NE(table.found.end(), std::find(table.found.begin(), table.found.end(), "N:\\sparse.tmp|5368709120"));
    EXPECT_NE(table.found.end(), std::find(table.found.begin(), table.found.end(), "N:\\streams.tmp|100"));

    // A folder of the volume as the root: only what is below it, named from it.
    const Scan folder = ScanVolume("N:\\w1", true);
    EXPECT_TRUE(folder.readTable);
    EXPECT_EQ((std::vector<std::string>{"N:\\w1\\a.tmp|0", "N:\\w1\\b.gid|1500", "N:\\w1\\linked.tmp|5000"}), folder.found);
    EXPECT_EQ(ScanVolume("N:\\w1", false).sentence, folder.sentence);

    // A folder kept out: neither read from the table nor walked into.
    CScanOptions keepOut;
    keepOut.excluded = {"N:\\W1"};
    const Scan tableOut = ScanVolume("N:\\", true, keepOut);
    EXPECT_TRUE(tableOut.readTable);
    EXPECT_EQ(table.found.size() - 3, tableOut.found.size());
    for (const std::string& f : tableOut.found)
        EXPECT_EQ(std::string::npos, f.find("N:\\w1\\")) << f;
    EXPECT_EQ(ScanVolume("N:\\", false, keepOut).found, tableOut.found);

    // A drive letter that leads into a folder of the volume: its table would name the volume's
    // files from the wrong place, so the run walks.
    ASSERT_TRUE(volume.Link("vol.img", "mnt/w1"));
    const Scan inner = ScanVolume("N:\\", true);
    EXPECT_FALSE(inner.readTable);
    EXPECT_EQ((std::vector<std::string>{"N:\\a.tmp|0", "N:\\b.gid|1500", "N:\\linked.tmp|5000"}), inner.found);
}

// What the reader lists from an image of a volume, as drive N:.
struct ImageListing {
    CMasterFileTable::Result result = CMasterFileTable::Result::Failed;
    std::vector<std::string> files;  // "path|size", sorted
    int bad = 0;                     // folders and files said to be unreadable
};

ImageListing ListImage(const CString& image)
{
    ImageListing out;
    CMasterFileTable table;
    if (!table.OpenImage(image, "N:\\"))
        return out;
    CMasterFileTable::Sink sink;
    sink.file = [&](const CString& path, const CString&, uint64_t size, uint64_t) {
        out.files.push_back(std::string(path) + "|" + std::to_string(size));
    };
    sink.unreadable = [&](int folders, int files) { out.bad += folders + files; };
    out.result = table.List(sink);
    std::sort(out.files.begin(), out.files.end());
    return out;
}

// A volume of folders d01... with files f001.tmp... in them (sizes 10, 20, ...), beside the
// system's Recycle Bin at the root and a folder of that name further down.
CNtfsImage MadeVolume(uint32_t cluster, std::vector<uint64_t> extents, uint32_t records, int folders, int filesEach,
                      std::vector<std::string>* pExpected)
{
    CNtfsImage volume(cluster, 1024, std::move(extents), records);
    char name[32];
    for (int d = 1; d <= folders; ++d) {
        std::snprintf(name, sizeof(name), "d%02d", d);
        const std::string folder = name;
        const uint32_t dir = volume.Folder(CNtfsImage::kRoot, folder);
        for (int f = 1; f <= filesEach; ++f) {
            std::snprintf(name, sizeof(name), "f%03d.tmp", f);
            volume.File(dir, name, static_cast<uint64_t>(f) * 10);
            pExpected->push_back("N:\\" + folder + "\\" + name + "|" + std::to_string(f * 10));
        }
    }
    const uint32_t bin = volume.Folder(CNtfsImage::kRoot, "$Recycle.Bin");
    volume.File(volume.Folder(bin, "S-1-5-21"), "$R1A2B3C.tmp", 5);
    const uint32_t inner = volume.Folder(volume.Folder(CNtfsImage::kRoot, "目录"), "$Recycle.Bin");
    volume.File(inner, "留下.tmp", 7);
    pExpected->push_back("N:\\目录\\$Recycle.Bin\\留下.tmp|7");
    std::sort(pExpected->begin(), pExpected->end());
    return volume;
}

void Put(std::vector<uint8_t>& image, uint64_t at, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        image[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

std::string AsText(const std::vector<uint8_t>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

TEST(MasterFileTable, VolumesMadeInCodeAreListedWhole)
{
    CScanTree tree("ntfs-made");
    // Clusters of 4 KB, the table in one extent. A cloud provider's placeholder folder is
    // entered; a folder link is not.
    std::vector<std::string> expected;
    CNtfsImage plain = MadeVolume(4096, {21}, 84, 5, 10, &expected);
    const uint32_t cloud = plain.Folder(CNtfsImage::kRoot, "OneDrive");
    plain.Reparse(cloud, 0x9000701A);
    plain.File(cloud, "云.tmp", 3);
    const uint32_t link = plain.Folder(CNtfsImage::kRoot, "link");
    plain.Reparse(link, 0xA000000C);
    plain.File(link, "behind.tmp", 4);
    expected.push_back("N:\\OneDrive\\云.tmp|3");
    std::sort(expected.begin(), expected.end());
    WriteAll(tree.Path("plain.img"), AsText(plain.Bytes()));
    ImageListing listing = ListImage(tree.Path("plain.img"));
    EXPECT_EQ(CMasterFileTable::Result::Listed, listing.result);
    EXPECT_EQ(expected, listing.files) << "the Recycle Bin at the root is not listed, a folder of its name elsewhere is";
    EXPECT_EQ(0, listing.bad);

    // Clusters of 512 bytes, smaller than a record, and the table in two extents of odd
    // lengths: record 192 begins in the first extent and ends in the second.
    expected.clear();
    const CNtfsImage split = MadeVolume(512, {395, 397}, 396, 12, 30, &expected);
    ASSERT_EQ(361u, expected.size());
    WriteAll(tree.Path("split.img"), AsText(split.Bytes()));
    listing = ListImage(tree.Path("split.img"));
    EXPECT_EQ(CMasterFileTable::Result::Listed, listing.result);
    EXPECT_EQ(expected, listing.files);
    EXPECT_EQ(0, listing.bad);
}

TEST(MasterFileTable, DamagedRecordsAreSkippedAndCounted)
{
    CScanTree tree("ntfs-damaged");
    std::vector<std::string> expected;
    const CNtfsImage volume = MadeVolume(512, {395, 397}, 396, 12, 30, &expected);
    const std::vector<uint8_t> clean = volume.Bytes();
    // Record 20 is d01's file f004.tmp; its name is its first attribute.
    const uint32_t victim = 20;
    const uint32_t name = volume.AttributeAt(victim, 0x30), data = volume.AttributeAt(victim, 0x80);
    ASSERT_EQ(56u, name);
    ASSERT_NE(0u, data);
    const std::string lost = "N:\\d01\\f004.tmp|40";
    ASSERT_TRUE(std::binary_search(expected.begin(), expected.end(), lost));
    std::vector<std::string> rest = expected;
    rest.erase(std::find(rest.begin(), rest.end(), lost));
    const struct {
        const char* what;
        uint32_t at;
        uint64_t value;
        int bytes;
    } damage[] = {
        {"an attribute's length near 2^32 (a 32-bit sum wraps and goes backwards)", name + 4, 0xFFFFFFF8u, 4},
        {"a value's length that wraps with its offset", name + 16, 0xFFFFFFF0u, 4},
        {"an attribute shorter than its fixed fields", name + 4, 16, 4},
        {"the record's own number: read out of place", 44, victim + 1, 4},
        {"a torn write: the update sequence does not match", 510, 0xBEEF, 2},
        {"a name whose folder is past the end of the table", name + 24, 0xFFFFFF, 4},
        {"a name of no characters", name + 24 + 64, 0, 1},
        {"no bytes in use: no attributes, no end mark", 24, 0, 4},
        {"a size larger than what is allocated to the file", data + 48, 1ull << 62, 8},
    };
    for (const auto& d : damage) {
        std::vector<uint8_t> image = clean;
        Put(image, volume.Position(victim, d.at), d.value, d.bytes);
        WriteAll(tree.Path("damaged.img"), AsText(image));
        const ImageListing listing = ListImage(tree.Path("damaged.img"));
        EXPECT_EQ(CMasterFileTable::Result::Listed, listing.result) << d.what;
        EXPECT_EQ(rest, listing.files) << d.what;
        EXPECT_EQ(1, listing.bad) << d.what;
    }
}

TEST(MasterFileTable, TablesThatMakeNoSenseAreWalked)
{
    CScanTree tree("ntfs-nonsense");
    std::vector<std::string> expected;
    CNtfsImage volume = MadeVolume(512, {395, 397}, 396, 12, 30, &expected);
    const std::vector<uint8_t> clean = volume.Bytes();
    const uint32_t data = volume.AttributeAt(0, 0x80);
    ASSERT_NE(0u, data);
    auto refused = [&](const std::vector<uint8_t>& image, const char* what) {
        WriteAll(tree.Path("nonsense.img"), AsText(image));
        g_largestAllocation = 0;
        const ImageListing listing = ListImage(tree.Path("nonsense.img"));
        EXPECT_EQ(CMasterFileTable::Result::Failed, listing.result) << what;
        EXPECT_TRUE(listing.files.empty()) << what;
        EXPECT_LE(g_largestAllocation.load(), image.size()) << what << ": more memory than the device holds";
    };
    std::vector<uint8_t> image = clean;
    // The table's one extent: from cluster 32 on, 2^64 - 16 clusters (the sum wraps).
    const uint64_t runs = volume.Position(0, data + 64);
    image[runs] = 0x88;
    Put(image, runs + 1, 0xFFFFFFFFFFFFFFF0ull, 8);
    Put(image, runs + 9, 32, 8);
    image[runs + 17] = 0;
    refused(image, "an extent that wraps past 2^64");
    image = clean;
    Put(image, volume.Position(0, data + 48), 1ull << 42, 8);
    refused(image, "a table of four thousand million records");
    image = clean;
    Put(image, 40, 1ull << 40, 8);
    refused(image, "a volume larger than its device");

    // Names whose folders are no folders of this tree.
    const uint32_t firstFolder = 16, secondFolder = 47;  // d01 and d02
    CNtfsImage orphan = volume;
    orphan.Reparent(firstFolder, 300);  // a record that is not in use
    refused(orphan.Bytes(), "a folder whose folder is not in use");
    CNtfsImage loop = volume;
    const uint32_t inner = loop.Folder(secondFolder, "inner");
    loop.Reparent(secondFolder, inner);
    refused(loop.Bytes(), "a folder in its own subtree");
    CNtfsImage reused = volume;
    reused.SetParentSequence(firstFolder, 7);
    refused(reused.Bytes(), "a folder record since reused for another file");
    image = clean;
    Put(image, volume.Position(firstFolder, 510), 0xBEEF, 2);
    refused(image, "a damaged folder: its files have nowhere to be");
}

// Two thousand tables from a sound one, mutated at random: no crash, no hang, no allocation
// beyond the device. Damage that the reader's checks can see (the update sequence, a record's
// number, a folder's sequence number, a folder past the table) makes it refuse the table or
// skip and count the record. What they cannot see (a letter of a name, a size) is the
// volume's own word, and is counted here.
TEST(MasterFileTable, TwoThousandMutatedTables)
{
    CScanTree tree("ntfs-fuzz");
    std::vector<std::string> expected;
    const CNtfsImage volume = MadeVolume(512, {83, 85}, 84, 6, 9, &expected);
    const std::vector<uint8_t> clean = volume.Bytes();
    WriteAll(tree.Path("fuzz.img"), AsText(clean));
    const ImageListing sound = ListImage(tree.Path("fuzz.img"));
    ASSERT_EQ(expected, sound.files);
    const std::set<std::string> known(expected.begin(), expected.end());
    std::set<std::string> knownPaths;
    for (const std::string& file : expected)
        knownPaths.insert(file.substr(0, file.rfind('|')));
    // The records that are in use: damage to one of them is damage to the table.
    std::vector<uint32_t> inUse;
    for (uint32_t n = 0; n < 84; ++n) {
        if (!volume.RecordBytes(n).empty())
            inUse.push_back(n);
    }

    HANDLE h = ::CreateFileW(ExtendedPath(tree.Path("fuzz.img")).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    auto write = [&](uint64_t at, uint8_t value) {
        LARGE_INTEGER to;
        to.QuadPart = static_cast<LONGLONG>(at);
        DWORD put = 0;
        ::SetFilePointerEx(h, to, nullptr, FILE_BEGIN);
        ::WriteFile(h, &value, 1, &put, nullptr);
    };
    std::mt19937 random(20261208);
    auto below = [&](uint64_t n) { return static_cast<uint64_t>(random() % n); };
    const uint32_t records = 84, firstUser = 16;
    const uint64_t fields[] = {0, 1, 7, 0x30, 0x7FFF, 0xFFFF, 0x7FFFFFFF, 0x80000000, 0xFFFFFFF0, 0xFFFFFFFF};
    int walked = 0, whole = 0, counted = 0, stranger = 0, slowest = 0;
    for (int i = 0; i < 2000; ++i) {
        std::vector<std::pair<uint64_t, uint8_t>> changes;  // (place, new byte)
        auto change = [&](uint64_t at, uint64_t value, int bytes) {
            for (int b = 0; b < bytes; ++b)
                changes.emplace_back(at + b, static_cast<uint8_t>(value >> (8 * b)));
        };
        const bool seen = i % 4 == 2;  // damage of a kind the checks must see
        const uint32_t record = seen || i % 5 == 4 ? inUse[below(inUse.size())]
                                                   : firstUser + static_cast<uint32_t>(below(records - firstUser));
        if (seen) {
            const uint32_t nameAt = volume.AttributeAt(record, 0x30);
            switch (below(4)) {
            case 0:
                change(volume.Position(record, 510 + 512 * below(2)), 0xA5A5, 2);
                break;
            case 1:
                change(volume.Position(record, 44), record + 1 + below(100), 4);
                break;
            case 2:
                change(volume.Position(record, nameAt + 24 + 6), 0x4000 + below(0x4000), 2);
                break;
            default:
                change(volume.Position(record, nameAt + 24), records + below(1000), 4);
                break;
            }
        } else if (i % 4 == 1) {
            // A field of an attribute's header or value set to a telling number.
            const uint32_t at = 56 + static_cast<uint32_t>(below(200)) / 4 * 4;
            change(volume.Position(record, at), fields[below(sizeof(fields) / sizeof(fields[0]))], 4);
        } else if (i % 4 == 3) {
            // The boot sector, or the table's own record.
            const bool boot = below(2) == 0;
            change(boot ? below(80) : volume.Position(0, static_cast<uint32_t>(below(300))), random(), 1 + static_cast<int>(below(4)));
        } else {
            for (uint64_t n = 1 + below(8); n > 0; --n)
                change(volume.Position(record, static_cast<uint32_t>(below(1024))), random(), 1);
        }
        for (const auto& c : changes)
            write(c.first, c.second);
        g_largestAllocation = 0;
        const auto start = std::chrono::steady_clock::now();
        const ImageListing listing = ListImage(tree.Path("fuzz.img"));
        const int ms = static_cast<int>(
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
        slowest = std::max(slowest, ms);
        ASSERT_LT(ms, 5000) << "mutation " << i << " took too long";
        ASSERT_LE(g_largestAllocation.load(), clean.size()) << "mutation " << i << ": more memory than the device holds";
        // A file the sound table does not have (or not at that size), and a path it does not have.
        bool strange = false, unknownPath = false;
        for (const std::string& file : listing.files) {
            strange = strange || !known.count(file);
            unknownPath = unknownPath || !knownPaths.count(file.substr(0, file.rfind('|')));
        }
        if (listing.result == CMasterFileTable::Result::Failed)
            ++walked;
        else if (listing.bad > 0)
            ++counted;
        else if (!strange && listing.files == expected)
            ++whole;
        stranger += unknownPath;
        if (seen) {
            EXPECT_TRUE(listing.result == CMasterFileTable::Result::Failed || (listing.bad > 0 && !strange))
                << "mutation " << i << " of record " << record << " was not seen";
        }
        for (const auto& c : changes)
            write(c.first, clean[c.first]);
    }
    ::CloseHandle(h);
    std::cout << "2000 mutated tables: " << walked << " walked, " << counted << " with damaged records skipped and counted, "
              << whole << " listed as the sound table, " << stranger << " listing a path the sound table does not have; "
              << "slowest " << slowest << " ms" << std::endl;
}

}  // namespace
