// The program's one window: what is drawn and clicked. The runs are the run controller's
// (scan/RunController.h), the found files its model's (scan/FoundFiles.h); the dialog passes the
// user's commands on, shows the news and the ends, and keeps the buttons in step.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "../controls/MyDrawButton.h"
#include "../framework/CCheckListBox.h"
#include "../framework/CComboBox.h"
#include "../framework/CDialog.h"
#include "../framework/CProgressCtrl.h"
#include "../res/resource.h"
#include "../scan/RunController.h"
#include "ButtonStates.h"
#include "FoundFilesView.h"
#include "TypeList.h"
#include "../scan/CleaningRules.h"
#include "Animation.h"
#include "Skin.h"

class CNorvaneDlg : public CDialog, private IScanEvents, private ISkinOwner {
public:
    explicit CNorvaneDlg(CWnd* pParent = nullptr);
    ~CNorvaneDlg() override;

    enum { IDD = IDD_MAIN_DIALOG };

    // What the skin shows, for whoever needs to know without reading pixels.
    CaptionButton HotCaptionButton() const { return m_skin.Hot(); }
    bool IsSkinMaximized() const { return ::IsZoomed(m_hWnd) != FALSE; }
    int Dpi() const { return m_skin.Dpi(); }
    CAnimation& Animation() { return m_animation; }
    // The grey tally at the right of a line of the check list ("1,234 · 1.2GB"), as drawn.
    CString TypeLineNote(int nLine) const { return m_checkList.Note(nLine); }

protected:
    // The event the walk waits for before it starts; private to this process.
    virtual HANDLE CreateRunEvent();
    // Whether the system draws in high contrast.
    virtual bool SystemHighContrast() const;

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Enter scans, as Scan now does; Esc closes, asking first while a run is active.
    void OnOK() override;
    void OnCancel() override;

    DECLARE_MESSAGE_MAP()

private:
    // IScanEvents, on the engine's workers: both post to the window.
    void OnRunNews(unsigned nRun) override;
    void OnRunEnded(unsigned nRun) override;

    // The state of the runs as the window shows it.
    RunView View() const;
    // Every command button's enabled state and Pause's caption, from View().
    void UpdateButtons();
    // The keyboard focus on a control that can take keys, when the one that had it was just
    // disabled or hidden.
    void KeepKeyboardFocus();

    // The ticked patterns, in list order; *pLines gets the line of each.
    std::vector<CString> CollectCheckedFilters(std::vector<int>* pLines = nullptr);
    // Busy: a run is active; Refused: no pattern is ticked.
    enum class StartResult { Started, Busy, Refused, BadRoot };
    // Refuses while a run is active or when no pattern is ticked; does not start either on a
    // root that cannot be opened; else starts a run.
    StartResult TryStartRun();
    // Sets up and starts a walk of root (a folder that OpenScanRoot accepted): shows the bar
    // and the list, measures the drive, starts the walk and the animation.
    void StartScanRun(const CString& root, const std::vector<CString>& patterns, const CScanOptions& options);
    // The walk is over for the window: the animation ends, the bar stands full, the summary shows.
    void FinishScan();
    // The deletion's workers have all ended: what was deleted leaves the list, what stayed
    // is said.
    void EndDelete();
    // A text for the status line that stays (a summary, an outcome); the selection's size
    // shows over it while two rows or more are selected, and it comes back after.
    void SetStatus(const CString& text);
    // The user changed the selection.
    void ShowSelection();
    // Runs change, a model change between them: the list shown anew, the user's places kept.
    template <class Fn>
    void ChangeList(Fn change)
    {
        const CFoundFilesView::Places places = m_listFiles.Remember();
        change();
        m_listFiles.Show(places);
    }

