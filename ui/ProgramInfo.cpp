#include "ui/ProgramInfo.h"

#include <QApplication>

// Resources of a static library are only linked in when something names them.
static void InitUiResources()
{
    Q_INIT_RESOURCE(orrery_ui);
}

QIcon ProgramIcon()
{
    static const bool resourcesReady = (InitUiResources(), true);
    (void)resourcesReady;
    return QIcon(QStringLiteral(":/orrery/orrery.png"));
}

QFont DialogFont()
{
    QFont font = QApplication::font();
    font.setPointSize(8);
    return font;
}
