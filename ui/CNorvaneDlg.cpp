#include "CNorvaneDlg.h"

#include "../scan/Patterns.h"
#include "AppMessages.h"
#include "CAboutDlg.h"
#include "DialogLayout.h"
#include "Settings.h"
#include "../framework/Dpi.h"

namespace {

// Found files are taken into the list this many at a time, the window answering in between.
const size_t kSlice = 8192;

// The timers that bring the next slice after the user's input (posted messages come before
// input: a slice posted after each slice would keep every click and key waiting).
const UINT_PTR kMoreNewsTimer = 0x4E01;
const UINT_PTR kMoreEndTimer = 0x4E02;

void ShowAboutBox()
{
    CAboutDlg dlgAbout;
    dlgAbout.DoModal();
}

}  // namespace

CNorvaneDlg::CNorvaneDlg(CWnd* pParent)
    : CDialog(IDD_MAIN_DIALOG, pParent), m_runs(this)
{
    m_hIcon = ::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME));
}

CNorvaneDlg::~CNorvaneDlg()
{
    // No worker may use the dialog once it is gone. One held up in the file system (a
    // network folder that stopped answering) would: the process ends here instead.
    if (!m_runs.Engine().Shutdown(5000)) {
        ::TerminateProcess(::GetCurrentProcess(), 0);
        ::ExitProcess(0);
    }
    if (m_hEvent)
        ::CloseHandle(m_hEvent);
}

bool CNorvaneDlg::SystemHighContrast() const
{
    HIGHCONTRASTW hc = {};
    hc.cbSize = sizeof(hc);
    return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(hc), &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON);
}

void CNorvaneDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LIST_TYPES, m_checkList);
    DDX_Control(pDX, IDC_COMBO_DRIVE, m_comboDrive);
    DDX_Control(pDX, IDC_LIST_FILES, m_listFiles);
    DDX_Control(pDX, IDC_PROGRESS, m_progress);
    DDX_Control(pDX, IDC_BTN_START, m_btnStart);
    DDX_Control(pDX, IDC_BTN_DELETE, m_btnDelete);
    DDX_Control(pDX, IDC_BTN_DELETE_ALL, m_btnDeleteAll);
    DDX_Control(pDX, IDC_BTN_PAUSE, m_btnPause);
    DDX_Control(pDX, IDC_BTN_STOP, m_btnStop);
    DDX_Control(pDX, IDC_BTN_SELECT_ALL, m_btnSelectAll);
    DDX_Control(pDX, IDC_BTN_SELECT_NONE, m_btnSelectNone);
    DDX_Control(pDX, IDC_BTN_SCAN_NOW, m_btnScanNow);
    DDX_Control(pDX, IDC_STATIC_STATUS, m_statusLine);
}

BEGIN_MESSAGE_MAP(CNorvaneDlg, CDialog)
    ON_CHAIN_MEMBER(m_skin)
    ON_CHAIN_MEMBER(m_animation)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_BTN_START, &CNorvaneDlg::OnBnClickedStart)
    ON_BN_CLICKED(IDC_BTN_SELECT_ALL, &CNorvaneDlg::OnBnClickedSelectAll)
    ON_BN_CLICKED(IDC_BTN_SELECT_NONE, &CNorvaneDlg::OnBnClickedSelectNone)
    ON_BN_CLICKED(IDC_BTN_STOP, &CNorvaneDlg::OnBnClickedStop)
    ON_BN_CLICKED(IDC_BTN_PAUSE, &CNorvaneDlg::OnBnClickedPause)
    ON_BN_CLICKED(IDC_BTN_DELETE, &CNorvaneDlg::OnBnClickedDelete)
    ON_BN_CLICKED(IDC_BTN_DELETE_ALL, &CNorvaneDlg::OnBnClickedDeleteAll)
    ON_WM_CLOSE()
    ON_WM_CTLCOLOR()
    ON_WM_ERASEBKGND()
    ON_BN_CLICKED(IDC_BTN_SCAN_NOW, &CNorvaneDlg::OnBnClickedScanNow)
    ON_COMMAND(ID_MENU_ABOUT, &CNorvaneDlg::OnMenuAbout)
    ON_COMMAND(ID_MENU_CLOSE, &CNorvaneDlg::OnClose)
    ON_COMMAND(ID_MENU_MINIMIZE, &CNorvaneDlg::OnMenuMinimize)
    ON_COMMAND(ID_MENU_MAXIMIZE, &CNorvaneDlg::OnMenuMaximize)
    ON_MESSAGE(WM_SCAN_NEWS, &CNorvaneDlg::OnScanNews)
    ON_MESSAGE(WM_SCAN_ENDED, &CNorvaneDlg::OnScanEnded)
    ON_MESSAGE(WM_LIST_SELECTION, &CNorvaneDlg::OnListSelection)
    ON_COMMAND(ID_MENU_RECYCLE, &CNorvaneDlg::OnMenuRecycle)
    ON_COMMAND(ID_MENU_EXPORT, &CNorvaneDlg::OnMenuExport)
    ON_COMMAND(ID_MENU_RULES, &CNorvaneDlg::OnMenuRules)