    // The next slice of a run's news (nMsg WM_SCAN_NEWS) or of its end (WM_SCAN_ENDED): posted,
    // or once the user's clicks and keys waiting now have been answered.
    void TakeMoreLater(UINT nMsg, WPARAM nRun);
    static void CALLBACK TakeMoreNow(HWND hWnd, UINT, UINT_PTR nIDEvent, DWORD);
    LRESULT OnListSelection(WPARAM wParam, LPARAM lParam);
    LRESULT OnScanNews(WPARAM wParam, LPARAM lParam);
    LRESULT OnScanEnded(WPARAM wParam, LPARAM lParam);
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnMenuAbout();

    void OnBnClickedStart();
    void OnBnClickedScanNow();
    void OnBnClickedPause();
    void OnBnClickedStop();
    void OnBnClickedSelectAll();
    void OnBnClickedSelectNone();
    // Deletes every selected entry (one at once, several on the engine's workers).
    void OnBnClickedDelete();
    void OnBnClickedDeleteAll();
    void OnClose();
    // "删除到回收站": turned on or off, remembered, shown ticked in both menus.
    void OnMenuRecycle();
    // "导出列表…": the list as a CSV file, where the user chooses.
    void OnMenuExport();
    // "清理规则…": the user's own patterns, folders kept out, age, temp folders; remembered.
    void OnMenuRules();
    // The check list's lines of the user's own patterns, under the six, with their ticks.
    void ShowUserPatterns();
    // The ticks of the user's lines into the rules, and the rules remembered.
    void SaveUserTicks();
    // Each line of the check list says what its pattern found (after a walk, and after a
    // deletion).
    void ShowTally();
    void ShowRecycleOption();
    // Starts deleting the selected rows or every row, for good or to the Recycle Bin.
    void StartDeleteRun(bool bAll);

    // ISkinOwner: the skin tells of changes of scale and contrast, and of its menu.
    void ScaleChanged(int dpi) override;
    void LaidOut() override;
    void ShowSkinMenu(CPoint point) override;
    bool HighContrast() const override { return SystemHighContrast(); }
    void ContrastChanged() override;
    // Every skin button and the ring at the scale of the sizes, plain or skinned.
    void ShowLook(bool bPlain);
    std::array<MyDrawButton*, 8> Buttons()
    {
        return {&m_btnStart, &m_btnPause, &m_btnStop, &m_btnSelectAll, &m_btnSelectNone, &m_btnDelete, &m_btnDeleteAll, &m_btnScanNow};
    }
    void OnMenuMinimize();
    void OnMenuMaximize();

    // The runs.
    CRunController m_runs;
    bool m_bRecycle = false;         // deletions go to the Recycle Bin
    CString m_strDrive;              // the root of the current walk, as the system names it
    HANDLE m_hEvent = nullptr;       // the current walk's start event
    CString m_strStatus;             // what the status line says when no selection is shown
    WPARAM m_nMoreNewsRun = 0;       // the run whose next slice of news a timer brings
    WPARAM m_nMoreEndRun = 0;        // the run whose next slice of its end a timer brings
    CCleaningRules m_rules;          // the user's, as saved
    std::vector<int> m_ruleLines;    // the check list's line of each pattern of the walk, in its order

    // Look: the skin, the ring that turns during a walk, the colours and fonts at the scale.
    CSkin m_skin;
    CAnimation m_animation;
    CBrush m_brushBk;
    COLORREF m_crText = 0;
    COLORREF m_crBk = 0;
    int m_nSizesDpi = 96;  // the scale of the fonts and the controls' own sizes
    CFont m_fontDialog;  // the template's font at the window's scale
    CFont m_fontStatus;
    HICON m_hIcon = nullptr;

    // The controls.
    CTypeList m_checkList;
    CComboBox m_comboDrive;
    CFoundFilesView m_listFiles;
    CProgressCtrl m_progress;
    CWnd m_statusLine;  // says what the window does; a reader hears each summary and outcome
    MyDrawButton m_btnStart;
    MyDrawButton m_btnDelete;
    MyDrawButton m_btnDeleteAll;
    MyDrawButton m_btnPause;
    MyDrawButton m_btnStop;
    MyDrawButton m_btnSelectAll;
    MyDrawButton m_btnSelectNone;
    MyDrawButton m_btnScanNow;
};
