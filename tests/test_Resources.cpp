// The resources as the program finds them in its own module: identifiers, sizes, formats,
// the exact key colour, both dialog templates control by control, the menu, the string,
// the version record and the manifest.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/CString.h"
#include "res/resource.h"

namespace {

const COLORREF kKey = RGB(14, 94, 157);

struct Blob {
    const BYTE* data = nullptr;
    DWORD size = 0;
};

Blob FindBlob(LPCWSTR type, UINT id)
{
    Blob b;
    HRSRC r = ::FindResourceExW(nullptr, type, MAKEINTRESOURCEW(id), MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
    if (!r)
        return b;
    b.data = static_cast<const BYTE*>(::LockResource(::LoadResource(nullptr, r)));
    b.size = ::SizeofResource(nullptr, r);
    return b;
}

// A 24-bit bitmap resource: header, then bottom-up rows padded to four bytes.
struct Dib {
    explicit Dib(UINT id) : blob(FindBlob(RT_BITMAP, id))
    {
        if (blob.data)
            hdr = reinterpret_cast<const BITMAPINFOHEADER*>(blob.data);
    }
    COLORREF Pixel(int x, int y) const
    {
        const int stride = (hdr->biWidth * 3 + 3) & ~3;
        const BYTE* p = blob.data + hdr->biSize + (hdr->biHeight - 1 - y) * stride + x * 3;
        return RGB(p[2], p[1], p[0]);
    }
    Blob blob;
    const BITMAPINFOHEADER* hdr = nullptr;
};

// The skin's bitmaps come in five sets, 100 to 200 percent of 96 dpi in steps of 25; set k
// holds its 100 % bitmap's id + k * IDB_SCALE_STEP.
const int kSets = 5;
UINT InSet(UINT id, int k) { return id + k * IDB_SCALE_STEP; }
// A 96-dpi length in set k, rounded half up.
int Scaled(int v, int k) { return (v * (100 + 25 * k) + 50) / 100; }

TEST(Resources, EveryBitmapHasItsSizeAndIsUncompressed24Bit)
{
    struct { UINT id; int w, h; } table[] = {
        {IDB_ANIM1, 24, 24}, {IDB_ANIM2, 24, 24}, {IDB_ANIM3, 24, 24}, {IDB_ANIM4, 24, 24},
        {IDB_ANIM5, 24, 24}, {IDB_ANIM6, 24, 24}, {IDB_FRAME_BOTTOM, 775, 3}, {IDB_CLOSE, 26, 26},
        {IDB_CLOSE_HOT, 26, 26}, {IDB_FRAME_LEFT, 3, 433}, {IDB_TITLE_LEFT, 100, 26},
        {IDB_TITLE_MID, 581, 26}, {IDB_MIN, 26, 26}, {IDB_MIN_HOT, 26, 26}, {IDB_FRAME_RIGHT, 3, 433},
        {IDB_TITLE_RIGHT, 100, 26}, {IDB_TITLE_ICON, 26, 26}, {IDB_BTN, 88, 25}, {IDB_SCAN, 210, 95},
        {IDB_SCAN_ALT, 210, 95}, {IDB_BTN_HOT, 88, 25}, {IDB_SCAN_HOT, 210, 95}, {IDB_MAX, 26, 26},
        {IDB_MAX_HOT, 26, 26}, {IDB_RESTORE, 26, 26}, {IDB_RESTORE_HOT, 26, 26},
    };
    EXPECT_EQ(26u, sizeof(table) / sizeof(table[0]));
    for (int k = 0; k < kSets; ++k)
        for (const auto& t : table) {
            const UINT id = InSet(t.id, k);
            Dib dib(id);
            ASSERT_NE(nullptr, dib.hdr) << "bitmap " << id;
            EXPECT_EQ(Scaled(t.w, k), dib.hdr->biWidth) << "bitmap " << id;
            EXPECT_EQ(Scaled(t.h, k), dib.hdr->biHeight) << "bitmap " << id << " (bottom-up)";
            EXPECT_EQ(24, dib.hdr->biBitCount) << "bitmap " << id;
            EXPECT_EQ(static_cast<DWORD>(BI_RGB), dib.hdr->biCompression) << "bitmap " << id;
            HBITMAP loaded = ::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
            EXPECT_NE(nullptr, loaded) << "LoadBitmapA " << id;
            ::DeleteObject(loaded);
        }
}

TEST(Resources, FrameBitmapsAreTheBackgroundBlueExactly)
{
    for (int k = 0; k < kSets; ++k)
        for (UINT id : {InSet(IDB_FRAME_BOTTOM, k), InSet(IDB_FRAME_LEFT, k), InSet(IDB_FRAME_RIGHT, k)}) {
            Dib dib(id);
            ASSERT_NE(nullptr, dib.hdr);
            for (int y = 0; y < dib.hdr->biHeight; ++y)
                for (int x = 0; x < dib.hdr->biWidth; ++x)
                    ASSERT_EQ(kKey, dib.Pixel(x, y)) << "bitmap " << id << " at " << x << "," << y;
        }
}

TEST(Resources, ButtonFaceCornersAreTheKeyColourExactly)
{
    for (int k = 0; k < kSets; ++k)
        for (UINT base : {IDB_BTN, IDB_BTN_HOT, IDB_SCAN, IDB_SCAN_HOT, IDB_SCAN_ALT}) {
            const UINT id = InSet(base, k);
            Dib dib(id);
            ASSERT_NE(nullptr, dib.hdr);
            const int r = dib.hdr->biWidth - 1, b = dib.hdr->biHeight - 1;
            for (POINT p : {POINT{0, 0}, POINT{r, 0}, POINT{0, b}, POINT{r, b}, POINT{1, 1}, POINT{r - 1, b - 1}})
                EXPECT_EQ(kKey, dib.Pixel(p.x, p.y)) << "bitmap " << id << " at " << p.x << "," << p.y;
            // The middle of the face is not the key, or the face would show holes.
            EXPECT_NE(kKey, dib.Pixel(r / 2 + 20, b / 2)) << "bitmap " << id;
            if (base == IDB_BTN || base == IDB_BTN_HOT)
                continue;
            // The disc keeps to columns 6..68 of 210 at every scale: the caption is put right of it.
            const int y = Scaled(47, k);
            EXPECT_EQ(RGB(20, 110, 190), dib.Pixel(Scaled(12, k), y)) << "bitmap " << id;
            EXPECT_EQ(RGB(20, 110, 190), dib.Pixel(Scaled(62, k), y)) << "bitmap " << id;
            EXPECT_EQ(dib.Pixel(Scaled(150, k), y), dib.Pixel(Scaled(72, k), y)) << "plain face, bitmap " << id;
        }
}

TEST(Resources, CaptionPiecesFadeIntoTheBackgroundAndTheRightEndRepeatsTheLeft)
{
    for (int k = 0; k < kSets; ++k) {
        for (UINT id : {InSet(IDB_TITLE_LEFT, k), InSet(IDB_TITLE_MID, k), InSet(IDB_TITLE_RIGHT, k)}) {
            Dib dib(id);
            ASSERT_NE(nullptr, dib.hdr);
            for (int x = 0; x < dib.hdr->biWidth; ++x)
                ASSERT_EQ(kKey, dib.Pixel(x, dib.hdr->biHeight - 1)) << "bitmap " << id << " bottom row at " << x;
            EXPECT_NE(kKey, dib.Pixel(0, 0));
        }
        Dib left(InSet(IDB_TITLE_LEFT, k)), right(InSet(IDB_TITLE_RIGHT, k));
        ASSERT_EQ(left.blob.size, right.blob.size);
        EXPECT_EQ(0, memcmp(left.blob.data, right.blob.data, left.blob.size)) << "set " << k;
    }
}

TEST(Resources, AnimationFramesDiffer)
{
    for (int k = 0; k < kSets; ++k)
        for (UINT id = InSet(IDB_ANIM1, k); id < InSet(IDB_ANIM6, k); ++id) {
            Dib a(id), b(id + 1);
            ASSERT_EQ(a.blob.size, b.blob.size);
            EXPECT_NE(0, memcmp(a.blob.data, b.blob.data, a.blob.size)) << id << " and " << id + 1;
        }
}

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST(Resources, IconsHoldOneImageEach)
{
    struct { UINT id; int size; } icons[] = {{IDR_MAINFRAME, 64}, {IDI_SECOND, 48}};
    for (const auto& icon : icons) {
        Blob group = FindBlob(RT_GROUP_ICON, icon.id);
        ASSERT_NE(nullptr, group.data) << icon.id;
        const WORD* dir = reinterpret_cast<const WORD*>(group.data);
        ASSERT_EQ(1, dir[2]) << "one image in icon " << icon.id;
        const auto* e = reinterpret_cast<const GroupIconEntry*>(group.data + 6);
        EXPECT_EQ(icon.size, e->width);
        EXPECT_EQ(icon.size, e->height);
        EXPECT_EQ(32, e->bitCount);
        Blob image = FindBlob(RT_ICON, e->id);
        ASSERT_NE(nullptr, image.data);
        const auto* bih = reinterpret_cast<const BITMAPINFOHEADER*>(image.data);
        EXPECT_EQ(icon.size, bih->biWidth);
        EXPECT_EQ(32, bih->biBitCount) << "32 bits per pixel with alpha";
    }
    EXPECT_NE(nullptr, ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME)));
}

