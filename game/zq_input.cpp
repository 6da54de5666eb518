// Keyboard flags and joystick 1.
#include "game/zq_main.h"

void TForm1::FormKeyDown(TObject*, WORD&, TShiftState) {}

void TForm1::FormKeyUp(TObject*, WORD&, TShiftState) {}

void TForm1::CalibrateJoystick() {}

bool TForm1::PollJoystick(JOYINFO&) { return false; }

void TForm1::PollFireButton() {}
