#pragma once
// Texts as scripts write them in a parameter text, and as results write paths: backslashes
// and apostrophes escaped with a backslash, except the second byte of a double-byte
// character, which the command language leaves alone.

#include <string>

#include "core/shift_jis.h"

namespace korvane::test {

// The text with its backslashes and apostrophes escaped.
inline std::string escapedText(const std::string& text) {
    std::string escaped;
    bool secondByte = false;
    for (char c : text) {
        if (!secondByte && (c == '\\' || c == '\'')) {
            escaped += '\\';
        }
        escaped += c;
        secondByte = !secondByte && isLeadByte(static_cast<unsigned char>(c));
    }
    return escaped;
}

// A path as a value of the command language: escaped and between apostrophes.
inline std::string quotedPath(const std::string& path) {
    return "'" + escapedText(path) + "'";
}

}  // namespace korvane::test
