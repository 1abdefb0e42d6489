#include "app/layout.h"

#include <cmath>

#include "jet/error.h"

namespace app {

namespace {
float CheckedSub(float a, float b) {
  const float r = a - b;
  if (!std::isfinite(r)) throw errors::Overflow();
  return r;
}
}  // namespace

void LayoutOnResize(ResizableWindow& w) {
  if (w.IsMinimized()) return;
  if (w.Width() < kMinOuterWidth || w.Height() < kMinOuterHeight) {
    w.SetWidth(kMinOuterWidth);
    w.SetHeight(kMinOuterHeight);
  }
  const float left = w.GridLeft();
  w.SetGridWidth(CheckedSub(w.ScaleWidth(), 2 * left));
  w.SetEditorWidth(w.GridWidth());
  w.SetGridHeight(CheckedSub(CheckedSub(w.ScaleHeight(), left), w.GridTop()));
}

}  // namespace app
