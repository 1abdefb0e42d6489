#ifndef QUORLA_APP_TWIPS_H_
#define QUORLA_APP_TWIPS_H_

// The window's lengths are designed in twips (1/1440 inch). This is the one place where they
// become pixels and back, through the screen's logical DPI.

#include <QRect>

namespace app {

inline constexpr float kTwipsPerInch = 1440.0f;

// Logical DPI of the primary screen (96 when there is none).
float LogicalDpiX();
float LogicalDpiY();

// Twips to pixels, rounded to the nearest pixel.
int TwipsToPixelsX(float twips);
int TwipsToPixelsY(float twips);
// Twips to pixels, rounded up: the pixel size is never smaller than the twips asked for.
int TwipsToPixelsCeilX(float twips);
int TwipsToPixelsCeilY(float twips);

float PixelsToTwipsX(int pixels);
float PixelsToTwipsY(int pixels);

// A design-time rectangle (left, top, width, height in twips) in pixels.
QRect TwipsRect(float left, float top, float width, float height);

}  // namespace app

#endif  // QUORLA_APP_TWIPS_H_
