// Title screen, new-game set-up, the ranking screen's firework and the game-over text.
#include "game/zq_main.h"

void TForm1::RunTitle() {}

void TForm1::NewGame() {}

void TForm1::RunFirework() {}

void TForm1::DrawGameOver() {}