END_MESSAGE_MAP()

BOOL CNorvaneDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    if (HMENU hSysMenu = GetSystemMenu(FALSE)) {
        const struct { UINT nID; UINT nString; } items[] = {
            {0, 0}, {IDM_RECYCLE, IDS_RECYCLE}, {IDM_EXPORT, IDS_EXPORT}, {IDM_RULES, IDS_RULES}, {0, 0}, {IDM_ABOUTBOX, IDS_ABOUTBOX}};
        for (const auto& item : items) {
            CString text;
            if (!item.nID)
                ::AppendMenuW(hSysMenu, MF_SEPARATOR, 0, nullptr);
            else if (text.LoadString(item.nString))
                ::AppendMenuW(hSysMenu, MF_STRING, item.nID, AfxToWide(text).c_str());
        }
    }
    m_bRecycle = LoadRecycleOption();
    ShowRecycleOption();

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    for (const char* pattern : kPatterns)
        m_checkList.AddString(pattern);
    for (int i = 0; i < kPatternCount; ++i)
        m_checkList.SetCheck(i, 1);
    m_rules = LoadCleaningRules();
    ShowUserPatterns();

    wchar_t drives[200] = {};
    const DWORD len = ::GetLogicalDriveStringsW(200, drives);
    if (len > 0 && len < 200) {
        for (const wchar_t* root = drives; *root; root += lstrlenW(root) + 1)
            m_comboDrive.AddString(AfxFromWide(root, lstrlenW(root)));
        m_comboDrive.SetCurSel(0);
    }

    UpdateButtons();

    MyDrawButton* smallButtons[] = {&m_btnStart, &m_btnPause, &m_btnStop, &m_btnSelectAll,
                                    &m_btnSelectNone, &m_btnDelete, &m_btnDeleteAll};
    for (MyDrawButton* button : smallButtons) {
        button->m_nNormalBmp = IDB_BTN;
        button->m_nHoverBmp = IDB_BTN_HOT;
        button->m_nCurBmp = IDB_BTN;
    }
    m_btnScanNow.m_nNormalBmp = IDB_SCAN;
    m_btnScanNow.m_nHoverBmp = IDB_SCAN_HOT;
    m_btnScanNow.m_nCurBmp = IDB_SCAN;

    m_listFiles.Attach(&m_runs.Files());
    m_listFiles.OnSelectionChanged([this] { ShowSelection(); });
    m_listFiles.OnDeleteKey([this] {
        if (GetDlgItem(IDC_BTN_DELETE)->IsWindowEnabled())
            OnBnClickedDelete();
    });

    // What a screen reader reads: the buttons' captions as they stand, the others' names.
    for (MyDrawButton* button : Buttons())
        button->SetAccessible("", ROLE_SYSTEM_PUSHBUTTON);
    m_listFiles.SetAccessible("找到的垃圾文件", ROLE_SYSTEM_LIST);
    m_checkList.SetAccessible("文件类型", ROLE_SYSTEM_LIST);
    m_comboDrive.SetAccessible("请选择磁盘", ROLE_SYSTEM_COMBOBOX);
    m_progress.SetAccessible("扫描进度", ROLE_SYSTEM_PROGRESSBAR);
    m_statusLine.SetAccessible("", ROLE_SYSTEM_STATICTEXT);

    // The colours, the fonts and every control's place at the window's scale.
    m_animation.PartOf(this);
    ContrastChanged();
    m_skin.Attach(this, this);
    return TRUE;
}

