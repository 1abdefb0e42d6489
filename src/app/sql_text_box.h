#ifndef QUORLA_APP_SQL_TEXT_BOX_H_
#define QUORLA_APP_SQL_TEXT_BOX_H_

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <cstdint>

namespace app {

// The statement editor. Its text and positions are seen as the window's code sees them: line
// breaks are CR LF and count as two characters in SelStart and SelLength. Tab and Shift+Tab
// move the focus to the next control; Ctrl+Tab types a tab character.
class SqlTextBox : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit SqlTextBox(QWidget* parent = nullptr);

  QString Text() const;
  // CR LF, CR and LF alone all become line breaks. Puts the caret at 0.
  void SetText(const QString& text);

  int32_t SelStart() const;
  int32_t SelLength() const;
  // Puts the caret at `pos` with no selection.
  void SetSelStart(int32_t pos);
  // Selects `length` characters from SelStart.
  void SetSelLength(int32_t length);
  // Puts `text` in place of the `length` characters from `start`, as one step that Undo takes
  // back. The caret is left behind the new text.
  void ReplaceRange(int32_t start, int32_t length, const QString& text);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // Between document positions (one character per line break) and CR LF positions.
  int32_t ToCrLf(int doc_pos) const;
  int ToDoc(int32_t crlf_pos) const;
};

}  // namespace app

#endif  // QUORLA_APP_SQL_TEXT_BOX_H_
