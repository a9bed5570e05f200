#pragma once

#include <cstddef>
#include <cstdint>

namespace fuzz {

// Loads the input as a skin — a ZIP archive when it starts with "PK", else
// an interface.xml beside one small bitmap "a.bmp" — builds every WINDOW it
// defines and paints each, offscreen: once as built, once after a second of
// ticks and a mouse drag across every control. Needs the platform's application
// object.
void FuzzSkin(const std::uint8_t* data, std::size_t size);

}  // namespace fuzz
