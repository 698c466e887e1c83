#include "mainwindow/mainmenu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "protocol/controlids.h"

namespace vela {
namespace {

void AddItem(QMenu* menu, const QString& text, int commandId, const std::function<void(int)>& onCommand) {
    QAction* action = menu->addAction(text);
    action->setData(commandId);
    action->setObjectName(QStringLiteral("cmd%1").arg(commandId));
    QObject::connect(action, &QAction::triggered, menu, [onCommand, commandId] { onCommand(commandId); });
}

}  // namespace

QMenuBar* CreateMainMenu(QWidget* parent, const std::function<void(int)>& onCommand) {
    using namespace ctl;
    auto* bar = new QMenuBar(parent);
    bar->setObjectName(QStringLiteral("menu600"));
    // The dialog's menu sits in the window on every platform, as the tool's windows do.
    bar->setNativeMenuBar(false);

    QMenu* file = bar->addMenu(QStringLiteral("File(&F)"));
    AddItem(file, QStringLiteral("&Open"), kMenuOpenSettingFile, onCommand);
    QMenu* saveAs = file->addMenu(QStringLiteral("&Save as"));
    AddItem(saveAs, QStringLiteral("All Data"), kMenuSaveAllData, onCommand);
    AddItem(saveAs, QStringLiteral("Shipping Data"), kMenuSaveShippingData, onCommand);
    file->addSeparator();
    AddItem(file, QStringLiteral("E&xit"), kMenuExit, onCommand);

    QMenu* settings = bar->addMenu(QStringLiteral("Settings(&S)"));
    AddItem(settings, QStringLiteral("&Reload"), kMenuReload, onCommand);
    settings->addSeparator();
    AddItem(settings, QStringLiteral("&Load settings"), kMenuLoadSettings, onCommand);
    AddItem(settings, QStringLiteral("&Store settings"), kMenuStoreSettings, onCommand);
    settings->addSeparator();
    AddItem(settings, QStringLiteral("Fast answers"), kMenuFastAnswers, onCommand);
    settings->actions().constLast()->setCheckable(true);

    QMenu* utility = bar->addMenu(QStringLiteral("Utility(&U)"));
    AddItem(utility, QStringLiteral("Edit user id"), kMenuEditUserId, onCommand);
    AddItem(utility, QStringLiteral("Edit camera id"), kMenuEditCameraId, onCommand);

    QMenu* lut = bar->addMenu(QStringLiteral("LUT(&L)"));
    AddItem(lut, QStringLiteral("&Open LUT file"), kMenuOpenLutFile, onCommand);
    AddItem(lut, QStringLiteral("&Save LUT file"), kMenuSaveLutFile, onCommand);
    lut->addSeparator();
    AddItem(lut, QStringLiteral("&Load all LUT table"), kMenuLoadAllLut, onCommand);

    QMenu* help = bar->addMenu(QStringLiteral("Help(&H)"));
    AddItem(help, QStringLiteral("&About this application"), kMenuAbout, onCommand);
    AddItem(help, QStringLiteral("&Open Communication Dialog"), kMenuOpenCommunication, onCommand);
    return bar;
}

}  // namespace vela
