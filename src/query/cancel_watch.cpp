#include "query/cancel_watch.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>

namespace query {
namespace {

constexpr qint64 kMillisecondsBetweenEvents = 40;

bool IsInput(QEvent::Type type) {
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
      return true;
    default:
      return false;
  }
}

}  // namespace

CancelWatch::CancelWatch() {
  since_events_.start();
  if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
}

CancelWatch::~CancelWatch() {
  if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
}

bool CancelWatch::Cancelled() {
  if (!cancelled_ && since_events_.elapsed() >= kMillisecondsBetweenEvents) {
    QCoreApplication::processEvents();
    since_events_.restart();
  }
  return cancelled_;
}

bool CancelWatch::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    cancelled_ = true;
    return true;
  }
  if (event->type() == QEvent::Close) {
    event->ignore();
    return true;
  }
  return IsInput(event->type()) || QObject::eventFilter(watched, event);
}

}  // namespace query
