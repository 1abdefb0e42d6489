#ifndef QUORLA_EDITING_INSERT_TEXT_H_
#define QUORLA_EDITING_INSERT_TEXT_H_

#include <QString>
#include <cstdint>

namespace editing {

// The editor's text and selection (positions in characters from 0).
struct EditorState {
  QString text;
  int32_t sel_start = 0;
  int32_t sel_length = 0;
};

// Puts `intext` in place of the selection; the caret lands at the position the selection
// started at, as read before the text changed, plus the length of `intext`, with no selection.
// Each length calculation is checked for 32-bit overflow (jet::Error 6).
EditorState InsertText(const EditorState& before, int32_t saved_start, const QString& intext);

// "[" + name + "]", the name unchanged.
QString Bracketed(const QString& name);

}  // namespace editing

#endif  // QUORLA_EDITING_INSERT_TEXT_H_
