// Save, Save As and closing the window: the session decides and writes.

#include "ui/OrreryDlg.h"

void COrreryDlg::OnSave()
{
    session->Save();
}

void COrreryDlg::OnSaveAs()
{
    session->SaveAsChosen();
}

void COrreryDlg::OnClose()
{
    if (session->RequestClose() == editor::CloseDecision::Close)
        accept();
}

void COrreryDlg::reject()
{
    // The close box reaches here too, through QDialog's close event, which keeps the
    // window open when it is still visible afterwards.
    if (session->RequestClose() == editor::CloseDecision::Close)
        QDialog::reject();
}
