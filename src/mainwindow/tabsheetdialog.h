#pragma once

#include <QDialog>
#include <QHash>
#include <QList>
#include <QString>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vela {

class CCtrlToolDlg;
class ParamComboBox;
class SpinEditBox;

// Template ids of the three pages.
inline constexpr int kUserAPageTemplate = 111;
inline constexpr int kUserBPageTemplate = 112;
inline constexpr int kFactoryAPageTemplate = 117;

// One parameter page inside the main window's tab control. Its widgets carry their
// control ids; every operator change is handed to the owner's control-event dispatcher.
class CTabSheetDialog : public QDialog {
    Q_OBJECT

  public:
    CTabSheetDialog(int templateId, int factoryPage, const QString& caption, CCtrlToolDlg* owner);

    // Creates the page's widgets from its template id as a child of `parent`; 1 when the
    // template is known (an unknown id gives an empty page and 0).
    int Create(QWidget* parent);
    bool IsCreated() const { return m_created; }

    int TemplateId() const { return m_templateId; }
    int IsFactoryPage() const { return m_factoryPage; }
    const QString& Caption() const { return m_caption; }
    CCtrlToolDlg* Owner() const { return m_owner; }
    // From now on the page's widgets report nothing: the owner is going away.
    void DetachOwner() { m_owner = nullptr; }

    // The widget bound to `ctrlId` on this page, or nullptr. A spin edit answers to its
    // edit id and to its up-down id.
    QWidget* ControlById(int ctrlId) const;
    // Every control id of the page, ascending.
    QList<int> ControlIds() const;

    // Builders for the page layouts: each makes a bound widget and wires its events.
    ParamComboBox* AddCombo(int ctrlId, const QStringList& items);
    SpinEditBox* AddSpin(int editId, int upDownId);
    QLabel* AddStatic(int ctrlId, const QString& text);
    QPushButton* AddButton(int ctrlId, const QString& text);
    QLineEdit* AddEdit(int ctrlId);
    // A widget of the template that is created hidden and disabled and never shown.
    void HideForever(QWidget* widget);

  protected:
    // Enter and Escape never end a page: the owner's key hook has rewritten them.
    void accept() override {}
    void reject() override {}

  private:
    void OnInitDialog();
    void Register(QWidget* widget, int ctrlId);

    CCtrlToolDlg* m_owner;
    int m_templateId;
    int m_factoryPage;
    QString m_caption;
    bool m_created = false;
    QHash<int, QWidget*> m_controls;
};

// Fills `page` with the widgets and layout of its template; false for an unknown id.
bool BuildPageLayout(CTabSheetDialog& page);

}  // namespace vela
