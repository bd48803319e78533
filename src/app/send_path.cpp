// SendText, the one way out for everything the user or the bot says: the client hands each line
// to its outbox (send/outbox.h), which expands it, runs a local command or paces it to the server.
#include "app/client.h"
#include "send/outbox.h"

namespace tc {

void Client::SendText(const TaintedText& text, LineOrigin origin) {
  outbox_->Send(text, origin);
}

const SendQueue& Client::send_queue() const {
  return outbox_->queue();
}

const CoreTimer& Client::anti_flood_timer() const {
  return outbox_->anti_flood_timer();
}

std::vector<std::string>& Client::sent_lines() {
  return outbox_->sent_lines();
}

Client::AutomaticScope::AutomaticScope(Client& core)
    : outbox_(*core.outbox_), old_origin_(outbox_.EnterAutomatic()) {}

Client::AutomaticScope::~AutomaticScope() {
  outbox_.LeaveAutomatic(old_origin_);
}

}  // namespace tc
