#pragma once

#include "platform/Bitmap.h"
#include "platform/Types.h"
#include "tools/skinart/Art.h"
#include "tools/skinart/Kit.h"

// The main window of the built-in skin: its background and the pictures of
// the controls that lie on it, each blended with the background it covers.
namespace skinart {

// What a round button does, shown by its symbol.
enum class TButtonSymbol { Close, Minimize, NewGame };

// Cell order of the tab picture.
enum class TTabState { Normal, Hover, Selected };
inline constexpr TTabState kTabStates[] = {TTabState::Normal, TTabState::Hover,
                                           TTabState::Selected};

// The window background (outside its rounded shape Fuchsia once resolved).
TArt WindowArt();
// A round button placed at the point of the window.
platform::TBitmap RoundButton(const TArt& window, platform::TPoint at, TRgb hue,
                              TButtonSymbol symbol, TButtonState state);
// The logo button: the window background at its place with the name on it.
platform::TBitmap LogoButton(const TArt& window, TButtonState state);
// One tab as it sits on the tab strip.
platform::TBitmap Tab(const TArt& window, TTabState state);

}  // namespace skinart
