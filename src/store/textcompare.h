#pragma once

#include <cstddef>
#include <string>

// Text comparison as the shop expects it: letter case never matters, accented
// capitals included ("joão" = "JOÃO"), and accented letters sort beside
// their plain letter ("ÁLVARO" before "ANA"). Works on UTF-8 bytes.
namespace TextCompare {

// <0, 0, >0. Equal only when the texts differ in letter case alone.
int compare(const char* a, std::size_t na, const char* b, std::size_t nb);

// LIKE with the desktop-database wildcards: * any run, ? one character,
// # one digit, [abc] [a-z] [!abc] one of (or none of) a set; % and _ are
// ordinary characters. Letter case is ignored, accents are not.
bool like(const char* pattern, std::size_t np, const char* text, std::size_t nt);

// The first text past every text that begins with `prefix` in this order
// (letter case and accents of the prefix aside), as UTF-32: with `prefix`
// itself it bounds the range of an index that holds those texts. Empty when
// no text bounds it.
std::u32string prefixEnd(const std::u32string& prefix);

}
