// The window at 96, 120, 144 and 192 dpi. The system's scale is read when a program starts,
// so each scale is a run of this program of its own (AtThisScale), started here with the scale
// set in the registry; each writes what it laid out, and a change of scale while running must
// lay out as a start at that scale does.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include <windows.h>
#include <commctrl.h>

#include "ModalDialog.h"
#include "Pixels.h"
#include "TestDialog.h"
#include "TestProcess.h"
#include "controls/MyDrawButton.h"
#include "controls/SkinSets.h"
#include "framework/Dpi.h"
#include "ui/DialogLayout.h"
#include "ui/SkinGeometry.h"

namespace {

const COLORREF kBlue = RGB(14, 94, 157);
const int kButtons[] = {IDC_BTN_SCAN_NOW, IDC_BTN_DELETE, IDC_BTN_DELETE_ALL, IDC_BTN_START,
                        IDC_BTN_SELECT_ALL, IDC_BTN_SELECT_NONE, IDC_BTN_PAUSE, IDC_BTN_STOP};

// Where the runs write: the build's folder, through Wine's path to the host's files.
std::string OutFolder()
{
    std::string path = KELVARO_SCALE_OUT;
    std::replace(path.begin(), path.end(), '/', '\\');
    return "\\\\?\\unix" + path;
}
std::string OutFile(const std::string& name) { return OutFolder() + "\\" + name; }

std::string ReadFile(const std::string& path)
{
    std::ifstream in(Wide(path).c_str(), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void SaveBmp(const std::string& path, const ScreenPixels& shot)
{
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof(ih);
    ih.biWidth = shot.cx;
    ih.biHeight = -shot.cy;
    ih.biPlanes = 1;
    ih.biBitCount = 32;
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(ih);
    fh.bfSize = fh.bfOffBits + static_cast<DWORD>(shot.pixels.size() * 4);
    std::ofstream out(Wide(path).c_str(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&fh), sizeof(fh));
    out.write(reinterpret_cast<const char*>(&ih), sizeof(ih));
    for (COLORREF c : shot.pixels) {
        const DWORD bgra = GetBValue(c) | (GetGValue(c) << 8) | (GetRValue(c) << 16);
        out.write(reinterpret_cast<const char*>(&bgra), 4);
    }
}

class AtThisScale : public MainDialogTest {
protected:
    void SetUp() override
    {
        MainDialogTest::SetUp();
        const char* dpi = ::getenv("KELVARO_SCALE_DPI");
        ASSERT_NE(nullptr, dpi) << "run by Scale.* with a scale";
        m_dpi = atoi(dpi);
        // Drawn now, frame and all.
        m_dlg.OnWindowThread([&] {
            ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        });
    }
    int Dpi()
    {
        int dpi = 0;
        m_dlg.OnWindowThread([&] { dpi = m_dlg.Dpi(); });
        return dpi;
    }
    void ChangeScale(int dpi)
    {
        m_dlg.OnWindowThread([&] {
            RECT rc;
            ::GetWindowRect(m_hWnd, &rc);
            const int old = m_dlg.Dpi();
            RECT suggested = {rc.left, rc.top, rc.left + ::MulDiv(rc.right - rc.left, dpi, old),
                              rc.top + ::MulDiv(rc.bottom - rc.top, dpi, old)};
            ::SendMessageW(m_hWnd, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
            ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        });
    }
    int FontHeight(int id)
    {
        LOGFONTW lf = {};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(Item(id), WM_GETFONT, 0, 0)), sizeof(lf), &lf);
        return lf.lfHeight;
    }
    // What the window laid out, relative to its client area: a start and a change of scale
    // write it alike.
    std::string Record()
    {
        std::ostringstream r;
        RECT client;
        ::GetClientRect(m_hWnd, &client);
        r << "client " << client.right << " " << client.bottom << "\n";
        for (const LayoutEntry& e : MainLayout()) {
            RECT rc;
            ::GetWindowRect(Item(e.nID), &rc);
            ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
            r << e.nID << " " << rc.left << " " << rc.top << " " << rc.right << " " << rc.bottom << "\n";
        }
        r << "fonts " << FontHeight(IDC_STATIC_DRIVE) << " " << FontHeight(IDC_STATIC_STATUS) << "\n";
        r << "row " << ::SendMessageW(Item(IDC_LIST_TYPES), LB_GETITEMHEIGHT, 0, 0) << "\n";
        HWND list = Item(IDC_LIST_FILES);
        r << "columns";
        for (int i = 0; i < 3; ++i)
            r << " " << ::SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0);
        r << "\n";
        return r.str();
    }
    std::string ReadFileOf(const std::string& name) { return ReadFile(OutFile(name)); }
    void Write(const std::string& name, const std::string& text)
    {
        std::ofstream out(Wide(OutFile(name)).c_str(), std::ios::binary);
        out << text;
    }

    int m_dpi = 96;
};

TEST_F(AtThisScale, SizesFacesCaptionsRowsAndColumns)
{
    ASSERT_EQ(m_dpi, Dpi());
    RECT window, client;
    ::GetWindowRect(m_hWnd, &window);
    ::GetClientRect(m_hWnd, &client);
    const SIZE natural = NaturalClient(m_dpi);
    EXPECT_EQ(natural.cx, client.right);
    EXPECT_EQ(natural.cy, client.bottom);
    // 781 x 457 at 96 dpi, times the scale.
    EXPECT_NEAR(781.0 * m_dpi / 96, window.right - window.left, 781.0 * m_dpi / 96 * 0.02);
    EXPECT_NEAR(457.0 * m_dpi / 96, window.bottom - window.top, 457.0 * m_dpi / 96 * 0.02);

    const ScreenPixels shot(window);
    for (int id : kButtons) {
        RECT rc;
        ::GetWindowRect(Item(id), &rc);
        // The face covers its control: no blue just inside the middle of any edge.
        const int mx = (rc.left + rc.right) / 2, my = (rc.top + rc.bottom) / 2;
        EXPECT_NE(kBlue, shot.At(mx, rc.top + 2)) << id;
        EXPECT_NE(kBlue, shot.At(mx, rc.bottom - 3)) << id;
        EXPECT_NE(kBlue, shot.At(rc.left + 2, my)) << id;
        EXPECT_NE(kBlue, shot.At(rc.right - 3, my)) << id;
        // No caption text leaves its face: the caption's pixels stand clear of every edge.
        const COLORREF text = ::IsWindowEnabled(Item(id)) ? RGB(255, 255, 255) : MyDrawButton::kDisabledText;
        RECT ink = {rc.right, rc.bottom, rc.left, rc.top};
        int n = 0;
        for (int y = rc.top; y < rc.bottom; ++y) {
            for (int x = rc.left; x < rc.right; ++x) {
                if (shot.At(x, y) == text) {
                    ++n;
                    ink = {std::min(ink.left, static_cast<LONG>(x)), std::min(ink.top, static_cast<LONG>(y)),
                           std::max(ink.right, static_cast<LONG>(x)), std::max(ink.bottom, static_cast<LONG>(y))};
                }
            }
        }
        EXPECT_GT(n, 20) << id;
        EXPECT_GE(ink.left, rc.left + 2) << id;
        EXPECT_LE(ink.right, rc.right - 3) << id;
        EXPECT_GE(ink.top, rc.top + 1) << id;
        EXPECT_LE(ink.bottom, rc.bottom - 2) << id;
    }
    // "请选择磁盘" whole in its label.
    HWND label = Item(IDC_STATIC_DRIVE);
    HDC dc = ::GetDC(label);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)));
    const std::wstring drive = Wide("请选择磁盘");
    SIZE extent = {};
    ::GetTextExtentPoint32W(dc, drive.c_str(), static_cast<int>(drive.size()), &extent);
    ::SelectObject(dc, old);
    ::ReleaseDC(label, dc);
    RECT labelRect;
    ::GetClientRect(label, &labelRect);
    EXPECT_LE(extent.cx, labelRect.right);
    // The caption buttons: the scale's own set, drawn as it is.
    const RECT close = CaptionFace(window.right - window.left, CaptionButton::Close, m_dpi);
    const int fx = ScaleBy(13, m_dpi), fy = ScaleBy(3, m_dpi);
    EXPECT_EQ(BitmapPixel(SkinBitmapFor(IDB_CLOSE, m_dpi), fx, fy), shot.At(window.left + close.left + fx, window.top + fy));
    // The columns of sizes and dates at the scale.
    HWND list = Item(IDC_LIST_FILES);
    EXPECT_EQ(ScaleBy(72, m_dpi), ::SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0));
    EXPECT_EQ(ScaleBy(112, m_dpi), ::SendMessageW(list, LVM_GETCOLUMNWIDTH, 2, 0));

    Write("start-" + std::to_string(m_dpi) + ".txt", Record());
    SaveBmp(OutFile("scale-" + std::to_string(m_dpi) + ".bmp"), shot);
}

