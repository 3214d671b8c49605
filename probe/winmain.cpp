#include "probe/blendprobe.h"

// The exit code is the verdict the probe reached, whatever Run reports.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    CBlendProbeApp probe;
    probe.Run(hInstance);
    const LONG verdict = probe.verdict;
    return static_cast<int>(verdict);
}