// ---- dialog templates -------------------------------------------------------------------

struct Reader {
    const BYTE* p;
    WORD Word() { WORD v; memcpy(&v, p, 2); p += 2; return v; }
    DWORD Dword() { DWORD v; memcpy(&v, p, 4); p += 4; return v; }
    std::string Text()  // a string in UTF-8, or "#n" for an ordinal
    {
        WORD first;
        memcpy(&first, p, 2);
        if (first == 0xFFFF) {
            p += 2;
            return "#" + std::to_string(Word());
        }
        std::wstring w;
        for (WORD c = Word(); c; c = Word())
            w += static_cast<wchar_t>(c);
        if (w.empty())
            return "";
        return AfxFromWide(w).GetString();
    }
    void AlignDword(const BYTE* base) { while ((p - base) % 4) ++p; }
};

struct Control {
    int id;
    std::string cls, text;
    int x, y, cx, cy;
    DWORD style;
};

struct Template {
    DWORD style = 0, exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::string caption, font;
    int pointSize = 0, weight = -1, italic = -1, charset = -1;
    std::vector<Control> controls;
};

std::string ClassName(const std::string& cls)
{
    static const char* names[] = {"Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"};
    if (cls.size() > 1 && cls[0] == '#') {
        const int ord = std::stoi(cls.substr(1));
        if (ord >= 0x80 && ord <= 0x85)
            return names[ord - 0x80];
    }
    return cls;
}

