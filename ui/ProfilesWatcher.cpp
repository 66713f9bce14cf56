#include "ui/ProfilesWatcher.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QStringList>

#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/Platform.h"

CProfilesWatcher::CProfilesWatcher(QObject* parent) : QObject(parent)
{
    settle.setSingleShot(true);
    settle.setInterval(kSettleMilliseconds);
    filesLater.setSingleShot(true);
    filesLater.setInterval(kFilesAfterMilliseconds);
    connect(&filesLater, &QTimer::timeout, this, &CProfilesWatcher::WatchFiles);
    connect(&watcher, &QFileSystemWatcher::directoryChanged, &settle, qOverload<>(&QTimer::start));
    connect(&watcher, &QFileSystemWatcher::fileChanged, &settle, qOverload<>(&QTimer::start));
    connect(&settle, &QTimer::timeout, this, [this] {
        // A file replaced by a rename is a new file to watch.
        WatchFiles();
        emit FolderChanged();
    });
}

void CProfilesWatcher::Watch(const QString& watched)
{
    filesLater.stop();
    if (!watcher.files().isEmpty())
        watcher.removePaths(watcher.files());
    if (!watcher.directories().isEmpty())
        watcher.removePaths(watcher.directories());
    folder = watched;
    if (folder.isEmpty() || !QDir(folder).exists())
        return;
    watcher.addPath(folder);
    filesLater.start();
}

void CProfilesWatcher::WatchFiles()
{
    if (folder.isEmpty())
        return;
    // The listing tells a regular file without a stat; only a link, or an entry of a
    // file system that gives no type, needs one.
    std::vector<ListedFile> listed;
    ListMatchingFiles(QFile::encodeName(folder).toStdString() + kPathSeparatorText + "*.xml", listed);
    QStringList wanted;
    for (const ListedFile& file : listed) {
        std::error_code error;
        if (file.regular || std::filesystem::is_regular_file(file.path, error))
            wanted << QFile::decodeName(QByteArray::fromStdString(file.path));
    }
    // Watching a path twice only warns, and the paths of removed files go by themselves.
    const QStringList watchedList = watcher.files();
    const QSet<QString> watched(watchedList.begin(), watchedList.end());
    QStringList added;
    for (const QString& path : wanted) {
        if (watched.size() + added.size() >= kMaxWatchedFiles)
            break;
        if (!watched.contains(path))
            added << path;
    }
    if (!added.isEmpty())
        watcher.addPaths(added);
}
