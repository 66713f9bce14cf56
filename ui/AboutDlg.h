#pragma once

// The About box: the program's icon, name, version and licence, and OK.

#include <QDialog>

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kDialogId = 100;
    explicit CAboutDlg(QWidget* parent = nullptr);
};
