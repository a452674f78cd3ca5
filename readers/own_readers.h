// Readers of this project's own for kinds Qt reads wrongly or not at all (TGA, and PBM/PGM/PPM):
// simple enough to read whole and exactly, each into a QImage that the Qt decoding path then checks
// and holds like any other.
#pragma once

#include <QImage>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

struct OwnRead {
    QImage image;         // RGBA8888 on success
    std::string problem;  // why the file is refused, in words for the user, when image is null
    bool endsEarly = false;
    // The picture's sides when known, for a refusal by size or memory.
    std::uint32_t width = 0, height = 0;
    bool tooLarge = false;  // held bytes over the memory limit
};

// A TGA file: one with TGA's footer, or named .tga, whose header is plausible. Nothing for other files.
std::optional<OwnRead> ReadTga(std::FILE* file, const std::string& path, std::uint64_t memoryLimit);
// A PBM, PGM or PPM file (P1 to P6, any maximum value up to 65535). Nothing for other files.
std::optional<OwnRead> ReadNetpbm(std::FILE* file, std::uint64_t memoryLimit);
