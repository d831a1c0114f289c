#include "platform/static_ctrl.h"
