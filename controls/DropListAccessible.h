#pragma once

#include <QAccessibleWidget>

class QComboBox;

// A drop-down list with a name of its own (the text of the label beside it) as assistive
// technology sees it: that name, the shown choice as its value, and its open list as its
// one child. A drop-down list without a name of its own keeps the toolkit's view, which
// on Linux announces the shown choice as the name.
class CDropListAccessible : public QAccessibleWidget {
public:
    explicit CDropListAccessible(QComboBox* combo);

    QString text(QAccessible::Text type) const override;
    QAccessible::State state() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QStringList actionNames() const override;
    void doAction(const QString& action) override;

private:
    QComboBox* Combo() const;
};

namespace DropListAccessibility {

// Registers the drop-down lists' interface with Qt (once; later calls do nothing).
void Install();

}  // namespace DropListAccessibility
