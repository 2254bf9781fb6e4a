#include "ScreenContext.h"

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

std::optional<QString> ScreenContext::standardFolderChooser(QWidget* parent)
{
    const QString folder = QFileDialog::getExistingDirectory(parent, QString::fromUtf8(u8"选择代码输出路径"), QString(),
                                                             QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

} // namespace morvex
