// Render targets saved for a person to look at. With the environment
// variable STANDIN_SAVE_TARGETS set to a directory, every scene that ends
// leaves its render target there as scene<N>-<width>x<height>.png, N
// counting the scenes ended since the runtime started, from 1. Tests of the
// system never need it; the system never knows of it.
#pragma once

namespace standin::dx6 {

class Surface;

// Called once for every EndScene that ends a scene, with its render target.
void SceneEnded(Surface& renderTarget);

}  // namespace standin::dx6
