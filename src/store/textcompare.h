#pragma once

#include <cstddef>

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

}
