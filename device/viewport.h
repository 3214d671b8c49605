// The viewport record of a render target: the whole target, the whole
// depth range.
#pragma once

#include "device/dx6.h"

D3DVIEWPORT2 WholeTargetViewport(DWORD width, DWORD height);
