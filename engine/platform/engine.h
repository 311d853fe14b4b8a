// Engine-wide switches read at engine start and consulted by the lower layers.
#pragma once

// The engine debug value (game.ini [main] "debug"); nonzero makes the INI store re-read files.
int engineDebug();
void engineSetDebug(int value);
