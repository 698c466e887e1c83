#pragma once

namespace vela {

// What the Communication window asks of the main window: the whole-camera read and the
// setting-file flows, which live there.
class CommunicationHost {
  public:
    virtual ~CommunicationHost() = default;
    // Reads every camera parameter into the pages.
    virtual void ReadCameraSettings() = 0;
    // The "All Data" save flow: file dialog, then the file.
    virtual void SaveSettingFileDialog() = 0;
    // The open flow: file dialog, then the file applied to the camera.
    virtual void OpenSettingFileDialog() = 0;
};

}  // namespace vela
