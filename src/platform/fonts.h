#pragma once

// The windows and documents name fonts of the Windows desktop ("Lucida
// Sans", "Arial Narrow", "Comic Sans MS"...). This maps each to the closest
// free face that scripts/install-deps installs (Liberation, DejaVu), so text
// keeps its size and weight. Call once after the application is made.
namespace Fonts {
void installSubstitutes();
}
