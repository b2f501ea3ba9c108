// Message maps: a static table of entries per class, with the base class's table behind it.
// Each entry's thunk unpacks WPARAM and LPARAM into the handler's own argument types, so a
// handler with the wrong signature does not compile.
#pragma once

#include "Afx.h"

class CCmdTarget;

typedef LRESULT (*AFX_THUNK)(CCmdTarget* pTarget, UINT nMsg, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // window message; 0 ends the table
    UINT nCode;     // notification code of WM_COMMAND (0 for a click or a menu command)
    UINT nID;       // first control or command identifier (0 for plain messages)
    UINT nLastID;   // last identifier of the range
    AFX_THUNK pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// The first entry for (message, code, id) in pMap, then in each base map in turn; null if none.
const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP* pMap, UINT nMsg, UINT nCode, UINT nID);

// The entry that chains a part of the window (a CWnd member with a map of its own) into the
// window's map; never a window message (those end at 0xFFFF).
const UINT AFX_CHAIN_ENTRY = 0x10000;

// All WM_CTLCOLOR* messages are looked up under this one identifier (the old combined message).
#define WM_CTLCOLOR 0x0019

#define DECLARE_MESSAGE_MAP()                          \
protected:                                             \
    static const AFX_MSGMAP* GetThisMessageMap();      \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                        \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                   \
    {                                                                                 \
        typedef theClass ThisClass;                                                   \
        typedef baseClass TheBaseClass;                                               \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                 \
        {0, 0, 0, 0, nullptr}};                                                           \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
        return &messageMap;                                                               \
    }

#define AFX_SELF static_cast<ThisClass*>(pTarget)
#define AFX_THUNK_ARGS CCmdTarget* pTarget, UINT nMsg, WPARAM wParam, LPARAM lParam
#define AFX_UNUSED_ARGS (void)pTarget; (void)nMsg; (void)wParam; (void)lParam

// A part of the window with a map of its own (the skin of a dialog, say): the part's map is
// looked at before the window's own entries, and what the part leaves goes on as usual.
#define ON_CHAIN_MEMBER(member)                                                            \
    {AFX_CHAIN_ENTRY, 0, 0, 0, [](AFX_THUNK_ARGS) -> LRESULT {                             \
        AFX_UNUSED_ARGS; return reinterpret_cast<LRESULT>(static_cast<CWnd*>(&AFX_SELF->member)); }},

// Commands and control notifications.
#define ON_COMMAND(id, memberFxn)                                                          \
    {WM_COMMAND, 0, (UINT)(id), (UINT)(id),                                                \
     [](AFX_THUNK_ARGS) -> LRESULT { AFX_UNUSED_ARGS; (AFX_SELF->*(memberFxn))(); return 0; }},
#define ON_CONTROL(code, id, memberFxn)                                                    \
    {WM_COMMAND, (UINT)(code), (UINT)(id), (UINT)(id),                                     \
     [](AFX_THUNK_ARGS) -> LRESULT { AFX_UNUSED_ARGS; (AFX_SELF->*(memberFxn))(); return 0; }},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)

// Window messages, each with the handler name and signature of the framework's style.
#define ON_WM_PAINT()                                                                      \
    {WM_PAINT, 0, 0, 0, [](AFX_THUNK_ARGS) -> LRESULT { AFX_UNUSED_ARGS; AFX_SELF->OnPaint(); return 0; }},
#define ON_WM_SYSCOMMAND()                                                                 \
    {WM_SYSCOMMAND, 0, 0, 0, [](AFX_THUNK_ARGS) -> LRESULT {                               \
        AFX_UNUSED_ARGS; AFX_SELF->OnSysCommand(static_cast<UINT>(wParam), lParam); return 0; }},
#define ON_WM_QUERYDRAGICON()                                                              \
    {WM_QUERYDRAGICON, 0, 0, 0, [](AFX_THUNK_ARGS) -> LRESULT {                            \
        AFX_UNUSED_ARGS; HCURSOR h = AFX_SELF->OnQueryDragIcon(); return reinterpret_cast<LRESULT>(h); }},