void CNorvaneDlg::ScaleChanged(int dpi)
{
    m_nSizesDpi = dpi;
    // The template's font at this scale on every control but the status line, which has a
    // font of its own. The dialog keeps the font the system made for it (and deletes it).
    LOGFONTW lf = {};
    ::GetObjectW(reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)), sizeof(lf), &lf);
    lf.lfHeight = -::MulDiv(9, dpi, 72);
    lf.lfWidth = 0;
    CFont dialogFont, statusFont;
    dialogFont.CreateFontIndirect(&lf);
    statusFont.CreateFont(ScaleBy(14, dpi), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0, 0, FF_SWISS, L"宋体");
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        HFONT font = ::GetDlgCtrlID(child) == IDC_STATIC_STATUS ? statusFont : dialogFont;
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    m_fontDialog.Swap(dialogFont);
    m_fontStatus.Swap(statusFont);

    m_checkList.SetScale(dpi);
    m_listFiles.SetScale(dpi);
    ShowLook(m_skin.Plain());
}

void CNorvaneDlg::ShowLook(bool bPlain)
{
    for (MyDrawButton* button : Buttons())
        button->SetLook(m_nSizesDpi, bPlain);
    m_animation.SetLook(m_nSizesDpi, bPlain);
}

void CNorvaneDlg::LaidOut()
{
    m_listFiles.FitColumns();
    CRect client;
    GetClientRect(&client);
    m_animation.SetPlace(PlaceRing(m_skin.Dpi(), client.Width(), client.Height()));
}

void CNorvaneDlg::ContrastChanged()
{
    // In high contrast the window takes the system's colours and plain button faces.
    const bool plain = SystemHighContrast();
    m_crBk = plain ? ::GetSysColor(COLOR_BTNFACE) : RGB(14, 94, 157);
    m_crText = plain ? ::GetSysColor(COLOR_BTNTEXT) : RGB(255, 255, 255);
    m_brushBk.DeleteObject();
    m_brushBk.CreateSolidBrush(m_crBk);
    ShowLook(plain);
    Invalidate(TRUE);
}

void CNorvaneDlg::OnSysCommand(UINT nID, LPARAM lParam)
{
    switch (nID & 0xFFF0) {
    case IDM_ABOUTBOX:
        ShowAboutBox();
        break;
    case IDM_RECYCLE:
        OnMenuRecycle();
        break;
    case IDM_EXPORT:
        OnMenuExport();
        break;
    case IDM_RULES:
        OnMenuRules();
        break;
    default:
        CDialog::OnSysCommand(nID, lParam);
    }
}

void CNorvaneDlg::OnMenuAbout()
{
    ShowAboutBox();
}

void CNorvaneDlg::OnPaint()
{
    if (IsIconic()) {
        CPaintDC dc(this);
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
        const int cxIcon = ::GetSystemMetrics(SM_CXICON);
        const int cyIcon = ::GetSystemMetrics(SM_CYICON);
        CRect rect;
        GetClientRect(&rect);
        const int x = (rect.Width() - cxIcon + 1) / 2;
        const int y = (rect.Height() - cyIcon + 1) / 2;
        dc.DrawIcon(x, y, m_hIcon);
    } else {
        CPaintDC dc(this);
        CRect rect;
        GetClientRect(&rect);
        dc.FillSolidRect(rect, m_crBk);
        m_animation.Paint(dc.GetSafeHdc());
        CDialog::OnPaint();
    }
}

