// The modal message box as its own SDL window: the text in a Japanese font, a row of buttons,
// mouse and keyboard (Enter takes the focused button, Tab and the arrows move the focus, Y and N
// choose, Esc answers No or closes).
#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/vcl/backend.h"
#include "platform/vcl/fonts.h"

namespace {
constexpr int TextPixels = 16;
constexpr int Margin = 20;
constexpr int ButtonWidth = 96, ButtonHeight = 28, ButtonGap = 12;
constexpr int MaxTextWidth = 560, MinWidth = 260;

struct Button {
    TMsgDlgBtn Kind;
    const char* Label;
    int Result;
    SDL_Rect Place{};
};

std::vector<Button> ButtonsOf(const TMsgDlgButtons& set)
{
    const Button all[] = {{mbYes, "はい(Y)", mrYes}, {mbNo, "いいえ(N)", mrNo},
                          {mbOK, "OK", mrOk}, {mbCancel, "キャンセル", mrCancel}};
    std::vector<Button> buttons;
    for (const Button& b : all)
        if (set.Contains(b.Kind)) buttons.push_back(b);
    return buttons;
}

// The answer when the box is dismissed without choosing: No, else Cancel, else OK.
int DismissAnswer(const TMsgDlgButtons& set)
{
    return set.Contains(mbNo) ? mrNo : set.Contains(mbCancel) ? mrCancel : mrOk;
}

std::size_t Utf8Length(const AnsiString& s, std::size_t at)
{
    const unsigned char c = static_cast<unsigned char>(s[at]);
    const std::size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    return std::min(n, s.size() - at);
}

// Lines of the text, broken at newlines and wherever a line grows wider than the box allows.
std::vector<AnsiString> WrapText(TTF_Font* font, const AnsiString& text)
{
    std::vector<AnsiString> lines(1);
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = Utf8Length(text, i);
        const AnsiString ch = text.substr(i, n);
        i += n;
        if (ch == "\n") {
            lines.emplace_back();
            continue;
        }
        int w = 0, h = 0;
        const AnsiString longer = lines.back() + ch;
        if (font && TTF_SizeUTF8(font, longer.c_str(), &w, &h) == 0 && w > MaxTextWidth && !lines.back().empty())
            lines.push_back(ch);
        else
            lines.back() = longer;
    }
    return lines;
}

class DialogWindow {
public:
    DialogWindow(const Platform::DialogRequest& request, TTF_Font* font)
        : FRequest(request), FFont(font), FButtons(ButtonsOf(request.Buttons)), FLines(WrapText(font, request.Text))
    {
        int textWidth = 0;
        for (const AnsiString& line : FLines) {
            int w = 0, h = 0;
            if (!line.empty() && TTF_SizeUTF8(FFont, line.c_str(), &w, &h) == 0) textWidth = std::max(textWidth, w);
        }
        FLineHeight = TTF_FontLineSkip(FFont);
        const int buttonsWidth = int(FButtons.size()) * ButtonWidth + (int(FButtons.size()) - 1) * ButtonGap;
        FWidth = std::max({textWidth + 2 * Margin, buttonsWidth + 2 * Margin, MinWidth});
        const int textHeight = int(FLines.size()) * FLineHeight;
        FHeight = Margin + textHeight + Margin + ButtonHeight + Margin;
        int x = (FWidth - buttonsWidth) / 2;
        for (Button& b : FButtons) {
            b.Place = {x, FHeight - Margin - ButtonHeight, ButtonWidth, ButtonHeight};
            x += ButtonWidth + ButtonGap;
        }
        FWindow = SDL_CreateWindow(request.Caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, FWidth,
                                   FHeight, SDL_WINDOW_SHOWN);
        if (FWindow) FRenderer = SDL_CreateRenderer(FWindow, -1, SDL_RENDERER_SOFTWARE);
    }
    ~DialogWindow()
    {
        if (FRenderer) SDL_DestroyRenderer(FRenderer);
        if (FWindow) SDL_DestroyWindow(FWindow);
    }
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    bool Ready() const { return FRenderer != nullptr; }

    int RunModal()
    {
        SDL_RaiseWindow(FWindow);
        // A key that closed the previous dialog must not answer this one.
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_KEYDOWN, SDL_TEXTINPUT);
        const Uint32 id = SDL_GetWindowID(FWindow);
        int pressed = -1;
        for (;;) {
            Paint(pressed);
            SDL_Event e;
            if (!SDL_WaitEventTimeout(&e, 100)) continue;
            if (e.type == SDL_QUIT) {
                SDL_PushEvent(&e);  // kept for the main loop, which closes the main window
                return DismissAnswer(FRequest.Buttons);
            }
            if (e.type == SDL_WINDOWEVENT && e.window.windowID == id && e.window.event == SDL_WINDOWEVENT_CLOSE)
                return DismissAnswer(FRequest.Buttons);
            if (e.type == SDL_KEYDOWN && e.key.windowID == id && !e.key.repeat) {
                if (const int answer = OnKey(e.key.keysym); answer != mrNone) return answer;
            }
            if (e.type == SDL_MOUSEBUTTONDOWN && e.button.windowID == id && e.button.button == SDL_BUTTON_LEFT) {
                pressed = ButtonAt(e.button.x, e.button.y);
                if (pressed >= 0) FFocus = pressed;
            }
            if (e.type == SDL_MOUSEBUTTONUP && e.button.windowID == id && e.button.button == SDL_BUTTON_LEFT) {
                const int released = ButtonAt(e.button.x, e.button.y);
                if (released >= 0 && released == pressed) return FButtons[released].Result;
                pressed = -1;
            }
        }
    }

