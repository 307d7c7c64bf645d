// The screen object: size from the backend, the cursor table and the screen-wide cursor.
#include "platform/ui/screen.h"

#include <string>

#include "platform/trace.h"
#include "platform/ui/application.h"

namespace plat {

int Screen::Width() const { return app_.backend().ScreenSize().w; }
int Screen::Height() const { return app_.backend().ScreenSize().h; }

void Screen::SetCursorImage(int slot, std::shared_ptr<const CursorImage> img) {
  auto& cell = table_[slot];
  // Backends cache cursors by picture address, so a replaced picture is kept alive.
  if (cell) retired_.push_back(std::move(cell));
  cell = std::move(img);
  app_.UpdateCursor();
}

const CursorImage* Screen::CursorImageOf(int slot) const {
  auto it = table_.find(slot);
  return it == table_.end() ? nullptr : it->second.get();
}

void Screen::SetCursor(int slot) {
  if (slot == cursor_) return;
  cursor_ = slot;
  trace::Emit("cursor", std::to_string(slot));
  app_.UpdateCursor();
}

}  // namespace plat