Template ParseTemplate(UINT id)
{
    Template t;
    Blob blob = FindBlob(RT_DIALOG, id);
    if (!blob.data)
        return t;
    Reader r{blob.data};
    EXPECT_EQ(1, r.Word()) << "extended template";
    EXPECT_EQ(0xFFFF, r.Word());
    r.Dword();  // help id
    t.exStyle = r.Dword();
    t.style = r.Dword();
    const int count = r.Word();
    t.x = static_cast<short>(r.Word());
    t.y = static_cast<short>(r.Word());
    t.cx = static_cast<short>(r.Word());
    t.cy = static_cast<short>(r.Word());
    EXPECT_EQ("", r.Text()) << "no menu";
    EXPECT_EQ("", r.Text()) << "no class of its own";
    t.caption = r.Text();
    if (t.style & DS_SETFONT) {
        t.pointSize = r.Word();
        t.weight = r.Word();
        t.italic = *r.p++;
        t.charset = *r.p++;
        t.font = r.Text();
    }
    for (int i = 0; i < count; ++i) {
        r.AlignDword(blob.data);
        Control c;
        r.Dword();  // help id
        r.Dword();  // extended style
        c.style = r.Dword();
        c.x = static_cast<short>(r.Word());
        c.y = static_cast<short>(r.Word());
        c.cx = static_cast<short>(r.Word());
        c.cy = static_cast<short>(r.Word());
        c.id = static_cast<int>(r.Dword());
        c.cls = ClassName(r.Text());
        c.text = r.Text();
        r.p += r.Word();  // creation data
        t.controls.push_back(c);
    }
    return t;
}

void ExpectControls(const std::vector<Control>& expected, const std::vector<Control>& actual)
{
    ASSERT_EQ(expected.size(), actual.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const Control& e = expected[i];
        const Control& a = actual[i];
        SCOPED_TRACE("control " + std::to_string(i) + " id " + std::to_string(e.id));
        EXPECT_EQ(e.id, a.id);
        // A class named by text matches without regard to case, as the system matches it.
        EXPECT_EQ(0, lstrcmpiA(e.cls.c_str(), a.cls.c_str())) << e.cls << " vs " << a.cls;
        EXPECT_EQ(e.text, a.text);
        EXPECT_EQ(e.x, a.x);
        EXPECT_EQ(e.y, a.y);
        EXPECT_EQ(e.cx, a.cx);
        EXPECT_EQ(e.cy, a.cy);
        EXPECT_EQ(e.style, a.style) << std::hex << e.style << " vs " << a.style;
    }
}

