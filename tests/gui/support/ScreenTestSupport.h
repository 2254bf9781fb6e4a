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
    /// The folder the last chooser opened in.
    QString chooserStart;

    ScreenContext context()
    {
        ScreenContext context;
        context.store = m_store.get();
        context.date = &m_date;
        context.chooseFolder = [this](QWidget*, const QString& start) {
            chooserStart = start;
            return nextFolder;
        };
        return context;
    }

    KeyValueStore& store() { return *m_store; }

    /// A folder inside the fixture's temporary folder, made if need be.
    QString makeFolder(const QString& name)
    {
        QDir(m_folder.path()).mkpath(name);
        return m_folder.filePath(name);
    }

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
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

/// Keeps tests away from the real home and runtime folders.
inline void isolateHome(const QTemporaryDir& home)
{
    qputenv("HOME", QFile::encodeName(home.path()));
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        qputenv(name, QFile::encodeName(home.filePath(QString::fromLatin1(name))));
}

} // namespace morvex::test
