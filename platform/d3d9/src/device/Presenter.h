#pragma once
// The presenter every device sends its frames to, and the headless one used when none is
// installed: it shows nothing, keeps the last frame, and offers it as the desktop image.
#include <d3d9/present.h>

D3D9Presenter& CurrentPresenter();
// The last frame the headless presenter received (empty before the first).
const PresentImage& LastHeadlessImage();
