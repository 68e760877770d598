// A minimal PNG writer (8-bit RGB, uncompressed deflate blocks), so that the
// example needs no image library on either platform.
#ifndef TAVRIN_EXAMPLES_DISPLAY_PNG_FILE_H
#define TAVRIN_EXAMPLES_DISPLAY_PNG_FILE_H

#include <cstdint>
#include <string>
#include <vector>

// rgb holds width x height pixels, 3 bytes each, rows top to bottom.
// Returns false when the file cannot be written.
bool WritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb);

#endif
