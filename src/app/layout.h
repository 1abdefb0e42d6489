#ifndef QUORLA_APP_LAYOUT_H_
#define QUORLA_APP_LAYOUT_H_

// What the window does on every resize: keep its minimum outer size, stretch the editor and the
// grid to the width and the grid to the height. All lengths are twips.

namespace app {

inline constexpr float kMinOuterWidth = 9500.0f;
inline constexpr float kMinOuterHeight = 9615.0f;

// The window as the resize handling sees it. Setting the outer width or height may run the
// resize handling again, nested, before the setter returns.
class ResizableWindow {
 public:
  virtual ~ResizableWindow() = default;
  virtual bool IsMinimized() const = 0;
  virtual float Width() const = 0;  // outer, with frame, caption and menu bar
  virtual float Height() const = 0;
  virtual void SetWidth(float twips) = 0;
  virtual void SetHeight(float twips) = 0;
  virtual float ScaleWidth() const = 0;  // client area
  virtual float ScaleHeight() const = 0;
  virtual float GridLeft() const = 0;
  virtual float GridTop() const = 0;
  virtual float GridWidth() const = 0;
  virtual void SetGridWidth(float twips) = 0;
  virtual void SetGridHeight(float twips) = 0;
  virtual void SetEditorWidth(float twips) = 0;
};

// The resize handling. No trap of its own: a floating-point fault raises jet::Error (overflow).
void LayoutOnResize(ResizableWindow& w);

}  // namespace app

#endif  // QUORLA_APP_LAYOUT_H_
