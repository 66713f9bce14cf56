#include "controls/DropListAccessible.h"

#include <QAbstractItemView>
#include <QComboBox>

namespace {

QAccessibleInterface* Factory(const QString& className, QObject* object)
{
    auto* combo = qobject_cast<QComboBox*>(object);
    if (combo == nullptr || className != QLatin1String("QComboBox") || combo->accessibleName().isEmpty())
        return nullptr;
    return new CDropListAccessible(combo);
}

}  // namespace

CDropListAccessible::CDropListAccessible(QComboBox* combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

QComboBox* CDropListAccessible::Combo() const
{
    return static_cast<QComboBox*>(widget());
}

QString CDropListAccessible::text(QAccessible::Text type) const
{
    if (type == QAccessible::Value)
        return Combo()->currentText();
    return QAccessibleWidget::text(type);
}

QAccessible::State CDropListAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.expandable = true;
    state.expanded = Combo()->view() != nullptr && Combo()->view()->isVisible();
    state.editable = Combo()->isEditable();
    return state;
}

int CDropListAccessible::childCount() const
{
    return Combo()->view() != nullptr ? 1 : 0;
}

QAccessibleInterface* CDropListAccessible::child(int index) const
{
    if (index != 0 || Combo()->view() == nullptr)
        return nullptr;
    return QAccessible::queryAccessibleInterface(Combo()->view());
}

int CDropListAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    return child != nullptr && Combo()->view() != nullptr && child->object() == Combo()->view() ? 0 : -1;
}

QStringList CDropListAccessible::actionNames() const
{
    return QStringList{QAccessibleActionInterface::showMenuAction(), QAccessibleActionInterface::pressAction()} +
           QAccessibleWidget::actionNames();
}

void CDropListAccessible::doAction(const QString& action)
{
    if (action == QAccessibleActionInterface::showMenuAction() ||
        action == QAccessibleActionInterface::pressAction()) {
        if (Combo()->view() != nullptr && Combo()->view()->isVisible())
            Combo()->hidePopup();
        else
            Combo()->showPopup();
        return;
    }
    QAccessibleWidget::doAction(action);
}

namespace DropListAccessibility {

void Install()
{
    static const bool installed = [] {
        QAccessible::installFactory(&Factory);
        return true;
    }();
    (void)installed;
}

}  // namespace DropListAccessibility
