#ifndef QUORLA_QUERY_CANCEL_WATCH_H_
#define QUORLA_QUERY_CANCEL_WATCH_H_

#include <QElapsedTimer>
#include <QObject>

namespace query {

// Watches the keyboard while a statement runs in the window. The engine asks Cancelled() now and
// then; at most every few dozen milliseconds that lets the window's pending events through, so
// that it repaints and Esc is seen. Other input is held off for as long as the watch lives:
// no second statement can start, and the window cannot close, while one runs.
class CancelWatch : public QObject {
  Q_OBJECT

 public:
  CancelWatch();
  ~CancelWatch() override;
  CancelWatch(const CancelWatch&) = delete;
  CancelWatch& operator=(const CancelWatch&) = delete;

  // True once Esc has been pressed.
  bool Cancelled();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QElapsedTimer since_events_;
  bool cancelled_ = false;
};

}  // namespace query

#endif  // QUORLA_QUERY_CANCEL_WATCH_H_
