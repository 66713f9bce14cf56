#include "ui/DialogItems.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "controls/FieldNumericEdit.h"

bool IsEditBox(const QWidget* widget)
{
    return qobject_cast<const QLineEdit*>(widget) != nullptr || qobject_cast<const QPlainTextEdit*>(widget) != nullptr;
}

QString EditBoxText(const QWidget* widget)
{
    if (const auto* numeric = qobject_cast<const CFieldNumericEdit*>(widget))
        return ToQt(numeric->StoredText());
    if (const auto* line = qobject_cast<const QLineEdit*>(widget))
        return line->text();
    if (const auto* multi = qobject_cast<const QPlainTextEdit*>(widget))
        return multi->toPlainText();
    return {};
}

bool SetEditBoxText(QWidget* widget, const QString& text)
{
    if (auto* numeric = qobject_cast<CFieldNumericEdit*>(widget)) {
        numeric->SetStoredText(ToStd(text));
        return true;
    }
    if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        line->setText(text);
        return true;
    }
    if (auto* multi = qobject_cast<QPlainTextEdit*>(widget)) {
        multi->setPlainText(text);
        return true;
    }
    return false;
}

bool SelectItemText(QComboBox* combo, const std::string& text)
{
    const int found = combo->findText(ToQt(text), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found < 0)
        return false;
    combo->setCurrentIndex(found);
    return true;
}
