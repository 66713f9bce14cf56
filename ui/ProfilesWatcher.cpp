#include "ui/ProfilesWatcher.h"

#include <QDir>
#include <QSet>
#include <QStringList>

CProfilesWatcher::CProfilesWatcher(QObject* parent) : QObject(parent)
{
    settle.setSingleShot(true);
    settle.setInterval(kSettleMilliseconds);
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
    if (!watcher.files().isEmpty())
        watcher.removePaths(watcher.files());
    if (!watcher.directories().isEmpty())
        watcher.removePaths(watcher.directories());
    folder = watched;
    if (folder.isEmpty() || !QDir(folder).exists())
        return;
    watcher.addPath(folder);
    WatchFiles();
}

void CProfilesWatcher::WatchFiles()
{
    if (folder.isEmpty())
        return;
    const QDir dir(folder);
    QStringList wanted;
    for (const QString& name : dir.entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name))
        wanted << dir.filePath(name);
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