TEST(Resources, MainDialogTemplate)
{
    Template t = ParseTemplate(IDD_MAIN_DIALOG);
    // A window menu, with minimize and maximize in it, for the keyboard (Alt+Space); the
    // skin paints over the system's caption buttons.
    EXPECT_EQ(0x90CB00C8u, t.style);
    EXPECT_EQ(0x00040000u, t.exStyle);
    EXPECT_EQ(0, t.x);
    EXPECT_EQ(0, t.y);
    EXPECT_EQ(443, t.cx);
    EXPECT_EQ(247, t.cy);
    EXPECT_EQ("Kelvaro", t.caption);
    EXPECT_EQ("MS Shell Dlg", t.font);
    EXPECT_EQ(9, t.pointSize);
    EXPECT_EQ(0, t.weight);
    EXPECT_EQ(0, t.italic);
    EXPECT_EQ(1, t.charset);
    // In reading order, which the Tab key follows: the drive, the types, the list (or Scan
    // now in its place), then the buttons from left to right and Pause and Stop.
    const std::vector<Control> expected = {
        {IDC_STATIC_DRIVE, "Static", "请选择磁盘", 335, 38, 35, 8, 0x50020000},
        {IDC_COMBO_DRIVE, "ComboBox", "", 386, 36, 50, 121, 0x50210142},
        {IDC_LIST_TYPES, "ListBox", "", 335, 50, 101, 173, 0x50B10153},
        {IDC_STATIC_STATUS, "Static", " 全面清理电脑中垃圾文件和临时文件，节省磁盘空间，让系统运行更加有效率！", 43, 11, 338, 9, 0x5002800C},
        {IDC_PROGRESS, "msctls_progress32", "", 7, 23, 375, 11, 0x40800000},
        {IDC_BTN_SCAN_NOW, "Button", "立即扫描", 101, 94, 120, 54, 0x50010000},
        {IDC_LIST_FILES, "SysListView32", "", 7, 50, 320, 173, 0x40811009},  // report, owner data
        {IDC_BTN_DELETE, "Button", "删除", 7, 226, 50, 14, 0x50010000},
        {IDC_BTN_DELETE_ALL, "Button", "全部删除", 60, 226, 50, 14, 0x50010000},
        {IDC_BTN_START, "Button", "开始", 277, 226, 50, 14, 0x50010000},
        {IDC_BTN_SELECT_ALL, "Button", "全选", 335, 226, 50, 14, 0x50010000},
        {IDC_BTN_SELECT_NONE, "Button", "全不选", 387, 226, 50, 14, 0x50010000},
        {IDC_BTN_PAUSE, "Button", "暂停", 386, 6, 50, 14, 0x50010000},
        {IDC_BTN_STOP, "Button", "停止", 386, 21, 50, 14, 0x50010300},
    };
    ExpectControls(expected, t.controls);
}

TEST(Resources, AboutDialogTemplate)
{
    Template t = ParseTemplate(IDD_ABOUTBOX);
    EXPECT_EQ(0x80C800C8u, t.style);
    EXPECT_EQ(0u, t.exStyle);
    EXPECT_EQ(170, t.cx);
    EXPECT_EQ(62, t.cy);
    EXPECT_EQ("Kelvaro", t.caption);
    EXPECT_EQ("MS Shell Dlg", t.font);
    EXPECT_EQ(9, t.pointSize);
    EXPECT_EQ(1, t.charset);
    ASSERT_EQ(4u, t.controls.size());
    const std::vector<Control> fixed = {
        {-1, "Static", "#128", 14, 14, 20, 20, 0x50000003},
        {-1, "Static", "Kelvaro,V3.0", 42, 14, 114, 8, 0x50020080},
        {-1, "Static", t.controls[2].text, 42, 26, 114, 8, 0x50020000},
        {IDOK, "Button", "确定", 113, 41, 50, 14, 0x50030001},
    };
    ExpectControls(fixed, t.controls);
    EXPECT_FALSE(t.controls[2].text.empty()) << "a second line of text";
}

