#pragma once

// For tools that build windows off the screen.
namespace platform {

// Silences Qt's debug, informational and warning messages for the rest of
// the process: notes about the platform (no XDG runtime folder, no window
// masks or raising offscreen) that say nothing about the tool's work. Critical
// and fatal messages still reach standard error.
void QuietOffscreenMessages();

}  // namespace platform
