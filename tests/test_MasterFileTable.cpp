// Scans of NTFS volumes read from their master file table, against walks of the same volumes.
// Each test makes its image with mkntfs, fills it through an ntfs-3g mount, and gives it to
// Wine as drive N: (the mount) with its raw device (the image).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "ScanTree.h"
#include "TestText.h"
#include "scan/Patterns.h"
#include "scan/ScanEngine.h"
#include "scan/ScanSummary.h"

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
    std::string sentence;
    bool readTable = false;
    bool operator==(const Scan& o) const { return found == o.found && sentence == o.sentence; }
};

Scan ScanVolume(const CString& root, bool useTable)
{
    CEnded ended;
    CScanEngine engine(&ended, 2);
    engine.UseMasterFileTable(useTable);
    const unsigned run = engine.StartScan(root, std::vector<CString>(kPatterns, kPatterns + kPatternCount));
    EXPECT_NE(0u, run);
    EXPECT_TRUE(ended.Wait()) << "the scan did not end";
    Scan result;
    engine.TakeNews(run).found.ForEachWithSize([&](const char* path, uint64_t size) {
        result.found.push_back(std::string(path) + "|" + std::to_string(size));
    });
    std::sort(result.found.begin(), result.found.end());
    const CScanTotals totals = engine.Totals();
    result.sentence = ScanSummaryText(totals.count, totals.bytes, totals.unreadable, totals.unreadableFiles).GetString();
    result.readTable = totals.readTable;
    return result;
}

void WriteText(const CString& path, const std::string& text)
{
    HANDLE h = ::CreateFileW(Wide(path.GetString()).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD put = 0;
    ::WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &put, nullptr);
    ::CloseHandle(h);
}

bool Exists(const CString& path)
{
    return ::GetFileAttributesW(Wide(path.GetString()).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// An NTFS image in a folder of the test drive, filled by a shell script (fill.sh) through a
// mount, then mounted read-only as drive N: with the image as N:'s raw device. Unmounted and
// unlinked at the end. The scripts are files: the host's command line takes no quotes.
class CNtfsVolume {
public:
    CNtfsVolume(const std::string& name, const std::string& fill, const std::string& afterUnmount = "true")
        : m_tree(name)
    {
        WriteText(m_tree.Path("fill.sh"), "set -e\n" + fill + "\n");
        WriteText(m_tree.Path("after.sh"), "set -e\n" + afterUnmount + "\n");
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
    EXPECT_EQ(walk.sentence, table.sentence);
    EXPECT_EQ(282u, table.found.size());  // 1 + 1 + 60 * 2 + 4 + 2 + 151 hard-linked + 3
    EXPECT_NE(table.found.end(), std::find(table.found.begin(), table.found.end(), "N:\\sparse.tmp|5368709120"));
    EXPECT_NE(table.found.end(), std::find(table.found.begin(), table.found.end(), "N:\\streams.tmp|100"));

    // A folder of the volume as the root: only what is below it, named from it.
    const Scan folder = ScanVolume("N:\\w1", true);
    EXPECT_TRUE(folder.readTable);
    EXPECT_EQ((std::vector<std::string>{"N:\\w1\\a.tmp|0", "N:\\w1\\b.gid|1500", "N:\\w1\\linked.tmp|5000"}), folder.found);
    EXPECT_EQ(ScanVolume("N:\\w1", false).sentence, folder.sentence);

    // A drive letter that leads into a folder of the volume: its table would name the volume's
    // files from the wrong place, so the run walks.
    ASSERT_TRUE(volume.Link("vol.img", "mnt/w1"));
    const Scan inner = ScanVolume("N:\\", true);
    EXPECT_FALSE(inner.readTable);
    EXPECT_EQ((std::vector<std::string>{"N:\\a.tmp|0", "N:\\b.gid|1500", "N:\\linked.tmp|5000"}), inner.found);
}

TEST(MasterFileTable, CorruptRecordsAndATruncatedImage)
{
    // The record that holds victim.tmp gets a flipped byte where its update sequence is
    // checked; a second copy of the image is cut short.
    const std::string corrupt =
        "python3 - <<'EOF'\n"
        "d = bytearray(open('vol.img', 'rb').read())\n"
        "name = 'victim.tmp'.encode('utf-16-le')\n"
        "i = d.find(name)\n"
        "while i >= 0:\n"
        "    r = d.rfind(b'FILE', 0, i)\n"
        "    if i - r < 1024 and int.from_bytes(d[r + 44:r + 48], 'little') >= 16: break\n"
        "    i = d.find(name, i + 1)\n"
        "d[r + 510] ^= 0xFF\n"
        "open('vol.img', 'wb').write(d)\n"
        "spc, bps, lcn = d[13], int.from_bytes(d[11:13], 'little'), int.from_bytes(d[48:56], 'little')\n"
        "open('short.img', 'wb').write(d[:lcn * spc * bps + 4096])\n"
        "EOF";
    CNtfsVolume volume("ntfs-corrupt", "touch victim.tmp keep.tmp && mkdir d && touch d/in.old", corrupt);
    REQUIRE_NTFS(volume);
    const Scan table = ScanVolume("N:\\", true);
    EXPECT_TRUE(table.readTable);
    EXPECT_EQ((std::vector<std::string>{"N:\\d\\in.old|0", "N:\\keep.tmp|0"}), table.found) << "never under a wrong path";
    EXPECT_EQ(SummaryText(2, "0KB") + "有 1 个文件无法访问。", table.sentence);

    // The table cannot be read to its end: the run walks the volume instead.
    ASSERT_TRUE(volume.Link("short.img"));
    const Scan fallback = ScanVolume("N:\\", true);
    EXPECT_FALSE(fallback.readTable);
    EXPECT_EQ(ScanVolume("N:\\", false), fallback);
}

}  // namespace
