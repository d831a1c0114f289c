#pragma once

#include "ui/link_ctrl.h"

// The banner picture as a link. Made with the main window, bound to its control during the
// first data exchange. GUI thread only.
class CLinkBitmap : public CLinkCtrl
{
public:
    CLinkBitmap();

    static const char *const kDefaultURL;
};
