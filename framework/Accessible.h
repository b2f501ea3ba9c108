// What screen readers read: the program's own answers to WM_GETOBJECT (Active Accessibility).
// The system's object for a child control knows only its class-less "client" role and its
// window text, so each control's name and role come from here; what is painted rather than a
// window (the skin's caption buttons) is a group of simple elements.
#pragma once

#include <functional>
#include <vector>

#include "Afx.h"
#include "CString.h"

#include <oleacc.h>

// MinGW-w64's oleacc import library resolves IID_IAccessible to the wrong bytes, so the
// interface's identifier is spelt out here; use this one in every call that takes it.
extern const IID AfxIID_IAccessible;

// The system's object for the window's client area, answering with name and role instead of
// its own. An empty name reads the window's text at each call, & markers removed, so a button
// whose caption changes is read as it now shows. Returned with one reference; null on failure.
IAccessible* AfxCreateControlAccessible(HWND hWnd, const CString& name, long role);

// One painted push button of a group.
struct AccessibleElement {
    CString name;
    RECT screen;                  // in screen coordinates; empty when the element is not shown
    std::function<void()> press;  // its default action
};
// Asked at every call a reader makes, so names and places follow maximizing and the display
// scale. Called on the thread that calls the object, which is the window's own: COM brings a
// reader's calls to the thread that answered WM_GETOBJECT.
using AccessibleElementSource = std::function<std::vector<AccessibleElement>()>;

// A group answered for idObject of hWnd (OBJID_TITLEBAR for the caption buttons): the group
// itself has the window's text as name and a role to suit idObject; its children 1..N are
// the elements, push buttons whose default action ("按下") runs press. Returned with one
// reference; null on failure. After the window is gone every call fails with
// CO_E_OBJNOTCONNECTED, and source is no longer called.
IAccessible* AfxCreateElementsAccessible(HWND hWnd, LONG idObject, AccessibleElementSource source);

// The answer to WM_GETOBJECT for pAcc, which it releases (the result holds its own
// reference). 0, the "not handled" answer, when pAcc is null.
LRESULT AfxAccessibleResult(IAccessible* pAcc, WPARAM wParam);

// The window's object id as WM_GETOBJECT carries it: a 32-bit value that 64-bit systems may
// pass sign-extended or not.
inline LONG AfxObjectIdOf(LPARAM lParam) { return static_cast<LONG>(static_cast<DWORD>(lParam)); }

// Tells readers that the window's name (its text, for one read from the text) has changed; the
// ones following it read it again and speak it.
void AnnounceNameChange(HWND hWnd);

// The text as read aloud: each & that marks the next character as the access key dropped,
// "&&" read as one "&".
CString AfxStripAccelerators(const CString& text);
