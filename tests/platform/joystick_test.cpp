// The SDL joystick behind joyGetDevCaps/joyGetPos, driven by SDL's virtual devices: no hardware
// and no display needed.
#include <gtest/gtest.h>

#include <SDL.h>

#include "platform/vcl/joystick.h"

namespace {
class VirtualPad : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
        if (SDL_NumJoysticks() > 0) GTEST_SKIP() << "a real joystick is plugged in";
        Platform::SetJoystickSource(nullptr);
    }
    void TearDown() override
    {
        Detach();
        JOYINFO info{};
        joyGetPos(JOYSTICKID1, &info);  // lets the layer drop the device it had open
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER);
    }
    void Attach(SDL_JoystickType type, int axes, int buttons, int hats)
    {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = Uint16(type);
        desc.naxes = Uint16(axes);
        desc.nbuttons = Uint16(buttons);
        desc.nhats = Uint16(hats);
        index = SDL_JoystickAttachVirtualEx(&desc);
        ASSERT_GE(index, 0) << SDL_GetError();
        handle = SDL_JoystickOpen(index);  // our own handle, to set the inputs
        ASSERT_NE(handle, nullptr);
    }
    void Detach()
    {
        if (handle) SDL_JoystickClose(handle);
        if (index >= 0) SDL_JoystickDetachVirtual(index);
        handle = nullptr;
        index = -1;
    }
    JOYINFO Poll()
    {
        JOYINFO info{};
        EXPECT_EQ(joyGetPos(JOYSTICKID1, &info), JOYERR_NOERROR);
        return info;
    }
    int index = -1;
    SDL_Joystick* handle = nullptr;
};
}  // namespace

TEST_F(VirtualPad, RawJoystickAxesButtonsAndHat)
{
    JOYINFO info{};
    EXPECT_EQ(joyGetPos(JOYSTICKID1, &info), JOYERR_UNPLUGGED);
    Attach(SDL_JOYSTICK_TYPE_ARCADE_STICK, 2, 3, 1);
    JOYCAPS caps{};
    ASSERT_EQ(joyGetDevCaps(JOYSTICKID1, &caps, sizeof caps), JOYERR_NOERROR);
    EXPECT_EQ(caps.wXmin, 0u);
    EXPECT_EQ(caps.wXmax, 65535u);
    EXPECT_EQ(caps.wNumButtons, 3u);

    SDL_JoystickSetVirtualAxis(handle, 0, -32768);
    SDL_JoystickSetVirtualButton(handle, 0, SDL_PRESSED);
    info = Poll();
    EXPECT_EQ(info.wXpos, 0u);
    EXPECT_EQ(info.wButtons, JOY_BUTTON1);

    SDL_JoystickSetVirtualAxis(handle, 0, 0);
    SDL_JoystickSetVirtualButton(handle, 0, SDL_RELEASED);
    SDL_JoystickSetVirtualButton(handle, 1, SDL_PRESSED);
    SDL_JoystickSetVirtualHat(handle, 0, SDL_HAT_RIGHT);
    info = Poll();
    EXPECT_EQ(info.wXpos, 65535u) << "the hat pushed right reads as the end of the x range";
    EXPECT_EQ(info.wButtons, JOY_BUTTON2);
}

TEST_F(VirtualPad, UnplugAndPlugInAgain)
{
    Attach(SDL_JOYSTICK_TYPE_ARCADE_STICK, 2, 2, 0);
    Poll();
    Detach();
    JOYINFO info{};
    JOYCAPS caps{};
    EXPECT_EQ(joyGetPos(JOYSTICKID1, &info), JOYERR_UNPLUGGED);
    EXPECT_EQ(joyGetDevCaps(JOYSTICKID1, &caps, sizeof caps), JOYERR_UNPLUGGED);
    Attach(SDL_JOYSTICK_TYPE_ARCADE_STICK, 2, 2, 0);
    SDL_JoystickSetVirtualAxis(handle, 0, 32767);
    EXPECT_EQ(Poll().wXpos, 65535u);
    EXPECT_EQ(joyGetPos(1, &info), JOYERR_PARMS) << "only joystick 1 exists";
}

TEST_F(VirtualPad, GamepadStickDpadAndFaceButtons)
{
    Attach(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX, 0);
    if (!SDL_IsGameController(index)) GTEST_SKIP() << "SDL gives the virtual pad no controller mapping";
    SDL_JoystickSetVirtualAxis(handle, SDL_CONTROLLER_AXIS_LEFTX, 16384);
    SDL_JoystickSetVirtualButton(handle, SDL_CONTROLLER_BUTTON_A, SDL_PRESSED);
    JOYINFO info = Poll();
    EXPECT_EQ(info.wXpos, 16384u + 32768u);
    EXPECT_EQ(info.wButtons, JOY_BUTTON1);
    SDL_JoystickSetVirtualButton(handle, SDL_CONTROLLER_BUTTON_A, SDL_RELEASED);
    SDL_JoystickSetVirtualButton(handle, SDL_CONTROLLER_BUTTON_B, SDL_PRESSED);
    SDL_JoystickSetVirtualButton(handle, SDL_CONTROLLER_BUTTON_DPAD_LEFT, SDL_PRESSED);
    info = Poll();
    EXPECT_EQ(info.wXpos, 0u) << "the d-pad pushed left reads as the start of the x range";
    EXPECT_EQ(info.wButtons, JOY_BUTTON2);
}