#define ON_WM_ERASEBKGND()                                                                 \
    {WM_ERASEBKGND, 0, 0, 0, [](AFX_THUNK_ARGS) -> LRESULT {                               \
        AFX_UNUSED_ARGS; CDC dc(reinterpret_cast<HDC>(wParam)); return AFX_SELF->OnEraseBkgnd(&dc) ? 1 : 0; }},
#define ON_WM_CTLCOLOR()                                                                   \
    {WM_CTLCOLOR, 0, 0, 0, [](AFX_THUNK_ARGS) -> LRESULT {                                 \
        AFX_UNUSED_ARGS;                                                                   \
        CDC dc(reinterpret_cast<HDC>(wParam));                                             \
        CTempWnd ctl(reinterpret_cast<HWND>(lParam));                                 \
        HBRUSH h = AFX_SELF->OnCtlColor(&dc, ctl.Get(), nMsg - WM_CTLCOLORMSGBOX);         \
        return reinterpret_cast<LRESULT>(h); }},
#define ON_WM_CLOSE()                                                                      \
    {WM_CLOSE, 0, 0, 0, [](AFX_THUNK_ARGS) -> LRESULT { AFX_UNUSED_ARGS; AFX_SELF->OnClose(); return 0; }},
#define ON_WM_LBUTTONDOWN()                                                                \
    {WM_LBUTTONDOWN, 0, 0, 0, [](AFX_THUNK_ARGS) -> LRESULT {                              \
        AFX_UNUSED_ARGS; AFX_SELF->OnLButtonDown(static_cast<UINT>(wParam), CPoint(lParam)); return 0; }},
#define ON_WM_LBUTTONDBLCLK()                                                              \
    {WM_LBUTTONDBLCLK, 0, 0, 0, [](AFX_THUNK_ARGS) -> LRESULT {                            \
        AFX_UNUSED_ARGS; AFX_SELF->OnLButtonDblClk(static_cast<UINT>(wParam), CPoint(lParam)); return 0; }},
#define ON_WM_KEYDOWN()                                                                    \
    {WM_KEYDOWN, 0, 0, 0, [](AFX_THUNK_ARGS) -> LRESULT {                                  \
        AFX_UNUSED_ARGS;                                                                   \
        AFX_SELF->OnKeyDown(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)); return 0; }},
// A message of the program's own (WM_APP and above): LRESULT handler(WPARAM, LPARAM).
#define ON_MESSAGE(message, memberFxn)                                                     \
    {(UINT)(message), 0, 0, 0, [](AFX_THUNK_ARGS) -> LRESULT {                             \
        AFX_UNUSED_ARGS; return (AFX_SELF->*(memberFxn))(wParam, lParam); }},
#define ON_WM_SIZE()                                                                       \
    {WM_SIZE, 0, 0, 0, [](AFX_THUNK_ARGS) -> LRESULT {                                     \
        AFX_UNUSED_ARGS;                                                                   \
        AFX_SELF->OnSize(static_cast<UINT>(wParam), static_cast<short>(LOWORD(lParam)),    \
                         static_cast<short>(HIWORD(lParam))); return 0; }},
#define ON_WM_NCPAINT()                                                                    \
    {WM_NCPAINT, 0, 0, 0, [](AFX_THUNK_ARGS) -> LRESULT { AFX_UNUSED_ARGS; AFX_SELF->OnNcPaint(); return 0; }},
#define ON_WM_NCACTIVATE()                                                                 \
    {WM_NCACTIVATE, 0, 0, 0, [](AFX_THUNK_ARGS) -> LRESULT {                               \
        AFX_UNUSED_ARGS; return AFX_SELF->OnNcActivate(static_cast<BOOL>(wParam)) ? 1 : 0; }},
