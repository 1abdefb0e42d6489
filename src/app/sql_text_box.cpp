#include "app/sql_text_box.h"

#include <QTextCursor>

namespace app {

namespace {
// The document holds a line break as one '\n'.
QString ToPlain(const QString& text) {
  QString plain = text;
  plain.replace("\r\n", "\n");
  plain.replace('\r', '\n');
  return plain;
}
}  // namespace

SqlTextBox::SqlTextBox(QWidget* parent) : QPlainTextEdit(parent) {
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setTabChangesFocus(true);
}

QString SqlTextBox::Text() const {
  QString text = toPlainText();
  text.replace('\n', "\r\n");
  return text;
}

void SqlTextBox::SetText(const QString& text) {
  setPlainText(ToPlain(text));
}

int32_t SqlTextBox::ToCrLf(int doc_pos) const {
  const QString plain = toPlainText();
  const int end = std::min<int>(doc_pos, static_cast<int>(plain.size()));
  int32_t breaks = 0;
  for (int i = 0; i < end; ++i) {
    if (plain[i] == '\n') ++breaks;
  }
  return doc_pos + breaks;
}

int SqlTextBox::ToDoc(int32_t crlf_pos) const {
  const QString plain = toPlainText();
  int32_t seen = 0;
  int i = 0;
  for (; i < plain.size() && seen < crlf_pos; ++i) seen += plain[i] == '\n' ? 2 : 1;
  return i;
}

int32_t SqlTextBox::SelStart() const {
  return ToCrLf(textCursor().selectionStart());
}

int32_t SqlTextBox::SelLength() const {
  const QTextCursor c = textCursor();
  return ToCrLf(c.selectionEnd()) - ToCrLf(c.selectionStart());
}

void SqlTextBox::SetSelStart(int32_t pos) {
  QTextCursor c = textCursor();
  c.setPosition(ToDoc(std::max(pos, 0)));
  setTextCursor(c);
}

void SqlTextBox::SetSelLength(int32_t length) {
  QTextCursor c = textCursor();
  const int32_t start = ToCrLf(c.selectionStart());
  c.setPosition(ToDoc(start));
  c.setPosition(ToDoc(start + std::max(length, 0)), QTextCursor::KeepAnchor);
  setTextCursor(c);
}

void SqlTextBox::ReplaceRange(int32_t start, int32_t length, const QString& text) {
  QTextCursor c = textCursor();
  c.setPosition(ToDoc(std::max(start, 0)));
  c.setPosition(ToDoc(std::max(start, 0) + std::max(length, 0)), QTextCursor::KeepAnchor);
  // An edit block of its own: one undo step, never merged with typing before or after it.
  c.beginEditBlock();
  c.insertText(ToPlain(text));
  c.endEditBlock();
  setTextCursor(c);
}

void SqlTextBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Tab && event->modifiers() == Qt::ControlModifier) {
    textCursor().insertText(QStringLiteral("\t"));
    event->accept();
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

}  // namespace app
