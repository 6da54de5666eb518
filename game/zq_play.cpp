// The play phase: ship, shot, flash, death sequence and the frame's sound effect.
#include "game/zq_main.h"

void TForm1::RunPlay() {}

void TForm1::PlaySoundRequest() {}