#define AFX_NC_POINT_HANDLER(message, handler)                                             \
    {message, 0, 0, 0, [](AFX_THUNK_ARGS) -> LRESULT {                                     \
        AFX_UNUSED_ARGS; AFX_SELF->handler(static_cast<UINT>(wParam), CPoint(lParam)); return 0; }},
#define ON_WM_NCMOUSEMOVE() AFX_NC_POINT_HANDLER(WM_NCMOUSEMOVE, OnNcMouseMove)
#define ON_WM_NCLBUTTONDOWN() AFX_NC_POINT_HANDLER(WM_NCLBUTTONDOWN, OnNcLButtonDown)
#define ON_WM_NCLBUTTONDBLCLK() AFX_NC_POINT_HANDLER(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk)
#define ON_WM_NCRBUTTONUP() AFX_NC_POINT_HANDLER(WM_NCRBUTTONUP, OnNcRButtonUp)
#define ON_WM_NCRBUTTONDOWN() AFX_NC_POINT_HANDLER(WM_NCRBUTTONDOWN, OnNcRButtonDown)
#define ON_WM_MOUSEMOVE() AFX_NC_POINT_HANDLER(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_NCMOUSELEAVE()                                                               \
    {WM_NCMOUSELEAVE, 0, 0, 0, [](AFX_THUNK_ARGS) -> LRESULT { AFX_UNUSED_ARGS; AFX_SELF->OnNcMouseLeave(); return 0; }},
#define ON_WM_MOUSELEAVE()                                                                 \
    {WM_MOUSELEAVE, 0, 0, 0, [](AFX_THUNK_ARGS) -> LRESULT { AFX_UNUSED_ARGS; AFX_SELF->OnMouseLeave(); return 0; }},
#define ON_WM_NCHITTEST()                                                                  \
    {WM_NCHITTEST, 0, 0, 0, [](AFX_THUNK_ARGS) -> LRESULT {                                \
        AFX_UNUSED_ARGS; return AFX_SELF->OnNcHitTest(CPoint(lParam)); }},
#define ON_WM_GETDLGCODE()                                                                 \
    {WM_GETDLGCODE, 0, 0, 0, [](AFX_THUNK_ARGS) -> LRESULT { AFX_UNUSED_ARGS; return AFX_SELF->OnGetDlgCode(); }},
#define ON_WM_UPDATEUISTATE()                                                              \
    {WM_UPDATEUISTATE, 0, 0, 0, [](AFX_THUNK_ARGS) -> LRESULT {                            \
        AFX_UNUSED_ARGS; AFX_SELF->OnUpdateUIState(LOWORD(wParam), HIWORD(wParam)); return 0; }},
// WM_DPICHANGED: the new scale and the rectangle the system suggests, in screen coordinates.
#define ON_WM_DPICHANGED()                                                                 \
    {0x02E0, 0, 0, 0, [](AFX_THUNK_ARGS) -> LRESULT {                                      \
        AFX_UNUSED_ARGS; AFX_SELF->OnDpiChanged(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam)); return 0; }},
#define ON_WM_SETTINGCHANGE()                                                              \
    {WM_SETTINGCHANGE, 0, 0, 0, [](AFX_THUNK_ARGS) -> LRESULT {                            \
        AFX_UNUSED_ARGS; AFX_SELF->OnSettingChange(static_cast<UINT>(wParam)); return 0; }},
#define ON_WM_SYSCOLORCHANGE()                                                             \
    {WM_SYSCOLORCHANGE, 0, 0, 0, [](AFX_THUNK_ARGS) -> LRESULT { AFX_UNUSED_ARGS; AFX_SELF->OnSysColorChange(); return 0; }},
#define ON_WM_TIMER()                                                                      \
    {WM_TIMER, 0, 0, 0, [](AFX_THUNK_ARGS) -> LRESULT {                                    \
        AFX_UNUSED_ARGS; AFX_SELF->OnTimer(static_cast<UINT_PTR>(wParam)); return 0; }},
