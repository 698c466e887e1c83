#pragma once

namespace vela {

// The application object: runs the main window modally; when that ends, the process ends.
//
// For pictures of the window without a person at the screen, these environment variables
// are honoured (the tool takes no command-line arguments; README lists the others):
//   VELA_SCREENSHOT=path.png     after start-up, save the main window to path.png and quit
//                                without asking;
//   VELA_SCREENSHOT_AFTER_MS=n   wait n ms after the window shows before taking it (500);
//   VELA_SCREENSHOT_TABS=1       also save every tab as path-<tab>.png (path-user-a.png, ...);
//   VELA_SCREENSHOT_LUT=1        also save the LUT editor with 8 edit points bent into an S
//                                as path-lut-edit-mode.png, and after writing that table to
//                                the camera and reading it back, as path-lut-view-mode.png;
//   VELA_SCREENSHOT_SCREEN=1     save the whole screen instead of the main window, and beside
//                                it each window shown: path-main.png, path-communication.png,
//                                path-message-box.png.
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
