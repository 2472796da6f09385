#pragma once
// The media layer's string lists: our own catalogue of Japanese error messages
// (Shift-JIS), served by list and item as the error reply asks for them.

#include <cstddef>

#include "core/status.h"

namespace korvane {

// A length-prefixed text holds at most this many characters after its length byte.
inline constexpr size_t kMaxStringLength = 255;

// The message for a status, or null when the catalogue has none.
const char* messageForStatus(Status status);

// Item `item` (from 1) of string list `listId`, into a length-prefixed text of
// 256 bytes. Lists 23000 onward hold error messages: item (n mod 100) + 1 of list
// 23000 + n / 100 is the message for status -1 - n. Answers false (and an empty
// text) when there is no such item.
bool lookupIndexedString(int listId, int item, unsigned char* out);

}  // namespace korvane
