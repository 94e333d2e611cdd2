#include "EventHooks.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace vexa {
namespace {

class EventHook final : public QObject {
public:
    EventHook(QObject* watched, std::function<bool(QEvent*)> handler)
        : QObject(watched), handler_(std::move(handler))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        return watched == parent() && handler_(event);
    }

private:
    std::function<bool(QEvent*)> handler_;
};

} // namespace

void OnEvent(QObject* watched, std::function<bool(QEvent*)> handler)
{
    new EventHook(watched, std::move(handler));
}

void OnActivate(QWidget* widget, std::function<void()> action)
{
    OnEvent(widget, [widget, action = std::move(action)](QEvent* event) {
        bool activated = false;
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            activated = mouse->button() == Qt::LeftButton &&
                        widget->rect().contains(mouse->position().toPoint());
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            activated = key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
        }
        if (activated)
            action();
        return activated;
    });
}

} // namespace vexa
