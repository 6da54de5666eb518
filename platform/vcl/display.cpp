#include "platform/vcl/display.h"

#include "platform/vcl/backend.h"

HRESULT DirectDrawCreate(void*, LPDIRECTDRAW* object, void* outer)
{
    if (!object) return DDERR_INVALIDPARAMS;
    *object = nullptr;
    if (outer) return DDERR_INVALIDPARAMS;
    *object = new IDirectDraw;
    return DD_OK;
}

HRESULT IDirectDraw::SetCooperativeLevel(TForm* window, DWORD flags)
{
    if (!window) return DDERR_INVALIDPARAMS;
    FWindow = window;
    FFlags = flags;
    return DD_OK;
}

HRESULT IDirectDraw::SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel)
{
    const DWORD exclusive = DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE;
    if (!FWindow || !Platform::FormAlive(FWindow) || (FFlags & exclusive) != exclusive) return DDERR_NOEXCLUSIVEMODE;
    if (width == 0 || height == 0 || width > 16384 || height > 16384) return DDERR_INVALIDPARAMS;
    if (bitsPerPixel != 8 && bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32) return DDERR_INVALIDPARAMS;
    if (!Platform::CurrentWindowSystem().SetFullScreen(*FWindow, int(width), int(height), int(bitsPerPixel))) return DDERR_GENERIC;
    FModeSet = true;
    return DD_OK;
}

std::uint32_t IDirectDraw::Release()
{
    if (FModeSet && Platform::FormAlive(FWindow)) Platform::CurrentWindowSystem().SetFullScreen(*FWindow, 0, 0, 0);
    delete this;
    return 0;
}
