// The forms' windows on SDL: one window and renderer per shown form, the visible images
// uploaded as textures, key and close events handed to the forms. Full screen is the desktop-
// sized window with the picture scaled to it, aspect kept.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

#include "platform/vcl/backend.h"

bool Platform::StartSdlVideo()
{
    static int state = 0;  // 0 not tried, 1 running, -1 failed
    if (state == 0) {
        SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
        SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
        state = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0 ? 1 : -1;
        if (state < 0) std::fprintf(stderr, "No display: %s\n", SDL_GetError());
    }
    return state > 0;
}

WORD Platform::VirtualKeyFromSdl(std::int32_t keycode, std::int32_t scancode)
{
    if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9)
        return WORD(VK_NUMPAD0 + 1 + (scancode - SDL_SCANCODE_KP_1));
    if (scancode == SDL_SCANCODE_KP_0) return VK_NUMPAD0;
    if (keycode >= SDLK_a && keycode <= SDLK_z) return WORD('A' + (keycode - SDLK_a));
    if (keycode >= SDLK_0 && keycode <= SDLK_9) return WORD(keycode);
    if (keycode >= SDLK_F1 && keycode <= SDLK_F12) return WORD(VK_F1 + (keycode - SDLK_F1));
    switch (keycode) {
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_RETURN: return VK_RETURN;
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_TAB: return VK_TAB;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_UP: return VK_UP;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT: return VK_MENU;
    default: return 0;
    }
}

namespace {
struct FormWindow {
    SDL_Window* Window = nullptr;
    SDL_Renderer* Renderer = nullptr;
    SDL_Texture* Texture = nullptr;
    int TextureWidth = 0, TextureHeight = 0;
    AnsiString Caption;
    bool Bordered = true;
    int ClientWidth = 0, ClientHeight = 0;
    TCursor Cursor = crDefault;
    const TBitmap* Icon = nullptr;
    int FullWidth = 0, FullHeight = 0;  // 0: windowed
    int FullBits = 0;
    std::uint32_t TextureFormat = 0;
    std::vector<std::uint16_t> Reduced;  // the picture in 5-6-5 for a 16-bit display
    bool FullApplied = false;
    SDL_Rect ImagePlace{};  // where the last presented image sits in the client area
};

TShiftState ShiftOf(Uint16 mod)
{
    TShiftState s;
    if (mod & KMOD_SHIFT) s << TShiftState::ssShift;
    if (mod & KMOD_CTRL) s << TShiftState::ssCtrl;
    if (mod & KMOD_ALT) s << TShiftState::ssAlt;
    return s;
}

void ApplyIcon(SDL_Window* window, const TBitmap& icon)
{
    const TPixelBuffer& b = icon.Buffer();
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, b.Width, b.Height, 32, SDL_PIXELFORMAT_ABGR8888);
    if (!s) return;
    for (int y = 0; y < b.Height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(s->pixels) + y * s->pitch);
        for (int x = 0; x < b.Width; ++x) {
            const std::uint32_t p = b.Pixels[std::size_t(y) * b.Width + x];
            row[x] = p == 0 ? 0 : (p | 0xFF000000u);  // black is transparent
        }
    }
    SDL_SetWindowIcon(window, s);
    SDL_FreeSurface(s);
}

