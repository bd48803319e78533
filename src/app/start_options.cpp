#include "app/start_options.h"

namespace tc {

void TC_Main::Start(const StartOptions& options) {
  if (options.profile) SelectProfileAtStartUp(*options.profile);
  // FormCreate reads the stored settings; the command line wins over them for this run.
  FormCreate();
  ApplyOverrides(options.overrides);
  if (options.activate_now) FormActivate();
}

}  // namespace tc
