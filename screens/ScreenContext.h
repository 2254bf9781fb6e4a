#pragma once

#include "morvex/KeyValueStore.h"
#include "morvex/MXDate.h"

#include <QString>

#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

class QWidget;

namespace morvex {

/// What the screens take from outside: where the remembered values live, how a folder is chosen, and the
/// date for file headers. Tests replace each of them.
struct ScreenContext
{
    /// Runs a modal folder chooser over `parent`, opened in `startFolder`; the chosen folder's path, or nullopt
    /// when cancelled.
    using FolderChooser = std::function<std::optional<QString>(QWidget* parent, const QString& startFolder)>;

    /// The key of the last output folder chosen, stored as text beside the four remembered values.
    static constexpr std::string_view lastFolderKey = "LastOutputFolder";
    /// Whether the settings sheet last asked for faithful models: "true" or "false", stored beside the others.
    static constexpr std::string_view faithfulKey = "FaithfulModels";

    KeyValueStore* store = nullptr;
    FolderChooser chooseFolder;
    const MXDate* date = nullptr;
    /// How much code (UTF-8 bytes) the code view shows at most: a view of a hundred megabytes takes a minute and
    /// gigabytes to lay out. The files are always written whole.
    std::size_t codeShownAtMost = std::size_t{2} << 20;

    /// The user's store, Qt's folder dialog and today's date.
    static ScreenContext standard();

    /// Qt's directory dialog: folders only, one of them.
    static std::optional<QString> standardFolderChooser(QWidget* parent, const QString& startFolder);
};

} // namespace morvex
