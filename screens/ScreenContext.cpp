#include "ScreenContext.h"

#include <QCoreApplication>
#include <QFileDialog>

namespace morvex {

ScreenContext ScreenContext::standard()
{
    ScreenContext context;
    context.store = &KeyValueStore::shared();
    context.chooseFolder = &ScreenContext::standardFolderChooser;
    context.date = &MXDate::shared();
    return context;
}

std::optional<QString> ScreenContext::standardFolderChooser(QWidget* parent, const QString& startFolder)
{
    const QString folder = QFileDialog::getExistingDirectory(
        parent, QCoreApplication::translate("morvex::ScreenContext", "选择代码输出路径"), startFolder,
        QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

} // namespace morvex
