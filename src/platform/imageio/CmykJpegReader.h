#pragma once
// CMYK JPEG inks as stored. OpenImageIO turns them into RGB by the plain ink formula and drops
// what the file's CMYK profile says; this reads them straight with the JPEG library, so that the
// profile can convert them. Library errors come back as failures, never end the program.
#include <cstdint>
#include <string>
#include <vector>

namespace imageio {

// The inks of a CMYK JPEG as packed C, M, Y, K bytes (0 no ink), undoing the inverted storage
// that files with an Adobe marker use. False with *failure set when the file cannot be decoded
// or is not width x height CMYK.
bool readCmykJpeg(const std::string& path, int width, int height, std::vector<uint8_t>* inks, std::string* failure);

} // namespace imageio
