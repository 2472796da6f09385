#pragma once
// The ASCII letters, the only ones the command language, drive names and keyword matches
// fold. Other bytes (Shift-JIS among them) are never changed or taken as letters.

namespace korvane {

constexpr bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

constexpr char toUpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace korvane
