// Particles and score pop-ups.
#include "game/zq_main.h"

void TForm1::SpawnBurst(int, int, int, int, int) {}

void TForm1::SpawnTrail(int, int, int, int, int, int) {}

void TForm1::SpawnPopup(int, int, int) {}

void TForm1::UpdateTrails() {}

void TForm1::UpdateParticles() {}

void TForm1::UpdatePopups() {}

void TForm1::ResetParticles() {}