class SdlWindows : public Platform::WindowSystem {
public:
    void ShowForm(TForm& form) override
    {
        if (!Platform::StartSdlVideo()) return;
        FormWindow& w = FWindows[&form];
        if (w.Window) return;
        const bool centred = form.Position == poDesktopCenter || form.Position == poScreenCenter;
        const int x = centred ? int(SDL_WINDOWPOS_CENTERED) : form.Left;
        const int y = centred ? int(SDL_WINDOWPOS_CENTERED) : form.Top;
        Uint32 flags = SDL_WINDOW_SHOWN;
        if (form.BorderStyle == bsNone) flags |= SDL_WINDOW_BORDERLESS;
        w.Window = SDL_CreateWindow(form.Caption.c_str(), x, y, form.ClientWidth, form.ClientHeight, flags);
        if (!w.Window) {
            std::fprintf(stderr, "Cannot open the window: %s\n", SDL_GetError());
            return;
        }
        w.Renderer = SDL_CreateRenderer(w.Window, -1, 0);
        if (!w.Renderer) w.Renderer = SDL_CreateRenderer(w.Window, -1, SDL_RENDERER_SOFTWARE);
        w.Caption = form.Caption;
        w.Bordered = form.BorderStyle != bsNone;
        w.ClientWidth = form.ClientWidth;
        w.ClientHeight = form.ClientHeight;
        w.Cursor = crDefault;
        SyncForm(form);
        SDL_RaiseWindow(w.Window);
    }

    void HideForm(TForm& form) override
    {
        auto it = FWindows.find(&form);
        if (it == FWindows.end()) return;
        FormWindow& w = it->second;
        if (w.Texture) SDL_DestroyTexture(w.Texture);
        if (w.Renderer) SDL_DestroyRenderer(w.Renderer);
        if (w.Window) SDL_DestroyWindow(w.Window);  // leaves full screen with it
        if (w.Cursor == crNone) SDL_ShowCursor(SDL_ENABLE);
        FWindows.erase(it);
    }

    void SyncForm(TForm& form) override
    {
        auto it = FWindows.find(&form);
        if (it == FWindows.end() || !it->second.Window) return;
        FormWindow& w = it->second;
        if (w.Caption != form.Caption) SDL_SetWindowTitle(w.Window, (w.Caption = form.Caption).c_str());
        if (w.Bordered != (form.BorderStyle != bsNone)) {
            w.Bordered = !w.Bordered;
            SDL_SetWindowBordered(w.Window, w.Bordered ? SDL_TRUE : SDL_FALSE);
        }
        if (w.Cursor != form.Cursor) {
            w.Cursor = form.Cursor;
            SDL_ShowCursor(w.Cursor == crNone ? SDL_DISABLE : SDL_ENABLE);
        }
        if (w.Icon != form.Icon() && form.Icon()) ApplyIcon(w.Window, *(w.Icon = form.Icon()));
        ApplyFullScreen(form, w);
        if (!w.FullWidth && (w.ClientWidth != form.ClientWidth || w.ClientHeight != form.ClientHeight)) {
            w.ClientWidth = form.ClientWidth;
            w.ClientHeight = form.ClientHeight;
            SDL_SetWindowSize(w.Window, w.ClientWidth, w.ClientHeight);
        }
    }

    void PresentImage(TForm& form, const TImage& image) override
    {
        auto it = FWindows.find(&form);
        if (it == FWindows.end() || !it->second.Renderer) return;
        FormWindow& w = it->second;
        const TPixelBuffer& b = image.Canvas->Buffer();
        const bool reduce = w.FullApplied && w.FullBits > 0 && w.FullBits <= 16;
        const std::uint32_t format = reduce ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_XBGR8888;
        if (!w.Texture || w.TextureWidth != b.Width || w.TextureHeight != b.Height || w.TextureFormat != format) {
            if (w.Texture) SDL_DestroyTexture(w.Texture);
            w.Texture = SDL_CreateTexture(w.Renderer, format, SDL_TEXTUREACCESS_STREAMING, b.Width, b.Height);
            w.TextureWidth = b.Width;
            w.TextureHeight = b.Height;
            w.TextureFormat = format;
            if (!w.Texture) return;
        }
        if (reduce) {
            w.Reduced.resize(b.Pixels.size());
            SDL_ConvertPixels(b.Width, b.Height, SDL_PIXELFORMAT_XBGR8888, b.Pixels.data(), b.Width * 4,
                              SDL_PIXELFORMAT_RGB565, w.Reduced.data(), b.Width * 2);
            SDL_UpdateTexture(w.Texture, nullptr, w.Reduced.data(), b.Width * 2);
        } else {
            SDL_UpdateTexture(w.Texture, nullptr, b.Pixels.data(), b.Width * 4);
        }
        w.ImagePlace = {image.Left, image.Top, b.Width, b.Height};
        Render(w);
    }

