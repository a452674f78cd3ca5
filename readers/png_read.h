// PNG pictures read with libspng, row by row into the picture's storage, within the memory limit.
#pragma once

#include <cstdio>

#include "rgb_picture.h"

// Reads the PNG in `file` (positioned at its start). Every answer is final: a PNG Qt would read no better.
LoadedPicture ReadPng(std::FILE* file, BitmapStatus moduleStatus, const DecodeSettings& settings);
