// The high-score table: insertion of a finished game's score and the ranking screen.
#include "game/zq_main.h"

void TForm1::RunRanking() {}
