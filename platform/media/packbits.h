#pragma once
// PackBits run-length coding as pictures use it: a flag byte n of 0..127 is followed by n+1
// literal units, 129..255 by one unit repeated 257-n times, and 128 is skipped. A unit is one
// byte, or two bytes for the word packing of 16-bit pixels.

#include <cstddef>
#include <cstdint>

namespace korvane::media {

// Expands packed data into exactly outSize bytes. Runs that reach beyond outSize are cut
// and a short input leaves the rest of out zero: pictures in the wild have both, and neither
// can make us touch memory outside the two buffers. Returns false for a unit size other than
// 1 or 2.
bool unpackBits(const uint8_t* in, size_t inSize, uint8_t* out, size_t outSize, unsigned unitSize);

// Largest packed size of n bytes at a unit size of 1 or 2.
size_t packBitsBound(size_t n, unsigned unitSize);

// Packs n bytes (a multiple of unitSize) into out, which holds packBitsBound(n); returns the
// packed size.
size_t packBits(const uint8_t* in, size_t n, uint8_t* out, unsigned unitSize);

}  // namespace korvane::media
