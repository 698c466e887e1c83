#include "platform/qt/qtfiledialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>

namespace vela {

FileDialogResult QtFileDialog::Run(const FileDialogRequest& request) {
    const bool save = request.mode == FileDialogRequest::Mode::Save;
    QFileDialog dialog(QApplication::activeWindow(), QString::fromStdString(request.title));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // Callers ask about replacing a file themselves, with their own texts.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!request.folder.empty() && QDir(QString::fromStdString(request.folder)).exists())
        dialog.setDirectory(QString::fromStdString(request.folder));
    if (!request.filter.empty())
        dialog.setNameFilters(QString::fromStdString(request.filter).split(QStringLiteral(";;")));
    if (!request.defaultExtension.empty())
        dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    if (!request.initialName.empty() && request.initialName.find('*') == std::string::npos)
        dialog.selectFile(QString::fromStdString(request.initialName));

    FileDialogResult result;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return result;
    result.code = static_cast<int>(FileDialogCode::Ok);
    result.path = QDir::toNativeSeparators(dialog.selectedFiles().constFirst()).toStdString();
    return result;
}

}  // namespace vela