private:
    int ButtonAt(int x, int y) const
    {
        const SDL_Point p{x, y};
        for (std::size_t i = 0; i < FButtons.size(); ++i)
            if (SDL_PointInRect(&p, &FButtons[i].Place)) return int(i);
        return -1;
    }

    int OnKey(const SDL_Keysym& key)
    {
        const int count = int(FButtons.size());
        switch (key.sym) {
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
        case SDLK_SPACE:
            return FButtons[FFocus].Result;
        case SDLK_ESCAPE:
            return DismissAnswer(FRequest.Buttons);
        case SDLK_TAB:
            FFocus = (FFocus + ((key.mod & KMOD_SHIFT) ? count - 1 : 1)) % count;
            return mrNone;
        case SDLK_RIGHT:
        case SDLK_DOWN:
            FFocus = (FFocus + 1) % count;
            return mrNone;
        case SDLK_LEFT:
        case SDLK_UP:
            FFocus = (FFocus + count - 1) % count;
            return mrNone;
        case SDLK_y:
            return FRequest.Buttons.Contains(mbYes) ? mrYes : mrNone;
        case SDLK_n:
            return FRequest.Buttons.Contains(mbNo) ? mrNo : mrNone;
        default:
            return mrNone;
        }
    }

    void DrawText(const AnsiString& text, int x, int y, bool centredIn, const SDL_Rect& box)
    {
        if (text.empty()) return;
        SDL_Surface* s = TTF_RenderUTF8_Blended(FFont, text.c_str(), SDL_Color{0, 0, 0, 255});
        if (!s) return;
        if (SDL_Texture* t = SDL_CreateTextureFromSurface(FRenderer, s)) {
            SDL_Rect at{x, y, s->w, s->h};
            if (centredIn) at = {box.x + (box.w - s->w) / 2, box.y + (box.h - s->h) / 2, s->w, s->h};
            SDL_RenderCopy(FRenderer, t, nullptr, &at);
            SDL_DestroyTexture(t);
        }
        SDL_FreeSurface(s);
    }

    void Paint(int pressed)
    {
        SDL_SetRenderDrawColor(FRenderer, 240, 240, 240, 255);
        SDL_RenderClear(FRenderer);
        for (std::size_t i = 0; i < FLines.size(); ++i)
            DrawText(FLines[i], Margin, Margin + int(i) * FLineHeight, false, {});
        for (std::size_t i = 0; i < FButtons.size(); ++i) {
            const Button& b = FButtons[i];
            const bool focused = int(i) == FFocus;
            const Uint8 fill = int(i) == pressed ? 200 : focused ? 229 : 225;
            SDL_SetRenderDrawColor(FRenderer, fill, fill, focused ? 241 : fill, 255);
            SDL_RenderFillRect(FRenderer, &b.Place);
            if (focused) SDL_SetRenderDrawColor(FRenderer, 0, 120, 215, 255);
            else SDL_SetRenderDrawColor(FRenderer, 173, 173, 173, 255);
            SDL_RenderDrawRect(FRenderer, &b.Place);
            if (focused) {
                const SDL_Rect inner{b.Place.x + 1, b.Place.y + 1, b.Place.w - 2, b.Place.h - 2};
                SDL_RenderDrawRect(FRenderer, &inner);
            }
            DrawText(b.Label, 0, 0, true, b.Place);
        }
        SDL_RenderPresent(FRenderer);
    }

    const Platform::DialogRequest& FRequest;
    TTF_Font* FFont;
    std::vector<Button> FButtons;
    std::vector<AnsiString> FLines;
    int FFocus = 0;
    int FLineHeight = TextPixels;
    int FWidth = 0, FHeight = 0;
    SDL_Window* FWindow = nullptr;
    SDL_Renderer* FRenderer = nullptr;
};

struct SdlDialogSource : Platform::DialogSource {
    int Run(const Platform::DialogRequest& request) override
    {
        TTF_Font* font = nullptr;
        if (Platform::StartSdlVideo()) {
            font = Platform::OpenFont(Platform::FontKind::Japanese, TextPixels);
            if (!font) font = Platform::OpenFont(Platform::FontKind::Sans, TextPixels);
        }
        if (font) {
            DialogWindow window(request, font);
            if (window.Ready()) {
                const int cursor = SDL_ShowCursor(SDL_QUERY);
                SDL_ShowCursor(SDL_ENABLE);
                const int answer = window.RunModal();
                SDL_ShowCursor(cursor);
                return answer;
            }
        }
        // No display to show the box on: say it where it can still be read.
        std::fprintf(stderr, "%s: %s\n", request.Caption.c_str(), request.Text.c_str());
        return DismissAnswer(request.Buttons);
    }
};
}  // namespace

Platform::DialogSource& Platform::SdlDialogs()
{
    static SdlDialogSource dialogs;
    return dialogs;
}