TEST(Resources, PopupMenuItems)
{
    HMENU menu = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_POPUP_MENU));
    ASSERT_NE(nullptr, menu);
    HMENU popup = ::GetSubMenu(menu, 0);
    ASSERT_NE(nullptr, popup);
    struct { UINT id; const char* text; } items[] = {
        {ID_MENU_MINIMIZE, "最小化(&M)"},
        {ID_MENU_MAXIMIZE, "最大化(&X)"},
        {ID_MENU_CLOSE, "关闭(&C)"},
        {0, ""},
        {ID_MENU_RECYCLE, "删除到回收站(&R)"},
        {ID_MENU_EXPORT, "导出列表(&E)…"},
        {ID_MENU_RULES, "清理规则(&U)…"},
        {0, ""},
        {ID_MENU_ABOUT, "关于 Kelvaro（&A）"},
    };
    ASSERT_EQ(9, ::GetMenuItemCount(popup));
    for (int i = 0; i < 9; ++i) {
        wchar_t text[64] = {};
        ::GetMenuStringW(popup, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        EXPECT_EQ(items[i].id, ::GetMenuItemID(popup, i));
        EXPECT_EQ(CString(items[i].text), AfxFromWide(text, lstrlenW(text)));
        const UINT state = ::GetMenuState(popup, static_cast<UINT>(i), MF_BYPOSITION);
        if (items[i].id)
            EXPECT_EQ(0u, state & (MF_CHECKED | MF_GRAYED | MF_SEPARATOR));
        else
            EXPECT_TRUE(state & MF_SEPARATOR);
    }
    ::DestroyMenu(menu);
}

TEST(Resources, AboutString)
{
    CString s;
    ASSERT_TRUE(s.LoadString(IDS_ABOUTBOX));
    EXPECT_EQ("关于 Kelvaro(&A)...", s);
}

TEST(Resources, VersionRecord)
{
    // The record as stored, in a buffer with room for the narrow copies that the A query makes.
    Blob blob = FindBlob(RT_VERSION, VS_VERSION_INFO);
    ASSERT_NE(nullptr, blob.data);
    std::vector<BYTE> data(blob.size * 3);
    memcpy(data.data(), blob.data, blob.size);

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(::VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &len));
    EXPECT_EQ(MAKELONG(0, 1), fixed->dwFileVersionMS);
    EXPECT_EQ(MAKELONG(1, 0), fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
    EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);
    EXPECT_EQ(static_cast<DWORD>(VOS__WINDOWS32), fixed->dwFileOS);
    EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);
    EXPECT_EQ(0u, fixed->dwFileFlags);

    WORD* translation = nullptr;
    ASSERT_TRUE(::VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &len));
    ASSERT_EQ(4u, len);
    EXPECT_EQ(0x0804, translation[0]);
    EXPECT_EQ(936, translation[1]);

    char* value = nullptr;
    ASSERT_TRUE(::VerQueryValueA(data.data(), "\\StringFileInfo\\080403a8\\FileVersion", reinterpret_cast<void**>(&value), &len));
    EXPECT_STREQ("1.0.0.1", value);
    ASSERT_TRUE(::VerQueryValueA(data.data(), "\\StringFileInfo\\080403a8\\ProductVersion", reinterpret_cast<void**>(&value), &len));
    EXPECT_STREQ("1.0.0.1", value);
}

TEST(Resources, ManifestAsksForCommonControlsSixAndNoRuntimeAssemblies)
{
    Blob m = FindBlob(RT_MANIFEST, 1);
    ASSERT_NE(nullptr, m.data);
    const std::string text(reinterpret_cast<const char*>(m.data), m.size);
    EXPECT_NE(std::string::npos, text.find("level=\"asInvoker\""));
    EXPECT_NE(std::string::npos, text.find("uiAccess=\"false\""));
    EXPECT_NE(std::string::npos, text.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""));
#ifdef _WIN64
    EXPECT_NE(std::string::npos, text.find("processorArchitecture=\"amd64\""));
#else
    EXPECT_NE(std::string::npos, text.find("processorArchitecture=\"x86\""));
#endif
    // Per-monitor scale (v2 from Windows 10 1703); before it, the system's scale.
    EXPECT_NE(std::string::npos, text.find("<windowsSettings>"));
    EXPECT_NE(std::string::npos, text.find("WindowsSettings\">PerMonitorV2, PerMonitor</dpiAwareness>"));
    EXPECT_NE(std::string::npos, text.find("WindowsSettings\">true/pm</dpiAware>"));
    EXPECT_EQ(std::string::npos, text.find("VC90")) << "no compiler runtime assembly";
    EXPECT_EQ(std::string::npos, text.find("MFC")) << "no class library assembly";
}

}  // namespace
