#pragma once

#include <QPointer>
#include <array>
#include <memory>

#include "camera/gammafile.h"

class QWidget;

namespace vela {

class CLUTDlg;

// The main window's three LUT editors (red, green, blue) and the menu commands that move
// their tables between the camera and gamma files. A supported (monochrome) camera uses
// only the second editor.
class LutEditors {
  public:
    static constexpr int kEditorCount = 3;
    static constexpr int kMonochromeEditor = 1;
    static constexpr int kCascadeStep = 50;

    // The three editor objects, without windows. `mainWindow` is disabled while all
    // tables are read.
    explicit LutEditors(QWidget* mainWindow);
    ~LutEditors();
    LutEditors(const LutEditors&) = delete;
    LutEditors& operator=(const LutEditors&) = delete;

    // Creates the editor windows that do not exist yet, hidden and top-level, each new one
    // 50 pixels further right and down than the one before.
    void CreateLutEditors();
    // Shows (1) or hides (otherwise) the monochrome editor of a supported model, all
    // three with an unsupported one.
    void ShowLutEditors(int show);
    // Reads the camera's table into the monochrome editor, or into all three in turn
    // (stopping at a failure) for an unsupported model; 1 when every read succeeded.
    int ReadAllTablesFromCamera();
    void DestroyWindows();

    CLUTDlg* Editor(int index) const;
    LutTableRefs Tables() const;

    // The LUT menu.
    void OnOpenLutFile();
    void OnSaveLutFile();
    void OnLoadAllLutTable();

  private:
    QPointer<QWidget> m_mainWindow;
    std::array<std::unique_ptr<CLUTDlg>, kEditorCount> m_editors;
};

}  // namespace vela