TEST_F(AtThisScale, AChangeOfScaleLaysOutAsAStartThereAndKeepsNoDrawingObjects)
{
    // Asked the size it will take at 144 dpi (before a move there), the window answers its
    // natural size at that scale.
    SIZE at144 = {};
    EXPECT_TRUE(::SendMessageW(m_hWnd, 0x02E4 /* WM_GETDPISCALEDSIZE */, 144, reinterpret_cast<LPARAM>(&at144)));
    EXPECT_NEAR(781.0 * 1.5, at144.cx, 781.0 * 1.5 * 0.02);
    EXPECT_NEAR(457.0 * 1.5, at144.cy, 457.0 * 1.5 * 0.02);
    const std::string start = Record();
    for (int dpi : {120, 144, 192}) {
        ChangeScale(dpi);
        EXPECT_EQ(dpi, Dpi());
        Write("changed-" + std::to_string(dpi) + ".txt", Record());
    }
    ChangeScale(m_dpi);
    EXPECT_EQ(start, Record()) << "back at the start's scale";
    // A change while maximized: restored, the window has the new scale's natural size.
    ::SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    ChangeScale(144);
    ::SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_EQ(ReadFileOf("changed-144.txt"), Record());
    ChangeScale(m_dpi);
    // Scale changes there and back leave no drawing object behind.
    const int before = GdiObjects();
    for (int i = 0; i < 10; ++i) {
        ChangeScale(192);
        ChangeScale(m_dpi);
    }
    EXPECT_LE(GdiObjects(), before + 5) << "from " << before;
}

