// The one place the system meets DirectX 6 (DirectDraw 4, Direct3D 3).
#pragma once

#include "app/win32.h"

#if defined(BLENDPROBE_STANDIN)
#include "standin/dx6/api.h"
#else
#include <ddraw.h>
#include <d3d.h>
#endif
