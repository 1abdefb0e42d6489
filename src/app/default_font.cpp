#include "app/default_font.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

namespace app {

bool CaptionsFit(const QFont& font, const std::vector<CaptionBox>& captions) {
  const QFontMetrics fm(font);
  for (const CaptionBox& c : captions) {
    if (fm.horizontalAdvance(c.text) > c.box.width() || fm.height() > c.box.height()) return false;
  }
  return true;
}

QFont ChooseDefaultFont(const QFont& base, const std::vector<CaptionBox>& captions) {
  QFont font = base;
  for (double pt = kDesignFontPoints; pt >= kSmallestFontPoints; pt -= kFontStepPoints) {
    font.setPointSizeF(pt);
    if (CaptionsFit(font, captions)) return font;
  }
  font.setPointSizeF(kSmallestFontPoints);
  return font;
}

QFont EditorFont() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  QStringList families;
  families << QStringLiteral("DejaVu Sans Mono") << font.family();
  font.setFamilies(families);
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  font.setWeight(QFont::Normal);
  font.setPointSizeF(kEditorFontPoints);
  return font;
}

}  // namespace app
