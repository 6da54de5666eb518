// Enemies, enemy bullets and their collisions with the shot and the ship.
#include "game/zq_main.h"

void TForm1::UpdateEnemies() {}

void TForm1::ResetEnemies() {}
