// The full-screen display service in the shape of DirectDraw's few calls: create, cooperative
// level, display mode, release. Full screen is a borderless desktop-sized window showing the
// form's picture scaled with its aspect kept; releasing the object gives the desktop back.
#pragma once
#include <cstdint>

class TForm;

using HRESULT = std::int32_t;
using DWORD = std::uint32_t;
constexpr HRESULT DD_OK = 0;
constexpr HRESULT DDERR_GENERIC = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT DDERR_INVALIDPARAMS = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT DDERR_NOEXCLUSIVEMODE = static_cast<HRESULT>(0x887600E1u);
constexpr DWORD DDSCL_FULLSCREEN = 1;
constexpr DWORD DDSCL_ALLOWREBOOT = 2;
constexpr DWORD DDSCL_EXCLUSIVE = 16;

class IDirectDraw {
public:
    // Binds the object to the window that will go full screen.
    HRESULT SetCooperativeLevel(TForm* window, DWORD flags);
    // Switches the bound window to full screen showing width × height pixels.
    HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel);
    // Leaves full screen and destroys the object; returns the remaining references (0).
    std::uint32_t Release();

private:
    TForm* FWindow = nullptr;
    DWORD FFlags = 0;
    bool FModeSet = false;
};
using LPDIRECTDRAW = IDirectDraw*;

// driver null: the primary display driver. outer must be null.
HRESULT DirectDrawCreate(void* driver, LPDIRECTDRAW* object, void* outer);
