#include "app/ClickGuard.h"

#include <QEvent>
#include <QObject>
#include <QWidget>

namespace orvello {

namespace {

class PressEater : public QObject {
  public:
    explicit PressEater(QWidget* target) : QObject(target) { target->installEventFilter(this); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
                watched->removeEventFilter(this);
                deleteLater();
                return true;
            default:
                return false;
        }
    }
};

}  // namespace

void DropPendingPress(QWidget* target) {
    if (!target) return;
    // Owned by the target; it removes itself after the one press. Should no press come (the
    // focus moved some other way), the next event loop round removes it.
    auto* eater = new PressEater(target);
    QMetaObject::invokeMethod(
        eater,
        [eater, target] {
            target->removeEventFilter(eater);
            eater->deleteLater();
        },
        Qt::QueuedConnection);
}

}  // namespace orvello
