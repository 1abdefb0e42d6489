#include "app/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace app {

namespace {
constexpr float kFallbackDpi = 96.0f;

QScreen* Screen() {
  return QGuiApplication::primaryScreen();
}
}  // namespace

float LogicalDpiX() {
  QScreen* s = Screen();
  return s ? static_cast<float>(s->logicalDotsPerInchX()) : kFallbackDpi;
}

float LogicalDpiY() {
  QScreen* s = Screen();
  return s ? static_cast<float>(s->logicalDotsPerInchY()) : kFallbackDpi;
}

int TwipsToPixelsX(float twips) {
  return static_cast<int>(std::lround(twips * LogicalDpiX() / kTwipsPerInch));
}
int TwipsToPixelsY(float twips) {
  return static_cast<int>(std::lround(twips * LogicalDpiY() / kTwipsPerInch));
}
// Computed in double so that ceil(t) pixels read back as at least t twips.
int TwipsToPixelsCeilX(float twips) {
  return static_cast<int>(std::ceil(double{twips} * LogicalDpiX() / kTwipsPerInch));
}
int TwipsToPixelsCeilY(float twips) {
  return static_cast<int>(std::ceil(double{twips} * LogicalDpiY() / kTwipsPerInch));
}

float PixelsToTwipsX(int pixels) {
  return static_cast<float>(double{pixels * 1.0} * kTwipsPerInch / LogicalDpiX());
}
float PixelsToTwipsY(int pixels) {
  return static_cast<float>(double{pixels * 1.0} * kTwipsPerInch / LogicalDpiY());
}

QRect TwipsRect(float left, float top, float width, float height) {
  return QRect(TwipsToPixelsX(left), TwipsToPixelsY(top), TwipsToPixelsX(width),
               TwipsToPixelsY(height));
}

}  // namespace app
