// The screen: its size, the cursor table by slot, and the screen-wide cursor override.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "platform/geometry.h"

namespace plat {

// A 32 × 32 (or other size) cursor picture with a transparency mask and a hotspot.
struct CursorImage {
  int w = 0, h = 0;
  std::vector<uint32_t> argb;  // 0xAARRGGBB, alpha 0 = transparent, 255 = opaque
  Point hotspot;
};

class Application;

class Screen {
 public:
  explicit Screen(Application& app) : app_(app) {}
  int Width() const;
  int Height() const;

  // Registers a picture in a slot (negative slots replace the standard cursors everywhere).
  void SetCursorImage(int slot, std::shared_ptr<const CursorImage> img);
  // nullptr when the slot holds no picture of ours (the system's own cursor shows).
  const CursorImage* CursorImageOf(int slot) const;

  // Screen-wide override; crDefault lets each control show its own. Traces "cursor SLOT".
  int Cursor() const { return cursor_; }
  void SetCursor(int slot);

 private:
  Application& app_;
  int cursor_ = 0;
  std::map<int, std::shared_ptr<const CursorImage>> table_;
  std::vector<std::shared_ptr<const CursorImage>> retired_;
};

}  // namespace plat
