// The About box, shown from the system menu and the skin's popup menu.
#pragma once

#include "../framework/CDialog.h"
#include "../res/resource.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
};
