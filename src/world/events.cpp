// The one listener for the world's game events.
#include "world/events.h"

namespace brambleshot {

namespace {
EventListener currentListener = nullptr;
}

void setEventListener(EventListener listener) {
  currentListener = listener;
}

void raiseEvent(GameEvent event, double x) {
  if (currentListener != nullptr) currentListener(event, x);
}

}  // namespace brambleshot
