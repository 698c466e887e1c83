#pragma once

#include <QComboBox>
#include <functional>

namespace vela {

// A drop-down list bound to a control id. Only the operator's choice of another item
// reaches the change handler; selections made by the program never do.
class ParamComboBox : public QComboBox {
    Q_OBJECT

  public:
    explicit ParamComboBox(int ctrlId, QWidget* parent = nullptr);

    int CtrlId() const { return m_ctrlId; }

    // Adds the items with item data 0.
    void AddItems(const QStringList& items);
    // Selects `index` (-1 clears the selection) without reporting a change.
    void SelectQuiet(int index);

    void SetChangeHandler(std::function<void(int ctrlId)> handler);
    // Picks `index` as the operator does from the list (tests and scripted use).
    void OperatorSelect(int index);
    // Closes the open list and takes its highlighted item, as Enter does.
    void AcceptHighlighted();

    void showPopup() override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    void OnActivated(int index);

    int m_ctrlId;
    // The selection before the operator opened the list or pressed a key.
    int m_indexBeforeOperator = -1;
    std::function<void(int)> m_onChange;
};

// Selects item `index` of any combo box without reporting a change; an index outside the
// list leaves nothing selected.
void SelectComboQuiet(QComboBox* combo, int index);

}  // namespace vela
