// Keyboard flags and joystick 1.
#include "game/zq_main.h"

namespace {
constexpr WORD VK_Z = 'Z';

// The held-key flag a key sets, or null for a key the game ignores.
int* KeyFlag(TForm1& Form, WORD Key)
{
    switch (Key) {
    case VK_SPACE:
    case VK_Z:
    case VK_F11:
        return &Form.KeyFire;
    case VK_LEFT:
    case VK_NUMPAD4:
        return &Form.KeyLeft;
    case VK_RIGHT:
    case VK_NUMPAD6:
        return &Form.KeyRight;
    default:
        return nullptr;
    }
}
}  // namespace

// The key code is left as it came, so the window's own handling of the key still happens.
void TForm1::FormKeyDown(TObject*, WORD& Key, TShiftState)
{
    if (Key == VK_ESCAPE) {
        Close();
        return;
    }
    if (int* Flag = KeyFlag(*this, Key))
        *Flag = 1;
}

void TForm1::FormKeyUp(TObject*, WORD& Key, TShiftState)
{
    if (int* Flag = KeyFlag(*this, Key))
        *Flag = 0;
}

// Thresholds one third of the range in from each end; unsigned, as the device reports them.
void TForm1::CalibrateJoystick()
{
    JOYCAPS Caps{};
    if (joyGetDevCaps(JOYSTICKID1, &Caps, sizeof(Caps)) != JOYERR_NOERROR)
        return;
    const std::uint32_t XThird = (Caps.wXmax - Caps.wXmin) / 3;
    const std::uint32_t YThird = (Caps.wYmax - Caps.wYmin) / 3;
    PadLeft = Caps.wXmin + XThird;
    PadRight = Caps.wXmax - XThird;
    PadUp = Caps.wYmin + YThird;
    PadDown = Caps.wYmax - YThird;
}

// A pad plugged in after start-up was never calibrated; with thresholds of 0 every x above 0
// would read as right and the ship would drift, so calibrate it the first time it answers.
bool TForm1::PollJoystick(JOYINFO& Info)
{
    if (joyGetPos(JOYSTICKID1, &Info) != JOYERR_NOERROR)
        return false;
    if (PadLeft == 0 && PadRight == 0)
        CalibrateJoystick();
    return true;
}

// Button 1 together with any other button is not a press.
void TForm1::PollFireButton()
{
    PadFire = 0;
    JOYINFO Info{};
    if (PollJoystick(Info) && Info.wButtons == JOY_BUTTON1)
        PadFire = 1;
    if (KeyFire == 0 && PadFire == 0)
        FireLatch = 0;
}
