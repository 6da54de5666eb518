// Joystick 1 on SDL: a game controller when SDL knows the pad (left stick and d-pad as the x
// axis, face buttons A, B, X, Y as buttons 1 to 4), else the raw device's first axes, buttons
// and hat. Devices are looked for again on every call, so plugging in and out is safe.
#include <SDL.h>

#include "platform/vcl/joystick.h"

namespace {
constexpr UINT AxisMax = 65535;

class SdlJoystick : public Platform::JoystickSource {
public:
    MMRESULT GetDevCaps(UINT id, JOYCAPS* caps) override
    {
        if (id != JOYSTICKID1 || !caps) return JOYERR_PARMS;
        if (!Attach()) return JOYERR_UNPLUGGED;
        *caps = {0, AxisMax, 0, AxisMax, UINT(FController ? 4 : std::max(0, SDL_JoystickNumButtons(FJoystick)))};
        return JOYERR_NOERROR;
    }

    MMRESULT GetPos(UINT id, JOYINFO* info) override
    {
        if (id != JOYSTICKID1 || !info) return JOYERR_PARMS;
        if (!Attach()) return JOYERR_UNPLUGGED;
        *info = {};
        bool left, right;
        if (FController) {
            info->wXpos = Scale(SDL_GameControllerGetAxis(FController, SDL_CONTROLLER_AXIS_LEFTX));
            info->wYpos = Scale(SDL_GameControllerGetAxis(FController, SDL_CONTROLLER_AXIS_LEFTY));
            const SDL_GameControllerButton faces[] = {SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_B,
                                                      SDL_CONTROLLER_BUTTON_X, SDL_CONTROLLER_BUTTON_Y};
            for (UINT i = 0; i < 4; ++i)
                if (SDL_GameControllerGetButton(FController, faces[i])) info->wButtons |= 1u << i;
            left = SDL_GameControllerGetButton(FController, SDL_CONTROLLER_BUTTON_DPAD_LEFT);
            right = SDL_GameControllerGetButton(FController, SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
        } else {
            const int axes = SDL_JoystickNumAxes(FJoystick);
            info->wXpos = axes > 0 ? Scale(SDL_JoystickGetAxis(FJoystick, 0)) : AxisMax / 2;
            info->wYpos = axes > 1 ? Scale(SDL_JoystickGetAxis(FJoystick, 1)) : AxisMax / 2;
            for (int i = 0; i < std::min(32, SDL_JoystickNumButtons(FJoystick)); ++i)
                if (SDL_JoystickGetButton(FJoystick, i)) info->wButtons |= 1u << i;
            const Uint8 hat = SDL_JoystickNumHats(FJoystick) > 0 ? SDL_JoystickGetHat(FJoystick, 0) : 0;
            left = hat & SDL_HAT_LEFT;
            right = hat & SDL_HAT_RIGHT;
        }
        if (left != right) info->wXpos = left ? 0 : AxisMax;
        return JOYERR_NOERROR;
    }

private:
    static UINT Scale(Sint16 v) { return UINT(int(v) + 32768); }

    // Keeps the first device open; drops it when it is unplugged.
    bool Attach()
    {
        if (!FStarted) {
            FStarted = true;
            FAvailable = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER | SDL_INIT_JOYSTICK) == 0;
        }
        if (!FAvailable) return false;
        SDL_GameControllerUpdate();
        if (FJoystick && !SDL_JoystickGetAttached(FJoystick)) Detach();
        if (!FJoystick && SDL_NumJoysticks() > 0) {
            if (SDL_IsGameController(0)) {
                FController = SDL_GameControllerOpen(0);
                FJoystick = FController ? SDL_GameControllerGetJoystick(FController) : nullptr;
            }
            if (!FJoystick) FJoystick = SDL_JoystickOpen(0);
        }
        return FJoystick != nullptr;
    }

    void Detach()
    {
        if (FController) SDL_GameControllerClose(FController);
        else SDL_JoystickClose(FJoystick);
        FController = nullptr;
        FJoystick = nullptr;
    }

    bool FStarted = false, FAvailable = false;
    SDL_GameController* FController = nullptr;
    SDL_Joystick* FJoystick = nullptr;
};

Platform::JoystickSource* g_source = nullptr;

Platform::JoystickSource& Source()
{
    static SdlJoystick sdl;
    return g_source ? *g_source : sdl;
}
}  // namespace

void Platform::SetJoystickSource(JoystickSource* source)
{
    g_source = source;
}

MMRESULT joyGetDevCaps(UINT id, JOYCAPS* caps, UINT size)
{
    if (size < sizeof(JOYCAPS)) return JOYERR_PARMS;
    return Source().GetDevCaps(id, caps);
}

MMRESULT joyGetPos(UINT id, JOYINFO* info)
{
    return Source().GetPos(id, info);
}
