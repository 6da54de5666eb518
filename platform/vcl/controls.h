// Controls placed on a form: TControl (position, size, visibility) and TImage, a picture with
// its own canvas. Pictures are plain memory; the window shows the form's visible images.
#pragma once
#include "platform/core/classes.h"
#include "platform/vcl/graphics.h"
#include "platform/vcl/property.h"

using WORD = std::uint16_t;

enum TCursor { crDefault = 0, crNone = -1, crArrow = -2 };

// Shift, Ctrl and Alt; the game ignores them, the window still reports them.
class TShiftState {
public:
    enum TShiftFlag { ssShift, ssAlt, ssCtrl };
    TShiftState& operator<<(TShiftFlag f) { FBits |= 1u << f; return *this; }
    bool Contains(TShiftFlag f) const { return (FBits >> f) & 1u; }
private:
    unsigned FBits = 0;
};
using TKeyEvent = std::function<void(TObject* sender, WORD& key, TShiftState shift)>;

constexpr WORD VK_BACK = 8, VK_TAB = 9, VK_RETURN = 13, VK_SHIFT = 16, VK_CONTROL = 17,
               VK_MENU = 18, VK_ESCAPE = 27, VK_SPACE = 32, VK_LEFT = 37, VK_UP = 38,
               VK_RIGHT = 39, VK_DOWN = 40, VK_NUMPAD0 = 96, VK_NUMPAD4 = 100, VK_NUMPAD6 = 102,
               VK_F1 = 112, VK_F11 = 122, VK_F12 = 123;

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner) : TComponent(owner) {}
    int Left = 0;
    int Top = 0;
    bool Visible = true;
};

// Width and Height size the picture; the canvas draws on it at once (no painting step).
class TImage : public TControl {
    TBitmap FBitmap;  // first: Canvas below is taken from it

public:
    explicit TImage(TComponent* owner) : TControl(owner) {}

    TProperty<int> Width{[this] { return FBitmap.Buffer().Width; },
                         [this](const int& w) { FBitmap.SetSize(w, FBitmap.Buffer().Height); }};
    TProperty<int> Height{[this] { return FBitmap.Buffer().Height; },
                          [this](const int& h) { FBitmap.SetSize(FBitmap.Buffer().Width, h); }};
    TCanvas* const Canvas = FBitmap.Canvas;
    TBitmap* const Picture = &FBitmap;  // the image's bitmap (Picture->Bitmap on the desktop)
};
