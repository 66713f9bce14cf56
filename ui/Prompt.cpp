#include "ui/Prompt.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QString>

#include <vector>

#include "editor/StringTable.h"

int CQtPrompt::MessageBox(const std::string& text, const std::string& caption, PromptButtons buttons,
                          PromptIcon icon)
{
    QMessageBox box(owner);
    box.setWindowTitle(QString::fromStdString(caption));
    box.setText(QString::fromStdString(text));
    box.setTextFormat(Qt::PlainText);
    switch (icon) {
    case PromptIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case PromptIcon::Information: box.setIcon(QMessageBox::Information); break;
    case PromptIcon::Question: box.setIcon(QMessageBox::Question); break;
    case PromptIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    }
    // Each button with the answer it gives; the first is the default button.
    struct Answer {
        QMessageBox::StandardButton button;
        int id;
    };
    std::vector<Answer> answers;
    switch (buttons) {
    case PromptButtons::Ok: answers = {{QMessageBox::Ok, kIdOk}}; break;
    case PromptButtons::OkCancel: answers = {{QMessageBox::Ok, kIdOk}, {QMessageBox::Cancel, kIdCancel}}; break;
    case PromptButtons::YesNo: answers = {{QMessageBox::Yes, kIdYes}, {QMessageBox::No, kIdNo}}; break;
    case PromptButtons::YesNoCancel:
        answers = {{QMessageBox::Yes, kIdYes}, {QMessageBox::No, kIdNo}, {QMessageBox::Cancel, kIdCancel}};
        break;
    case PromptButtons::SaveDiscardCancel:
        answers = {{QMessageBox::Save, kIdSave}, {QMessageBox::Discard, kIdDiscard}, {QMessageBox::Cancel, kIdCancel}};
        break;
    case PromptButtons::OkDiscard: answers = {{QMessageBox::Ok, kIdOk}, {QMessageBox::Discard, kIdDiscard}}; break;
    case PromptButtons::ReloadKeep: answers = {{QMessageBox::No, kIdNo}, {QMessageBox::Yes, kIdYes}}; break;
    }
    const int escapeAnswer = editor::EscapeAnswer(buttons);
    for (const Answer& answer : answers) {
        QPushButton* button = box.addButton(answer.button);
        if (answer.id == escapeAnswer)
            box.setEscapeButton(button);
    }
    box.setDefaultButton(answers.front().button);
    // Next to OK, a plain "Discard" would not say what goes.
    if (buttons == PromptButtons::OkDiscard)
        box.button(QMessageBox::Discard)->setText(QCoreApplication::translate("CQtPrompt", "Discard changes"));
    // Yes and No under the names of what they do; keeping the edits is the default.
    if (buttons == PromptButtons::ReloadKeep) {
        box.button(QMessageBox::Yes)->setText(QString::fromStdString(editor::LoadString(editor::kIdsButtonReload)));
        box.button(QMessageBox::No)->setText(QString::fromStdString(editor::LoadString(editor::kIdsButtonKeepMine)));
    }
    box.exec();
    for (const Answer& answer : answers) {
        if (box.clickedButton() == box.button(answer.button))
            return answer.id;
    }
    return escapeAnswer;
}

bool CQtPrompt::AskText(const std::string& text, const std::string& caption, std::string& value)
{
    bool accepted = false;
    const QString answer = QInputDialog::getText(owner, QString::fromStdString(caption), QString::fromStdString(text),
                                                 QLineEdit::Normal, QString::fromStdString(value), &accepted);
    if (!accepted)
        return false;
    value = answer.toStdString();
    return true;
}

bool CQtPrompt::SaveFile(const SaveFileRequest& request, SaveFileAnswer& answer)
{
    const QString extension = QString::fromStdString(request.defaultExtension);
    QString folder = QString::fromStdString(request.initialFolder);
    QString proposed = QString::fromStdString(request.initialFileName);
    for (;;) {
        QFileDialog dialog(owner);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDirectory(folder);
        if (!request.filter.empty())
            dialog.setNameFilter(QString::fromStdString(request.filter));
        if (!extension.isEmpty())
            dialog.setDefaultSuffix(extension);
        if (!proposed.isEmpty())
            dialog.selectFile(proposed);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return false;

        QString path = dialog.selectedFiles().first();
        // Names here are "device.Something": the dialog takes the part after the dot
        // for an extension of its own, yet only files ending in the default one are
        // profiles, so it is added whenever it is missing.
        const QString suffix = QLatin1Char('.') + extension;
        bool appended = false;
        if (!extension.isEmpty() && !path.endsWith(suffix, Qt::CaseInsensitive)) {
            path += suffix;
            appended = true;
        }
        const QFileInfo chosen(path);
        if (appended && request.confirmOverwrite && chosen.exists()) {
            // The dialog asked about the name without the extension; ask about this one.
            const auto reply = QMessageBox::question(
                &dialog, dialog.windowTitle(),
                QCoreApplication::translate("CQtPrompt", "%1 already exists.\nDo you want to replace it?")
                    .arg(chosen.fileName()),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
            if (reply != QMessageBox::Yes) {
                folder = chosen.path();
                proposed = chosen.fileName();
                continue;
            }
        }
        answer.path = QDir::toNativeSeparators(path).toStdString();
        answer.fileName = chosen.fileName().toStdString();
        return true;
    }
}
