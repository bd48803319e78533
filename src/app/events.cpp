// PerformEvent: the one entry through which the rest of the program raises a bot event.
#include "automation/events.h"

#include "app/client.h"

namespace tc {

void Client::PerformEvent(Event event, std::string_view user, std::string_view text) {
  if (event_hook_) {
    // An event's actions are the program's own doing, whoever raised it.
    const AutomaticScope automatic(*this);
    event_hook_(event, user, text);
  }
  switch (event) {
    case Event::kUserSpoke:
    case Event::kUserWhispered:
    case Event::kUserEmote:
    case Event::kYouWhispered:
      // Talk reaches the keys as "Messages;", "Whispers;" and "Emotes;" from its handlers.
      return;
    default:
      break;
  }
  RunKeys(user, text, EventName(event));
}

}  // namespace tc
