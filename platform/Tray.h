#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "platform/Types.h"

// The notification-area icon (Win32 Shell_NotifyIcon).
namespace platform {

class TTrayIcon {
 public:
  // Tips are cut to this many characters.
  static constexpr std::size_t kMaxTip = 63;

  TTrayIcon();
  // Deletes the icon if it is shown.
  ~TTrayIcon();
  TTrayIcon(const TTrayIcon&) = delete;
  TTrayIcon& operator=(const TTrayIcon&) = delete;

  // Whether the desktop has a notification area at all.
  static bool Available();

  // Shows the icon (PNG, BMP or ICO bytes) with the tip. Without a
  // notification area nothing is shown and the result is false, silently.
  bool Add(std::span<const std::uint8_t> icon, const std::string& tip);
  void SetTip(const std::string& tip);
  void Remove();
  bool Shown() const;
  const std::string& Tip() const;
  // Where the icon is on the screen, for animations toward it; empty when
  // it is not shown or the desktop does not tell.
  TRect ScreenRect() const;

  // Releases of the left and the right mouse button over the icon.
  std::function<void()> OnLeftButtonUp;
  std::function<void()> OnRightButtonUp;

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
};

// The first kMaxTip characters of a tip (characters, not bytes, of UTF-8).
std::string CutTip(const std::string& tip);

}  // namespace platform
