#pragma once

// Watches the Profiles folder for other programs' work: files added, removed or
// replaced (the folder) and files rewritten in place (each profile file). A burst of
// changes, such as a save that writes a temporary file and renames it, is told once,
// after the folder has been quiet for a moment.

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

class CProfilesWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr int kSettleMilliseconds = 300;
    // Files watched one by one, at most; beyond them only the folder is watched (files
    // added, removed or replaced are still seen, rewrites in place no longer), so a huge
    // folder never uses up the system's watches.
    static constexpr int kMaxWatchedFiles = 1000;
    // The files are watched this long after the folder, so a start shows its window
    // before it sets up a watch for each of them; a file rewritten in place meanwhile is
    // seen at the next change of the folder, which compares every file.
    static constexpr int kFilesAfterMilliseconds = 250;

    explicit CProfilesWatcher(QObject* parent = nullptr);

    // Watches the folder at once and its profile files kFilesAfterMilliseconds later; an
    // empty folder stops watching.
    void Watch(const QString& folder);
    QStringList WatchedFiles() const { return watcher.files(); }
    const QString& Folder() const { return folder; }
    // Tells the change again later (when it came at a moment it could not be taken in).
    void Postpone() { settle.start(); }

signals:
    void FolderChanged();

private:
    void WatchFiles();

    QFileSystemWatcher watcher;
    QTimer settle;
    QTimer filesLater;
    QString folder;
};
