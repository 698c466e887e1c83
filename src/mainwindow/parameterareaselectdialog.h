#pragma once

#include <QDialog>

#include "dialogs/dialogregistry.h"
#include "protocol/onlinestatusregistry.h"

class QComboBox;
class QLabel;

namespace vela {

class StatusStrip;

// Asks for the flash area to store the camera's settings into, or to load them from.
class CParameterAreaSelectDialog : public QDialog, public COnlineStatusUpdater, public RegisteredDialog {
    Q_OBJECT

  public:
    static constexpr int kTemplateId = 108;
    static constexpr int kAreaComboId = 1015;
    static constexpr int kPromptId = 1020;
    static constexpr int kStatusBarId = 1086;

    // `loadMode` 1: choose the area to load from; 0: the area to store into.
    CParameterAreaSelectDialog(QWidget* parent, int loadMode);
    ~CParameterAreaSelectDialog() override;
    CParameterAreaSelectDialog(const CParameterAreaSelectDialog&) = delete;
    CParameterAreaSelectDialog& operator=(const CParameterAreaSelectDialog&) = delete;

    // The modal run: QDialog::Accepted with the selected area set, or Rejected.
    int DoModal();
    // Valid after OK: 0-3, or -1 for an item that names no area.
    int SelectedArea() const { return m_selectedArea; }
    QComboBox* AreaCombo() const { return m_combo; }
    QString PromptText() const;

    // COnlineStatusUpdater
    bool HasStatusBarWindow() const override { return true; }
    void SetStatusBar(bool online) override;
    // RegisteredDialog
    bool HasWindow() const override { return true; }
    void EnableWindow(bool enable) override { setEnabled(enable); }

    void accept() override;

  private:
    void OnInitDialog();

    int m_loadMode;
    int m_selectedArea = -1;
    QComboBox* m_combo;
    QLabel* m_prompt;
    StatusStrip* m_statusBar;
};

}  // namespace vela
