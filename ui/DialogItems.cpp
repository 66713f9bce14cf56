#include "ui/DialogItems.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "controls/FieldNumericEdit.h"

#include <QStringDecoder>

namespace {

// The bytes an edit box was given and the text it showed for them.
constexpr const char* kShownBytes = "orreryShownBytes";
constexpr const char* kShownText = "orreryShownText";

} // namespace

QString ToQt(const std::string& text)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    if (!utf8.hasError())
        return decoded;
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

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
    // A text set from now on owes nothing to the bytes shown before.
    if (widget != nullptr)
        widget->setProperty(kShownBytes, QVariant());
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

bool SetEditBoxBytes(QWidget* widget, const std::string& bytes)
{
    if (!SetEditBoxText(widget, ToQt(bytes)))
        return false;
    widget->setProperty(kShownBytes, QByteArray::fromStdString(bytes));
    widget->setProperty(kShownText, EditBoxText(widget));
    return true;
}

std::string EditBoxBytes(const QWidget* widget)
{
    const QString text = EditBoxText(widget);
    if (widget != nullptr && widget->property(kShownText).toString() == text &&
        widget->property(kShownBytes).isValid())
        return widget->property(kShownBytes).toByteArray().toStdString();
    return ToStd(text);
}

QVariant ItemData(const std::string& bytes)
{
    return QByteArray::fromStdString(bytes);
}

std::string ItemBytes(const QComboBox* combo, int index)
{
    const QVariant data = combo->itemData(index);
    return data.typeId() == QMetaType::QByteArray ? data.toByteArray().toStdString() : ToStd(combo->itemText(index));
}
