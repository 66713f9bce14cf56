#include "ui/Prompt.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QString>

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
    switch (buttons) {
    case PromptButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case PromptButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case PromptButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok: return kIdOk;
    case QMessageBox::Yes: return kIdYes;
    case QMessageBox::No: return kIdNo;
    case QMessageBox::Cancel: return kIdCancel;
    default: break;
    }
    return buttons == PromptButtons::Ok ? kIdOk : buttons == PromptButtons::YesNo ? kIdNo : kIdCancel;
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
                QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(chosen.fileName()),
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
