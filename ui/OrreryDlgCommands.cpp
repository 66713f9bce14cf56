// What the window adds to the session's commands: the caption with the file shown and
// the modified marker, the "Profile" menu button and the window menu's entries, the
// keys, the watch on the Profiles folder and the state file kept at closing.

#include "ui/OrreryDlg.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "editor/EditorState.h"
#include "platform/Platform.h"
#include "ui/DialogItems.h"
#include "ui/ProfilesWatcher.h"
#include "ui/ProgramInfo.h"
#include "ui/StringTable.h"

namespace {

using Command = COrreryDlg::WindowCommand;

struct CommandEntry {
    Command command;
    int textId;   // 0: a key only, in no menu
    QList<QKeySequence> keys;
};

const std::vector<CommandEntry>& CommandEntries()
{
    static const std::vector<CommandEntry> entries = {
        {Command::Undo, editor::kIdsMenuUndo, {QKeySequence(Qt::CTRL | Qt::Key_Z)}},
        {Command::Redo, editor::kIdsMenuRedo,
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}},
        {Command::Revert, editor::kIdsMenuRevert, {QKeySequence(Qt::CTRL | Qt::Key_R)}},
        {Command::Duplicate, editor::kIdsMenuDuplicate, {QKeySequence(Qt::CTRL | Qt::Key_D)}},
        {Command::Rename, editor::kIdsMenuRename, {QKeySequence(Qt::Key_F2)}},
        {Command::Delete, editor::kIdsMenuDelete, {}},
        {Command::Save, 0, {QKeySequence(Qt::CTRL | Qt::Key_S)}},
        {Command::SaveAs, 0, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}},
        {Command::Close, 0, {QKeySequence(Qt::CTRL | Qt::Key_Q), QKeySequence(Qt::CTRL | Qt::Key_W)}},
    };
    return entries;
}

} // namespace

QAction* COrreryDlg::CommandAction(WindowCommand command) const
{
    const auto found = commands.find(command);
    return found != commands.end() ? found->second : nullptr;
}

