#pragma once

namespace vela {

// The application object: runs the main window modally; when that ends, the process ends.
class CCtrlToolApp {
  public:
    CCtrlToolApp(int& argc, char** argv);
    int InitInstance();

  private:
    int& m_argc;
    char** m_argv;
};

}  // namespace vela
