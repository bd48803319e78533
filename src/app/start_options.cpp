#include "app/start_options.h"

namespace tc {

void Client::Start(const StartOptions& options) {
  if (options.profile) SelectProfileAtStartUp(*options.profile);
  // Initialise reads the stored settings; the command line wins over them for this run.
  Initialise();
  ApplyOverrides(options.overrides);
  if (options.activate_now) Activate();
}

}  // namespace tc
