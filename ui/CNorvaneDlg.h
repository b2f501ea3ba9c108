// The program's one window and the state that every part of the program shares.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "../controls/CHSListBox.h"
#include "../controls/MyDrawButton.h"
#include "../framework/CCheckListBox.h"
#include "../framework/CComboBox.h"
#include "../framework/CDialog.h"
#include "../framework/CList.h"
#include "../framework/CProgressCtrl.h"
#include "../res/resource.h"
#include "../scan/PauseGate.h"
#include "../scan/ScanMailbox.h"
#include "SkinGeometry.h"

// Tells the window that the walk has news in its mailbox.
#define WM_SCAN_MAILBOX (WM_APP + 1)
// The walk of run wParam has ended; the window does the end-of-run steps if it is still current.
#define WM_SCAN_FINISHED (WM_APP + 2)

class CNorvaneDlg;

// What the scan thread is started with: the dialog, and what belongs to this run alone.
struct CScanThreadStart {
    CNorvaneDlg* pDlg;
    HWND hWnd;
    unsigned nRun;
    HANDLE hEvent;  // the thread's own handle to the run's event; it closes it
    CString strDrive;
};

DWORD WINAPI ScanThreadProc(LPVOID pParam);
DWORD WINAPI AnimationThreadProc(LPVOID pParam);
void DrawAnimationFrame(HWND hWnd, int nFrame);

class CNorvaneDlg : public CDialog {
public:
    explicit CNorvaneDlg(CWnd* pParent = nullptr);
    ~CNorvaneDlg() override;

    enum { IDD = IDD_MAIN_DIALOG };

    CList<CString, CString> m_filterList;
    // Guards m_filterList: Select all may append while the walk reads it or empties it.
    std::mutex m_filterLock;
    // Flags polled across threads: each poll must see the latest write.
    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bScanning{false};
    std::atomic<HANDLE> m_hScanThread{nullptr};
    HANDLE m_hAnimThread = nullptr;
    CString m_strDrive;
    HANDLE m_hEvent = nullptr;
    bool m_bPaused = false;
    // Written by the walk, reset and read by the window's thread as well. Sizes in bytes.
    std::atomic<uint64_t> m_nScannedBytes{0};
    std::atomic<uint64_t> m_nJunkBytes{0};
    std::atomic<int> m_nJunkCount{0};
    std::atomic<int> m_nUnreadable{0};  // folders of this run that could not be read
    CBrush m_brushBk;
    COLORREF m_crText = 0;
    COLORREF m_crBk = 0;
    CFont* m_pStatusFont = nullptr;
    int m_nWndWidth = 0;
    int m_nWndHeight = 0;
    int m_cyDlgFrame = 0;
    int m_cxDlgFrame = 0;
    int m_cyFrame = 0;
    int m_cxFrame = 0;
    int m_cyTitle = 0;
    bool m_bMinHot = false;
    bool m_bCloseHot = false;
    bool m_bMaxHot = false;
    std::atomic<bool> m_bAnimating{false};
    bool m_bMaximized = false;
    bool m_bRestored = false;
    int m_nCheckListWidth = 0;
    int m_nStopRight = 0;
    int m_nSelAllLeft = 0;
    float m_fScaleY = 1.0f;
    float m_fScaleX = 1.0f;
    HICON m_hIcon = nullptr;

    CCheckListBox m_checkList;
    CComboBox m_comboDrive;
    CHSListBox m_listFiles;
    CProgressCtrl m_progress;
    MyDrawButton m_btnStart;
    MyDrawButton m_btnDelete;
    MyDrawButton m_btnDeleteAll;
    MyDrawButton m_btnPause;
    MyDrawButton m_btnStop;
    MyDrawButton m_btnSelectAll;
    MyDrawButton m_btnSelectNone;
    MyDrawButton m_btnScanNow;

    // The scan engine.
    BOOL CollectCheckedFilters();
    BOOL IsJunkFile(const CString& path);
    // A size in the progress bar's units.
    static int ProgressUnits(uint64_t bytes);
    void ShowScanSummary();
    // Walks dir for run nRun; a run that is no longer the current one stops walking. A stop
    // signals hRunEvent, the run's event.
    void ScanDirectory(const CString& dir, unsigned nRun, HANDLE hRunEvent);
    void FinishScan();
    // Shows in the window everything the walk has handed over so far (window's thread only).
    void DrainMailbox();
    bool IsCurrentRun(unsigned nRun) const { return m_nRunId.load() == nRun; }

    CScanMailbox m_mailbox;
    CPauseGate m_pauseGate;
    // Each run has its own number; a thread of an older run changes nothing of the dialog.
    // The number changes, and the per-file updates of the walk happen, under m_runLock.
    std::mutex m_runLock;
    std::atomic<unsigned> m_nRunId{0};

private:
    void DrawCaptionButtons(CaptionButton hot);
    // Maximized <-> restored, the flags first (the size notification reads them).
    void ToggleMaximized();

    enum class StartResult { Started, Refused, BadRoot };
    // Refuses while a run is active or when no pattern is ticked; does not start either on a
    // root that cannot be opened; else starts a run.
    StartResult TryStartRun();
    // What the status line says when the drive box names nothing that can be scanned.
    void ShowBadRoot(const CString& typed);
    // The run is over: nothing stays paused, the Pause button reads "暂停" again.
    void EndPause();
    // The steps that end a run once its walk is over: reset, summary, counters, filter list.
    void EndRun();
    // A stopped run whose thread has not come back yet: its end is done now, before a new run.
    void RetirePreviousRun();
    // The dialog is going away: no worker may touch it afterwards.
    void StopWorkers();

    bool m_bEndPending = false;     // the current run's end steps have not run yet
    std::vector<HANDLE> m_workers;  // every worker thread still to be waited for at the end

protected:
    // Sets up and starts a run on root (a folder that OpenScanRoot accepted): shows the bar
    // and the list, measures the drive, empties the list, makes the event, starts both
    // threads, switches the buttons.
    void StartScanRun(const CString& root);
    // The event that the run's thread waits for before it walks; private to this process.
    virtual HANDLE CreateRunEvent();

    // Enter scans, as Scan now does; Esc closes, asking first while a run is active.
    void OnOK() override;
    void OnCancel() override;

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnMenuAbout();
    LRESULT OnScanMailbox(WPARAM wParam, LPARAM lParam);
    LRESULT OnScanFinished(WPARAM wParam, LPARAM lParam);

    void OnBnClickedStart();
    void OnBnClickedScanNow();
    void OnBnClickedPause();
    void OnBnClickedStop();
    void OnBnClickedSelectAll();
    void OnBnClickedSelectNone();
    void OnBnClickedDelete();
    void OnBnClickedDeleteAll();
    void OnClose();

    // The skin.
    void DrawSkinBitmap(int x, int y, int cx, int cy, UINT nBitmapID);
    void DrawSkinFrame();
    void DrawTitleText();
    void OnNcPaint();
    BOOL OnNcActivate(BOOL bActive);
    void OnNcMouseMove(UINT nHitTest, CPoint point);
    void OnNcLButtonDown(UINT nHitTest, CPoint point);
    void OnNcMouseLeave();
    void OnNcLButtonDblClk(UINT nHitTest, CPoint point);
    void OnNcRButtonDown(UINT nHitTest, CPoint point);
    void OnNcRButtonUp(UINT nHitTest, CPoint point);
    void OnMenuMinimize();
    void OnMenuMaximize();
    void OnSize(UINT nType, int cx, int cy);

    DECLARE_MESSAGE_MAP()
};
