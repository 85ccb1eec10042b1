// The X server the test program runs on (1280 x 1024, no window manager).
#pragma once

#include "xsession.h"

e2e::XSession& Session();
