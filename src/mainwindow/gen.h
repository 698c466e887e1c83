#pragma once

class QWidget;
class QAbstractButton;

namespace vela {

// Sorts the widgets of the pages into the kinds the control handlers tell apart.
// Stateless; one process-wide instance.
class CGen {
  public:
    // ClassifyWindow results
    static constexpr int kOther = 0;
    static constexpr int kEdit = 1;
    static constexpr int kUpDown = 2;
    static constexpr int kComboBox = 3;
    static constexpr int kButton = 4;  // also a group box, as its class is a button's
    // GetButtonKind / GetControlKind results
    static constexpr int kPushButton = 5;
    static constexpr int kCheckBox = 6;
    static constexpr int kRadioButton = 7;

    static CGen& Instance();

    // The widget's class: a spin edit counts as an edit here, because keys typed into it
    // reach its text.
    int ClassifyWindow(const QWidget* window) const;
    // As ClassifyWindow, but a spin edit looked up by its up-down id is an up-down.
    int ClassifyControl(const QWidget* window, int ctrlId) const;
    // 5 push button, 6 check box, 7 radio button, 0 any other (a group box included).
    int GetButtonKind(const QWidget* window) const;
    // 1 edit, 2 up-down, 3 combo box, 5/6/7 by button kind, 4 other button, 0 other.
    int GetControlKind(const QWidget* window, int ctrlId = 0) const;

    // A radio group is a run of radio buttons among their parent's children, in child
    // order, starting at a button whose "groupStart" property is true (or at the first
    // radio button of the run). Returns false when `button` is not a radio button.
    bool GetRadioGroup(QAbstractButton* button, int& index, int& firstId) const;
    // Position of the checked button of the group that starts at `first`; false if none.
    bool GetRadioIndex(QAbstractButton* first, int& index) const;
    // Checks the button at `index` and unchecks the others; false when the group is shorter.
    bool SetRadioIndex(QAbstractButton* first, int index) const;
};

}  // namespace vela
