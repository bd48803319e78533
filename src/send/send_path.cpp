// SendText, the one way out for everything the user or the bot says: the client hands each line
// to its outbox (send/outbox.h), which expands it, runs a local command or paces it to the server.
#include "app/tc_main.h"
#include "send/outbox.h"

namespace tc {

void TC_Main::SendText(const TaintedText& text, LineOrigin origin) {
  outbox_->Send(text, origin);
}

const SendQueue& TC_Main::send_queue() const {
  return outbox_->queue();
}

const CoreTimer& TC_Main::anti_flood_timer() const {
  return outbox_->anti_flood_timer();
}

std::vector<std::string>& TC_Main::sent_lines() {
  return outbox_->sent_lines();
}

TC_Main::AutomaticScope::AutomaticScope(TC_Main& core)
    : outbox_(*core.outbox_), old_origin_(outbox_.EnterAutomatic()) {}

TC_Main::AutomaticScope::~AutomaticScope() {
  outbox_.LeaveAutomatic(old_origin_);
}

}  // namespace tc
