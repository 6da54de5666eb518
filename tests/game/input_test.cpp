// Keyboard flags, Esc, the joystick calibration and the fire poll of the menu screens.
#include "tests/game/play_fixture.h"

namespace {

class InputTest : public GameTest {
protected:
    void Down(WORD key)
    {
        WORD k = key;
        Form->FormKeyDown(nullptr, k, TShiftState());
        EXPECT_EQ(k, key) << "the key code is left unchanged";
    }
    void Up(WORD key)
    {
        WORD k = key;
        Form->FormKeyUp(nullptr, k, TShiftState());
        EXPECT_EQ(k, key) << "the key code is left unchanged";
    }
    std::vector<int> Flags() const { return {Form->KeyLeft, Form->KeyRight, Form->KeyFire}; }
};

TEST_F(InputTest, KeysSetAndClearTheirFlags)
{
    struct {
        WORD Key;
        std::vector<int> Held;  // left, right, fire
    } const cases[] = {
        {32, {0, 0, 1}},  {'Z', {0, 0, 1}}, {122, {0, 0, 1}}, {37, {1, 0, 0}},
        {100, {1, 0, 0}}, {39, {0, 1, 0}},  {102, {0, 1, 0}}, {'X', {0, 0, 0}},
        {38, {0, 0, 0}},  {40, {0, 0, 0}},  {13, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        Down(c.Key);
        EXPECT_EQ(Flags(), c.Held) << "key " << c.Key << " down";
        Down(c.Key);  // key repeat
        EXPECT_EQ(Flags(), c.Held) << "key " << c.Key << " repeated";
        Up(c.Key);
        EXPECT_EQ(Flags(), (std::vector<int>{0, 0, 0})) << "key " << c.Key << " up";
    }
}

TEST_F(InputTest, ReleasingEitherKeyClearsTheSharedFlag)
{
    Down(32);
    Down('Z');
    Up('Z');
    EXPECT_EQ(Form->KeyFire, 0) << "Space is still down, yet the flag is clear";
    Down(37);
    Down(100);
    Up(37);
    EXPECT_EQ(Form->KeyLeft, 0);
}

TEST_F(InputTest, ShiftStateIsIgnored)
{
    WORD key = 39;
    TShiftState shift;
    shift << TShiftState::ssShift << TShiftState::ssCtrl;
    Form->FormKeyDown(nullptr, key, shift);
    EXPECT_EQ(Form->KeyRight, 1);
}

TEST_F(InputTest, EscClosesTheWindowAndSetsNoFlag)
{
    int closeRequests = 0;
    Form->OnCloseQuery = [&](TObject*, bool&) { ++closeRequests; };
    Down(27);
    EXPECT_EQ(closeRequests, 1);
    EXPECT_EQ(Flags(), (std::vector<int>{0, 0, 0}));
    Up(27);
    EXPECT_EQ(closeRequests, 1) << "releasing Esc does nothing";
}

TEST_F(InputTest, CalibrationPutsThresholdsAThirdIn)
{
    struct {
        JOYCAPS Caps;
        std::uint32_t Left, Right, Up, Down;
    } const cases[] = {
        {{0, 65535, 0, 65535, 4}, 21845, 43690, 21845, 43690},
        {{100, 400, 10, 20, 2}, 200, 300, 13, 17},
        {{0, 0, 0, 0, 1}, 0, 0, 0, 0},
        {{0, 0xFFFFFFFF, 1, 2, 1}, 0x55555555, 0xAAAAAAAA, 1, 2},
    };
    Joystick.Plugged = true;
    for (const auto& c : cases) {
        Joystick.Caps = c.Caps;
        Form->CalibrateJoystick();
        EXPECT_EQ(Form->PadLeft, c.Left) << c.Caps.wXmax;
        EXPECT_EQ(Form->PadRight, c.Right) << c.Caps.wXmax;
        EXPECT_EQ(Form->PadUp, c.Up) << c.Caps.wYmax;
        EXPECT_EQ(Form->PadDown, c.Down) << c.Caps.wYmax;
    }
}

TEST_F(InputTest, WithoutAJoystickThresholdsStayZeroAndOnlyKeysFire)
{
    Form->CalibrateJoystick();
    EXPECT_EQ(Form->PadLeft, 0u);
    EXPECT_EQ(Form->PadRight, 0u);
    EXPECT_EQ(Form->PadUp, 0u);
    EXPECT_EQ(Form->PadDown, 0u);
    Form->FireLatch = 1;
    Form->PollFireButton();
    EXPECT_EQ(Form->PadFire, 0);
    EXPECT_EQ(Form->FireLatch, 0);
    EXPECT_GT(Joystick.Polls, 0);
    Down(32);
    Form->PollFireButton();
    EXPECT_TRUE(Form->FirePressed());
}

TEST_F(InputTest, APadPluggedInLaterIsCalibratedOnItsFirstAnswer)
{
    Form->CalibrateJoystick();  // start-up without a pad
    ASSERT_EQ(Form->PadRight, 0u);
    Joystick.Plugged = true;
    JOYINFO Info{};
    ASSERT_TRUE(Form->PollJoystick(Info));
    EXPECT_EQ(Form->PadLeft, 21845u);
    EXPECT_EQ(Form->PadRight, 43690u);
}

TEST_F(InputTest, FirePollSeesButtonOneAlone)
{
    Joystick.Plugged = true;
    struct {
        UINT Buttons;
        int KeyFire;
        int PadFire;
        int LatchAfter;  // the latch was set before the poll
    } const cases[] = {
        {0, 0, 0, 0},
        {JOY_BUTTON1, 0, 1, 1},
        {JOY_BUTTON2, 0, 0, 0},
        {JOY_BUTTON1 | JOY_BUTTON2, 0, 0, 0},
        {0, 1, 0, 1},
    };
    for (const auto& c : cases) {
        Joystick.Pos.wButtons = c.Buttons;
        Form->KeyFire = c.KeyFire;
        Form->PadFire = 1;
        Form->FireLatch = 1;
        Form->PollFireButton();
        EXPECT_EQ(Form->PadFire, c.PadFire) << "buttons " << c.Buttons;
        EXPECT_EQ(Form->FireLatch, c.LatchAfter) << "buttons " << c.Buttons;
    }
}

}  // namespace
