#pragma once

#include "../framework/CWinApp.h"

class CNorvaneApp : public CWinApp {
public:
    CNorvaneApp() : CWinApp(nullptr) {}

    BOOL InitInstance() override;
};