// Sets the system's scale for the programs started after it, and puts 96 back at the end.
class ScaleOfTheSystem {
public:
    ~ScaleOfTheSystem() { Set(96); }
    void Set(int dpi)
    {
        const DWORD value = static_cast<DWORD>(dpi);
        ::RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &value, sizeof(value));
    }
};

// Runs this program at dpi with only the tests of filter: its exit status, *output what it
// printed.
long RunAtScale(int dpi, const std::string& filter, std::string* output)
{
    ScaleOfTheSystem scale;
    scale.Set(dpi);
    ::SetEnvironmentVariableA("KELVARO_SCALE_DPI", std::to_string(dpi).c_str());
    const std::string log = OutFile("run-" + std::to_string(dpi) + ".log");
    SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
    HANDLE out = ::CreateFileW(Wide(log).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOW si = {};
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = out;
    PROCESS_INFORMATION pi;
    const bool started = StartProcess(KELVARO_SCALE_TESTS, "--gtest_filter=" + filter, 0, si, true, &pi);
    ::CloseHandle(out);
    ::SetEnvironmentVariableA("KELVARO_SCALE_DPI", nullptr);
    const long status = started ? WaitForExit(pi, 120000) : -1;
    *output = ReadFile(log);
    return status;
}

TEST(Scale, AtFourScalesAndAChangeOfScale)
{
    ::CreateDirectoryW(Wide(OutFolder()).c_str(), nullptr);
    for (int dpi : {96, 120, 144, 192}) {
        std::string output;
        const std::string filter = dpi == 96 ? "AtThisScale.*" : "AtThisScale.SizesFacesCaptionsRowsAndColumns";
        EXPECT_EQ(0, RunAtScale(dpi, filter, &output)) << "at " << dpi << " dpi:\n" << output;
        EXPECT_NE(std::string::npos, output.find("[  PASSED  ]")) << "at " << dpi << " dpi:\n" << output;
    }
    // A change of scale while running lays out as a start at that scale.
    for (int dpi : {120, 144, 192}) {
        const std::string start = ReadFile(OutFile("start-" + std::to_string(dpi) + ".txt"));
        EXPECT_FALSE(start.empty()) << dpi;
        EXPECT_EQ(start, ReadFile(OutFile("changed-" + std::to_string(dpi) + ".txt"))) << dpi;
    }
    // The check list's rows grow with the scale.
    auto row = [&](int dpi) {
        const std::string r = ReadFile(OutFile("start-" + std::to_string(dpi) + ".txt"));
        const size_t at = r.find("row ");
        return at == std::string::npos ? 0 : atoi(r.c_str() + at + 4);
    };
    for (int dpi : {120, 144, 192})
        EXPECT_NEAR(row(96) * dpi / 96.0, row(dpi), 2.0) << dpi;
}

}  // namespace