HCURSOR CNorvaneDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}

HBRUSH CNorvaneDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH hbr = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    const int id = pWnd->GetDlgCtrlID();
    if (id == IDC_STATIC_DRIVE || id == IDC_STATIC_STATUS) {
        pDC->SetTextColor(m_crText);
        pDC->SetBkColor(m_crBk);
        return m_brushBk;
    }
    return hbr;
}

BOOL CNorvaneDlg::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CNorvaneDlg::OnRunNews(unsigned nRun)
{
    PostMessage(WM_SCAN_NEWS, nRun);
}

void CNorvaneDlg::OnRunEnded(unsigned nRun)
{
    PostMessage(WM_SCAN_ENDED, nRun);
}

LRESULT CNorvaneDlg::OnScanNews(WPARAM wParam, LPARAM)
{
    CRunController::News news;
    ChangeList([&] { news = m_runs.TakeNews(static_cast<unsigned>(wParam), kSlice); });
    if (news.more)
        TakeMoreLater(WM_SCAN_NEWS, wParam);
    m_animation.CatchUp();
    if (news.hasPath)
        GetDlgItem(IDC_STATIC_STATUS)->SetWindowText(news.path);
    if (news.bWalk && m_runs.Walking() && m_progress.GetPos() != news.progress)
        m_progress.SetPos(news.progress);
    // Delete all may have emptied and hidden the list while the walk went on: what the walk
    // finds afterwards is shown, not kept out of sight.
    if (m_runs.Files().Count() > 0 && !(m_listFiles.GetStyle() & WS_VISIBLE)) {
        GetDlgItem(IDC_BTN_SCAN_NOW)->ShowWindow(SW_HIDE);
        GetDlgItem(IDC_LIST_FILES)->ShowWindow(SW_SHOW);
    }
    return 0;
}

LRESULT CNorvaneDlg::OnScanEnded(WPARAM wParam, LPARAM)
{
    CRunController::Ended ended = CRunController::Ended::Nothing;
    ChangeList([&] { ended = m_runs.RunEnded(static_cast<unsigned>(wParam), kSlice); });
    m_animation.CatchUp();
    if (ended == CRunController::Ended::TakeMore)
        TakeMoreLater(WM_SCAN_ENDED, wParam);
    else if (ended == CRunController::Ended::Walk)
        FinishScan();
    else if (ended == CRunController::Ended::Deletion)
        EndDelete();
    return 0;
}

void CNorvaneDlg::TakeMoreLater(UINT nMsg, WPARAM nRun)
{
    // A wait of no time first: Wine takes the pointer's and the keyboard's input from the X
    // server only when the thread waits, and a queue never empty of news never does.
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_INPUT);
    if (!HIWORD(::GetQueueStatus(QS_INPUT))) {
        PostMessage(nMsg, nRun);
        return;
    }
    // A click or a key waits: the next slice comes after it, on a timer (the lowest of all
    // messages).
    const bool news = nMsg == WM_SCAN_NEWS;
    (news ? m_nMoreNewsRun : m_nMoreEndRun) = nRun;
    ::SetTimer(m_hWnd, news ? kMoreNewsTimer : kMoreEndTimer, USER_TIMER_MINIMUM, &CNorvaneDlg::TakeMoreNow);
}

void CALLBACK CNorvaneDlg::TakeMoreNow(HWND hWnd, UINT, UINT_PTR nIDEvent, DWORD)
{
    ::KillTimer(hWnd, nIDEvent);
    if (auto* dlg = dynamic_cast<CNorvaneDlg*>(CWnd::FromHandlePermanent(hWnd))) {
        if (nIDEvent == kMoreNewsTimer)
            dlg->OnScanNews(dlg->m_nMoreNewsRun, 0);
        else
            dlg->OnScanEnded(dlg->m_nMoreEndRun, 0);
    }
}

LRESULT CNorvaneDlg::OnListSelection(WPARAM, LPARAM)
{
    m_listFiles.SelectionNoticed();
    return 0;
}
