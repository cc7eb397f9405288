#pragma once
// The effects the games play beyond the designed ones: hands, shots, reels, cards, clocks and
// the menu's small touches.
#include <string>

// Writes every such effect into dir; false (with a message on stderr) when one cannot be written.
bool renderGameEffects(const std::string &dir);
