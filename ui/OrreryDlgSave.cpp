// Save and Save As: the session decides and writes.

#include "ui/OrreryDlg.h"

void COrreryDlg::OnSave()
{
    session->Save();
}

void COrreryDlg::OnSaveAs()
{
    session->SaveAsChosen();
}
