#pragma once

#include <functional>

class QEvent;
class QObject;
class QWidget;

namespace vexa {

// Runs `handler` on every event `watched` receives; true from the handler
// takes the event. The hook lives as long as `watched`, so each job that
// watches a widget has its own hook instead of a shared filter.
void OnEvent(QObject* watched, std::function<bool(QEvent*)> handler);

// Runs `action` when `widget` is clicked with the left button (released over
// it) or, when it has the focus, on Space, Return or Enter: a button made of
// a label or a colour panel.
void OnActivate(QWidget* widget, std::function<void()> action);

} // namespace vexa
