#pragma once

#include "platform/wnd.h"

// A static control: a label, picture or icon made by the dialog from its template.
class CStatic : public CWnd
{};
