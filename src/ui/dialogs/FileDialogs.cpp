#include "ui/dialogs/FileDialogs.h"

#include <QFileDialog>
#include <QStringList>

namespace v7300 {

std::string QtFilter(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList names;
    for (int i = 0; i < parts.size(); i += 2) names << parts[i];
    return names.join(QStringLiteral(";;")).toStdString();
}

namespace {
std::string run(QWidget* parent, const std::string& filter, const std::string& defaultExt, bool save) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(QString::fromStdString(QtFilter(filter)));
    QString suffix = QString::fromStdString(defaultExt);
    if (suffix.startsWith(QLatin1Char('.'))) suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front().toStdString();
}
} // namespace

std::string TQtFileDialogs::OpenFile(QWidget* parent, const std::string& filter, const std::string& defaultExt) {
    return run(parent, filter, defaultExt, false);
}
std::string TQtFileDialogs::SaveFile(QWidget* parent, const std::string& filter, const std::string& defaultExt) {
    return run(parent, filter, defaultExt, true);
}

} // namespace v7300
