#include "ui/AboutDlg.h"

#include <QCoreApplication>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "ui/DialogUnits.h"
#include "ui/ProgramInfo.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QString::number(kDialogId));
    setWindowTitle(QCoreApplication::translate("CAboutDlg", "About %1").arg(QString::fromUtf8(kProgramName)));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(DialogFont());

    const CDialogUnits units(font());
    setFixedSize(units.ToPixels(235, 55));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("iconLabel"));
    const QRect iconRect = units.ToPixels(11, 17, 20, 20);
    icon->setGeometry(iconRect);
    icon->setPixmap(ProgramIcon().pixmap(iconRect.size()));

    auto* name = new QLabel(QCoreApplication::translate("CAboutDlg", "%1, Version %2")
                                .arg(QString::fromUtf8(kProgramName), QString::fromUtf8(kProgramVersion)),
                            this);
    name->setObjectName(QStringLiteral("nameLabel"));
    name->setGeometry(units.ToPixels(40, 23, 134, 8));

    // The licence's full text is the LICENSE file of the sources and of an installation.
    auto* licence = new QLabel(QCoreApplication::translate("CAboutDlg", "Free software under the MIT License"), this);
    licence->setObjectName(QStringLiteral("licenceLabel"));
    licence->setGeometry(units.ToPixels(40, 35, 134, 8));

    auto* ok = new QPushButton(QCoreApplication::translate("CAboutDlg", "OK"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setGeometry(units.ToPixels(178, 20, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
