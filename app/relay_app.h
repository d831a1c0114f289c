#pragma once

#include "platform/win_app.h"

// The application: starts the socket layer, runs the main window modally, and ends the program
// when it closes.
class CRelayApp : public CWinApp
{
public:
    CRelayApp();
    bool InitInstance() override;
};

extern CRelayApp theApp;
