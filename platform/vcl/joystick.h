// Joystick 1 in the shape of the multimedia joystick calls: capabilities and position.
#pragma once
#include "platform/core/messages.h"

using MMRESULT = UINT;
constexpr UINT JOYSTICKID1 = 0;
constexpr MMRESULT JOYERR_NOERROR = 0;
constexpr MMRESULT JOYERR_PARMS = 165;
constexpr MMRESULT JOYERR_UNPLUGGED = 167;
constexpr UINT JOY_BUTTON1 = 0x0001;
constexpr UINT JOY_BUTTON2 = 0x0002;

struct JOYCAPS {
    UINT wXmin, wXmax, wYmin, wYmax;
    UINT wNumButtons;
};

struct JOYINFO {
    UINT wXpos, wYpos, wZpos;
    UINT wButtons;
};

MMRESULT joyGetDevCaps(UINT id, JOYCAPS* caps, UINT size);
MMRESULT joyGetPos(UINT id, JOYINFO* info);

namespace Platform {
// The joystick behind the calls; tests install a scripted one. Null restores the SDL joystick.
struct JoystickSource {
    virtual ~JoystickSource() = default;
    virtual MMRESULT GetDevCaps(UINT id, JOYCAPS* caps) = 0;
    virtual MMRESULT GetPos(UINT id, JOYINFO* info) = 0;
};
void SetJoystickSource(JoystickSource* source);
}  // namespace Platform
