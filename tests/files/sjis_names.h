#pragma once
// Shift-JIS characters whose second byte is the backslash code (0x5C): names that a
// byte-wise path walk would cut in the middle of a character.

#include <string>

namespace korvane::test {

inline const std::string kHyou = "\x95\x5c";  // 表
inline const std::string kSo = "\x83\x5c";    // ソ

}  // namespace korvane::test
