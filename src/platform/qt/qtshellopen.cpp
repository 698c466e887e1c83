#include "platform/qt/qtshellopen.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace vela {

bool QtShellOpen::Open(const std::string& target) {
    const QString text = QString::fromStdString(target);
    const QUrl url = QFileInfo::exists(text) ? QUrl::fromLocalFile(QFileInfo(text).absoluteFilePath())
                                             : QUrl(text, QUrl::StrictMode);
    return url.isValid() && QDesktopServices::openUrl(url);
}

}  // namespace vela
