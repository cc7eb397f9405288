#pragma once
// The short sound effects, composed in code from the same instruments as the music.
#include <string>

// Writes every effect, the designed ones and the games' own, into dir; false (with a message on
// stderr) when a file cannot be written.
bool renderEffects(const std::string &dir);
