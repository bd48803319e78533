// Renders the main window offscreen with a short conversation and saves it as a PNG: the README's
// picture. Usage: tc_screenshot OUTPUT.png (run with QT_QPA_PLATFORM=offscreen).
#include <QApplication>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>

#include "gui/window_fixture.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  if (argc != 2) {
    std::fputs("usage: tc_screenshot OUTPUT.png\n", stderr);
    return 2;
  }
  QApplication app(argc, argv);
  tc::gui::WindowRig rig;
  rig.LogIn("talvexbot", "Talvex Chat");
  for (const char* line :
       {"1001 USER alice 0010 [CHAT]", "1001 USER bob 0000 [STAR]", "1001 USER carol 0000 [W2BN]",
        "1001 USER dave 0000 [SEXP]", "1002 JOIN erin 0000 [DRTL]",
        "1005 TALK alice 0010 \"hi everyone!\"",
        "1005 TALK bob 0000 \"anyone up for a game tonight?\"", "1023 EMOTE carol 0000 \"waves\"",
        "1018 INFO \"Welcome to the channel.\"",
        "1004 WHISPER dave 0000 \"ping me when you are back\""}) {
    rig.Server(line);
  }
  rig.window->Call([](tc::Client& c) {
    c.whisper_recipients().Append({"alice"});
    c.ShowLocal("System ( Ready. )");
  });
  rig.Server("1004 WHISPER alice 0010 \"see you in the other channel\"");
  rig.Settle();
  const QPixmap picture = rig.window->grab();
  if (!picture.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
    std::fprintf(stderr, "tc_screenshot: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
