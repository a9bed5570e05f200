#include "platform/Tray.h"

#include <QPixmap>
#include <QSystemTrayIcon>

#include "platform/Application.h"
#include "platform/detail/QtBridge.h"

namespace platform {

std::string CutTip(const std::string& tip) {
  // Counts UTF-8 sequences: a byte that is not a continuation byte starts
  // a character.
  std::size_t characters = 0;
  for (std::size_t i = 0; i < tip.size(); ++i) {
    const auto byte = static_cast<unsigned char>(tip[i]);
    if ((byte & 0xC0) == 0x80) continue;
    if (characters == TTrayIcon::kMaxTip) return tip.substr(0, i);
    ++characters;
  }
  return tip;
}

struct TTrayIcon::TImpl {
  std::unique_ptr<QSystemTrayIcon> Icon;
  std::string Tip;
};

TTrayIcon::TTrayIcon() : impl_(std::make_unique<TImpl>()) {}

TTrayIcon::~TTrayIcon() { Remove(); }

bool TTrayIcon::Available() { return QSystemTrayIcon::isSystemTrayAvailable(); }

bool TTrayIcon::Add(std::span<const std::uint8_t> icon, const std::string& tip) {
  Remove();
  impl_->Tip = CutTip(tip);
  if (!Available()) return false;
  QPixmap picture;
  picture.loadFromData(icon.data(), static_cast<uint>(icon.size()));
  impl_->Icon = std::make_unique<QSystemTrayIcon>(QIcon(picture));
  impl_->Icon->setToolTip(detail::ToQString(impl_->Tip));
  QObject::connect(impl_->Icon.get(), &QSystemTrayIcon::activated,
                   [this](QSystemTrayIcon::ActivationReason reason) {
                     if (reason == QSystemTrayIcon::Trigger && OnLeftButtonUp) {
                       CallGuarded(OnLeftButtonUp);
                     } else if (reason == QSystemTrayIcon::Context && OnRightButtonUp) {
                       CallGuarded(OnRightButtonUp);
                     }
                   });
  impl_->Icon->show();
  return true;
}

void TTrayIcon::SetTip(const std::string& tip) {
  impl_->Tip = CutTip(tip);
  if (impl_->Icon) impl_->Icon->setToolTip(detail::ToQString(impl_->Tip));
}

void TTrayIcon::Remove() {
  if (!impl_->Icon) return;
  impl_->Icon->hide();
  impl_->Icon.reset();
}

TRect TTrayIcon::ScreenRect() const {
  if (!impl_->Icon) return TRect{};
  const QRect area = impl_->Icon->geometry();
  return Bounds(area.x(), area.y(), area.width(), area.height());
}

bool TTrayIcon::Shown() const { return impl_->Icon != nullptr; }

const std::string& TTrayIcon::Tip() const { return impl_->Tip; }

}  // namespace platform
