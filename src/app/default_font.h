#ifndef QUORLA_APP_DEFAULT_FONT_H_
#define QUORLA_APP_DEFAULT_FONT_H_

#include <QFont>
#include <QSize>
#include <QString>
#include <vector>

namespace app {

// The window's default font: 8 pt like the system font the window was designed with, made
// smaller in half points when a caption would not fit its design-time box.
inline constexpr double kDesignFontPoints = 8.0;
inline constexpr double kSmallestFontPoints = 6.0;
inline constexpr double kFontStepPoints = 0.5;

struct CaptionBox {
  QString text;
  QSize box;  // pixels
};

bool CaptionsFit(const QFont& font, const std::vector<CaptionBox>& captions);
QFont ChooseDefaultFont(const QFont& base, const std::vector<CaptionBox>& captions);

// Fixed-width 9 pt font for the editor.
QFont EditorFont();
inline constexpr double kEditorFontPoints = 9.0;

}  // namespace app

#endif  // QUORLA_APP_DEFAULT_FONT_H_
