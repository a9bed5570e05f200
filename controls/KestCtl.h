#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Font.h"
#include "platform/Lifetime.h"
#include "platform/Region.h"
#include "platform/Window.h"

namespace app {
class TEntityHolder;
class TEntityManager;
}  // namespace app
namespace platform {
class TCanvas;
}
namespace skin {
class TAlphaImage;
class TImagePack;
class TSkinResManager;
class TXMLNode;
}  // namespace skin

// The skinned controls: owner-drawn child windows built from the elements
// of a skin's WINDOW definitions.
namespace controls {

class TSkinForm;

// Sides of a control and of a window are capped at this many pixels, like
// the images the BMP reader accepts: a skin cannot make a control allocate
// a back buffer beyond any screen.
constexpr int kMaxControlSide = 16384;

// The base of every skinned control: a double-buffered child window that
// reads the generic attributes of its element (position, size, alignment,
// colours, background image, link, cursor, visibility, popup menu, font,
// hint), follows the entity named by its link and drags its top-level
// window when a plain part of it is pressed.
//
// Events reach a control once, through the protected virtual handlers
// below; subclasses override handlers, never the platform's hooks. A
// handler that runs entity commands may see its control destroyed (a skin
// reload): it takes Watch() first and returns at once when the control is
// gone.
class TKestControl : public platform::TChildWindow, public platform::TWindowClient {
 public:
  // A control inside `owner`, which owns it (see Adopt).
  explicit TKestControl(TKestControl& owner);
  ~TKestControl() override;

  // Reads the element's attributes; subclasses call the base first. Every
  // attribute is applied on every call, with its default when absent.
  virtual void LoadFromXML(const skin::TXMLNode& element);
  // Called once on a window's root after its whole tree was built; reaches
  // every control, children before their parent's own work. Controls with
  // a masked background take their shape here, once, and again whenever
  // their size changes afterwards.
  virtual void AfterLoad();

  // Takes ownership of a control created with this one as its owner.
  TKestControl& Adopt(std::unique_ptr<TKestControl> control);
  const std::vector<std::unique_ptr<TKestControl>>& Controls() const { return controls_; }
  // The control that owns this one; null for a window's root.
  TKestControl* Owner() const { return owner_; }

  void SubscribeLanguages();
  void ApplyFont(const skin::TXMLNode& element);
  // The outermost skinned form above this control, or null.
  TSkinForm* FindHostForm();
  // Enables or disables the control, repainting when the state changes.
  void SetControlEnabled(bool enabled);

  std::string Id;
  std::string Link;
  app::TEntityHolder* Holder = nullptr;
  skin::TSkinResManager* ResManager = nullptr;
  skin::TImagePack* BGPack = nullptr;
  const skin::TAlphaImage* BGImage = nullptr;
  bool Draggable = true;
  // The font text is drawn with (set by ApplyFont).
  platform::TFont Font;

 protected:
  // For a window's root, whose parent is its form and which has no owner.
  explicit TKestControl(platform::TWindowBase& parent);

  virtual void Paint(platform::TCanvas& canvas);
  virtual void PaintBackground(platform::TCanvas& canvas);
  virtual void EntityChanged(app::TEntityHolder& sender);
  virtual void LanguageChanged(app::TEntityHolder& sender);
  virtual void MouseDown(const platform::TMouseEvent& event);
  virtual void MouseMove(const platform::TMouseEvent& event);
  virtual void MouseUp(const platform::TMouseEvent& event);
  // The platform's one-shot notice that the mouse left the window.
  virtual void MouseLeft() {}
  // After every change of the control's size.
  virtual void Resized();
  // Gives the control the shape of its masked background.
  virtual void ApplyShape(const platform::TRegion& shape);
  virtual platform::THitTest HitTest(platform::TPoint screen);

  // Moving the host form with the mouse, from screen points of the mouse
  // events.
  void BeginDrag(platform::TPoint cursor);
  void DragMove(platform::TPoint cursor);
  // The entity manager of the skin's resources, or null.
  app::TEntityManager* Entities() const;
  // The caption of an entity name in the current language.
  std::string Caption(std::string_view name) const;

  bool Dragging = false;

 private:
  void BindHooks();
  void ReadBounds(const skin::TXMLNode& element);
  void ReadAlign(const skin::TXMLNode& element);
  void ReadBackground(const skin::TXMLNode& element);
  void BindLink(const skin::TXMLNode& element);
  void SetDiagnosticName(const std::string& tag);
  void Unbind();
  void UpdateShape();
  std::optional<platform::TRegion> BackgroundShape() const;
  platform::TRect SeenPart() const;

  TKestControl* owner_ = nullptr;
  std::vector<std::unique_ptr<TKestControl>> controls_;
  platform::TPoint dragCursor_;
  platform::TPoint dragOrigin_;
  TSkinForm* dragForm_ = nullptr;
  bool languagesSubscribed_ = false;
  // Set by AfterLoad: the shape is built once loading is done, not on every
  // resize while the tree is being built.
  bool shapeReady_ = false;
  // Every holder this control became a client of (a GROUP loads twice).
  std::vector<app::TEntityHolder*> boundHolders_;
};

// The deepest control below `root` (the root itself excluded) whose id
// equals `id` ignoring case; null when none does.
TKestControl* FindControl(const TKestControl& root, std::string_view id);

// True when the text is an identifier: a letter or "_", then letters,
// digits and "_".
bool IsIdentifier(std::string_view text);

}  // namespace controls
