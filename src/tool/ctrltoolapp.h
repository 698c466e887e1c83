#pragma once

namespace vela {

// The application object: runs the main window modally; when that ends, the process ends.
//
// For pictures of the window without a person at the screen, two environment variables
// are honoured (the tool takes no command-line arguments):
//   VELA_SCREENSHOT=path.png     after start-up, save the main window to path.png and quit
//                                without asking;
//   VELA_SCREENSHOT_AFTER_MS=n   wait n ms after the window shows before taking it (500);
//   VELA_SCREENSHOT_TABS=1       also save every tab as path-<tab>.png (path-user-a.png, ...);
//   VELA_SCREENSHOT_SCREEN=1     save the whole screen instead of the main window.
// A message box that holds the start-up is taken with the whole screen, and the run ends.
class CCtrlToolApp {
  public:
    CCtrlToolApp(int& argc, char** argv);
    int InitInstance();

  private:
    int& m_argc;
    char** m_argv;
};

}  // namespace vela