void COrreryDlg::CreateCommands()
{
    profileMenu = new QMenu(this);
    // A disabled entry says why in its tooltip.
    profileMenu->setToolTipsVisible(true);
    systemMenu->setToolTipsVisible(true);
    QAction* windowMenuStart = systemMenu->actions().value(0, nullptr);
    for (const CommandEntry& entry : CommandEntries()) {
        auto* action = new QAction(entry.textId != 0 ? ToQt(LoadString(entry.textId)) : QString(), this);
        action->setShortcuts(entry.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        commands[entry.command] = action;
        if (entry.textId != 0) {
            profileMenu->addAction(action);
            systemMenu->insertAction(windowMenuStart, action);
            if (entry.command == Command::Redo) {
                profileMenu->addSeparator();
                systemMenu->insertSeparator(windowMenuStart);
            }
        }
    }
    connect(CommandAction(Command::Undo), &QAction::triggered, this, [this] { session->Undo(); });
    connect(CommandAction(Command::Redo), &QAction::triggered, this, [this] { session->Redo(); });
    connect(CommandAction(Command::Revert), &QAction::triggered, this, [this] { session->RevertToSaved(); });
    connect(CommandAction(Command::Duplicate), &QAction::triggered, this, [this] { session->Duplicate(); });
    connect(CommandAction(Command::Rename), &QAction::triggered, this, [this] { session->Rename(); });
    connect(CommandAction(Command::Delete), &QAction::triggered, this, [this] { session->Delete(); });
    connect(CommandAction(Command::Save), &QAction::triggered, this, [this] { OnSave(); });
    connect(CommandAction(Command::SaveAs), &QAction::triggered, this, [this] { OnSaveAs(); });
    connect(CommandAction(Command::Close), &QAction::triggered, this, [this] { close(); });
    Item<QPushButton>(kIdcProfileMenu)->setMenu(profileMenu);

    // The text fields would take these keys for their own undo and editing.
    for (QWidget* child : findChildren<QWidget*>()) {
        if (qobject_cast<QLineEdit*>(child) != nullptr || qobject_cast<QPlainTextEdit*>(child) != nullptr)
            child->installEventFilter(this);
    }
    if (auto* description = Item<QPlainTextEdit>(kIdcDescription))
        description->setUndoRedoEnabled(false);

    watcher = new CProfilesWatcher(this);
    connect(watcher, &CProfilesWatcher::FolderChanged, this, [this] { OnProfilesFolderChanged(); });
    connect(this, &QDialog::finished, this, [this] { KeepPlace(); });
    UpdateCommands();
}

bool COrreryDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        for (const auto& [command, action] : commands) {
            if (action->shortcuts().contains(pressed)) {
                // Not taken by the field, so the window's shortcut gets the key.
                event->ignore();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

int COrreryDlg::TypingField() const
{
    const QWidget* focus = QApplication::focusWidget();
    for (int id : {kIdcProfileName, kIdcDescription, kIdcDefaultBitrate, kIdcMaxBitrate}) {
        if (focus != nullptr && focus == GetDlgItem(id))
            return id;
    }
    return editor::kNoField;
}

void COrreryDlg::UpdateCommands()
{
    if (commands.empty())
        return;
    const bool shown = session->TypeFile().HasCurrentProfile();
    CommandAction(Command::Undo)->setEnabled(session->CanUndo());
    CommandAction(Command::Redo)->setEnabled(session->CanRedo());
    CommandAction(Command::Revert)->setEnabled(shown);
    CommandAction(Command::Duplicate)->setEnabled(shown);
    const std::pair<Command, editor::CEditorSession::Command> guarded[] = {
        {Command::Rename, editor::CEditorSession::Command::Rename},
        {Command::Delete, editor::CEditorSession::Command::Delete},
    };
    for (const auto& [command, sessionCommand] : guarded) {
        QAction* action = CommandAction(command);
        const std::string refusal = session->CommandRefusal(sessionCommand);
        action->setEnabled(shown && refusal.empty());
        action->setToolTip(refusal.empty() ? action->text().remove(QLatin1Char('&')) : ToQt(refusal));
    }
}

void COrreryDlg::ChangedStateChanged(bool changed)
{
    // The caption shows the marker only where it has its place holder.
    if (windowTitle().contains(QStringLiteral("[*]")))
        setWindowModified(changed);
    UpdateCommands();
}

void COrreryDlg::ProfileShown(const std::string& fileName, bool builtIn)
{
    shownFileName = fileName;
    shownBuiltIn = builtIn;
    if (fileName.empty()) {
        setWindowTitle(QString::fromUtf8(kMainWindowCaption));
    } else {
        std::string shown = fileName;
        if (builtIn)
            shown += " " + LoadString(editor::kIdsBuiltInMark);
        setWindowTitle(ToQt(shown) + QStringLiteral("[*] \u2014 ") + QString::fromUtf8(kMainWindowCaption));
        setWindowModified(IsChanged());
    }
    UpdateCommands();
}

void COrreryDlg::HistoryChanged()
{
    UpdateCommands();
}

void COrreryDlg::EditPending()
{
    // Taken as one step once the notifications of this action are over.
    QTimer::singleShot(0, this, [this] {
        session->CommitEdit();
        UpdateCommands();
    });
    UpdateCommands();
}

void COrreryDlg::LabelItem(editor::Selector selector, int index, const std::string& label)
{
    SelectorBox(selector)->setItemText(index, ToQt(label));
}

void COrreryDlg::OnProfilesFolderChanged()
{
    // Not while a question or a dialog of the window is open: the user answers that
    // first.
    const QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && modal != this) {
        watcher->Postpone();
        return;
    }
    session->ProfilesFolderChanged();
}

void COrreryDlg::WatchProfilesFolder()
{
    watcher->Watch(ProfilesRoot().empty() ? QString() : ToQt(editor::ProfilesFolder(ProfilesRoot())));
}

void COrreryDlg::ReturnToPlace()
{
    editor::EditorPlace place;
    if (!editor::ReadEditorPlace(editor::StateFilePath(), place))
        return;
    session->ReturnTo(place);
    if (place.hasWindowPosition) {
        const QPoint position(place.windowX, place.windowY);
        // A screen that is gone no longer holds the window.
        if (QGuiApplication::screenAt(position) != nullptr)
            move(position);
    }
}

void COrreryDlg::KeepPlace()
{
    editor::EditorPlace place = session->Place();
    // A window that never showed has no place on the screen to keep.
    place.hasWindowPosition = windowHandle() != nullptr;
    place.windowX = pos().x();
    place.windowY = pos().y();
    const std::string path = editor::StateFilePath();
    std::string reason;
    if (!editor::WriteEditorPlace(path, place, reason))
        MessageWithPath(editor::kIdsStateNotSaved, path + "\n" + reason, PromptButtons::Ok, PromptIcon::Warning);
}
