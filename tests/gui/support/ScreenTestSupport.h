#pragma once

#include "ScreenContext.h"
#include "morvex/KeyValueStore.h"
#include "morvex/MXDate.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>
#include <vector>

namespace morvex::test {

/// A settings store in a temporary folder, a folder chooser that answers what the test says, and the
/// date the hand-written expected files carry. Nothing reaches the user's home.
class ScreenFixture
{
public:
    ScreenFixture()
        : m_store(std::make_unique<KeyValueStore>(
              QFile::encodeName(m_folder.filePath(QStringLiteral("settings.json"))).toStdString())),
          m_date(MXDate::fixed("2026/12/05"))
    {}

    /// Where the next folder chooser answers; nullopt is a cancelled chooser.
    std::optional<QString> nextFolder;
    int chooserRuns = 0;
    /// The folder the last chooser opened in.
    QString chooserStart;

    ScreenContext context()
    {
        ScreenContext context;
        context.store = m_store.get();
        context.date = &m_date;
        context.chooseFolder = [this](QWidget*, const QString& start) {
            ++chooserRuns;
            chooserStart = start;
            return nextFolder;
        };
        return context;
    }

    KeyValueStore& store() { return *m_store; }

    /// A fresh empty folder inside the fixture's temporary folder.
    QString makeFolder(const QString& name)
    {
        QDir(m_folder.path()).mkpath(name);
        return m_folder.filePath(name);
    }

    QString path() const { return m_folder.path(); }

private:
    QTemporaryDir m_folder;
    std::unique_ptr<KeyValueStore> m_store;
    MXDate m_date;
};

/// The bytes of a file; an empty array when it cannot be read.
inline QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

/// The names of the files in `folder`, sorted.
inline QStringList fileNames(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files, QDir::Name);
    return names;
}

/// Keeps tests away from the real home and runtime folders.
inline void isolateHome(const QTemporaryDir& home)
{
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral(".config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral(".local/share"))));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home.filePath(QStringLiteral(".cache"))));
}

} // namespace morvex::test
