#include "tool/ctrltoolapp.h"

int main(int argc, char** argv) {
    // The tool takes no command-line arguments; Qt's own (-platform ...) still apply.
    vela::CCtrlToolApp app(argc, argv);
    return app.InitInstance();
}
