#include "editing/insert_text.h"

#include "jet/error.h"

namespace editing {

namespace {
int32_t Checked(int64_t v) {
  if (v < INT32_MIN || v > INT32_MAX) throw errors::Overflow();
  return static_cast<int32_t>(v);
}
}  // namespace

EditorState InsertText(const EditorState& before, int32_t saved_start, const QString& intext) {
  const int32_t len = Checked(before.text.size());
  const int32_t s = before.sel_start;
  const int32_t tail = Checked(int64_t{Checked(int64_t{len} - s)} - before.sel_length);
  EditorState after;
  after.text = before.text.left(s) + intext + before.text.right(tail);
  after.sel_start = Checked(int64_t{saved_start} + Checked(intext.size()));
  after.sel_length = 0;
  return after;
}

QString Bracketed(const QString& name) {
  return "[" + name + "]";
}

}  // namespace editing