    void PumpEvents() override
    {
        if (FWindows.empty()) return;
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
            switch (e.type) {
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                if (TForm* form = FormOf(e.key.windowID)) {
                    WORD key = Platform::VirtualKeyFromSdl(e.key.keysym.sym, e.key.keysym.scancode);
                    if (key == 0) break;
                    if (e.type == SDL_KEYDOWN) form->DoKeyDown(key, ShiftOf(e.key.keysym.mod));
                    else form->DoKeyUp(key, ShiftOf(e.key.keysym.mod));
                }
                break;
            case SDL_WINDOWEVENT:
                if (TForm* form = FormOf(e.window.windowID)) {
                    if (e.window.event == SDL_WINDOWEVENT_CLOSE) form->Close();
                    else if (e.window.event == SDL_WINDOWEVENT_EXPOSED) Render(FWindows[form]);
                }
                break;
            case SDL_QUIT:
                if (Application && Application->MainForm) Application->MainForm->Close();
                break;
            default:
                break;
            }
        }
    }

    void WaitForEvent(std::uint32_t timeoutMs) override
    {
        if (!FWindows.empty()) SDL_WaitEventTimeout(nullptr, int(timeoutMs));
    }

    bool SetFullScreen(TForm& form, int width, int height, int bitsPerPixel) override
    {
        FormWindow& w = FWindows[&form];
        w.FullWidth = width > 0 && height > 0 ? width : 0;
        w.FullHeight = w.FullWidth ? height : 0;
        w.FullBits = w.FullWidth ? bitsPerPixel : 0;
        ApplyFullScreen(form, w);
        return true;
    }

private:
    TForm* FormOf(Uint32 windowId)
    {
        for (auto& [form, w] : FWindows)
            if (w.Window && SDL_GetWindowID(w.Window) == windowId) return const_cast<TForm*>(form);
        return nullptr;
    }

    void ApplyFullScreen(TForm&, FormWindow& w)
    {
        if (!w.Window || w.FullApplied == (w.FullWidth != 0)) return;
        w.FullApplied = w.FullWidth != 0;
        // Sized to the display by hand as well: without a window manager nobody else does it.
        if (w.FullApplied) {
            SDL_Rect screen{0, 0, w.ClientWidth, w.ClientHeight};
            SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(w.Window)), &screen);
            SDL_SetWindowBordered(w.Window, SDL_FALSE);
            SDL_SetWindowPosition(w.Window, screen.x, screen.y);
            SDL_SetWindowSize(w.Window, screen.w, screen.h);
            SDL_SetWindowFullscreen(w.Window, SDL_WINDOW_FULLSCREEN_DESKTOP);
            SDL_RenderSetLogicalSize(w.Renderer, w.FullWidth, w.FullHeight);
        } else {
            SDL_SetWindowFullscreen(w.Window, 0);
            SDL_RenderSetLogicalSize(w.Renderer, 0, 0);
            SDL_SetWindowBordered(w.Window, w.Bordered ? SDL_TRUE : SDL_FALSE);
            SDL_SetWindowSize(w.Window, w.ClientWidth, w.ClientHeight);
            SDL_SetWindowPosition(w.Window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
        }
    }

    void Render(FormWindow& w)
    {
        if (!w.Renderer) return;
        SDL_SetRenderDrawColor(w.Renderer, 0, 0, 0, 255);
        SDL_RenderClear(w.Renderer);
        if (w.Texture) SDL_RenderCopy(w.Renderer, w.Texture, nullptr, &w.ImagePlace);
        SDL_RenderPresent(w.Renderer);
    }

    std::map<const TForm*, FormWindow> FWindows;
};
}  // namespace

Platform::WindowSystem& Platform::SdlWindowSystem()
{
    static SdlWindows windows;
    return windows;
}
