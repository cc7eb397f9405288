#pragma once
// Reads a song from its text notation (see music/README.md); on failure says which line and why.
#include "Song.h"

#include <string>

bool parseSong(const std::string &path, Song *song, std::string *error);
