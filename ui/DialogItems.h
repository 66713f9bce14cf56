#pragma once

// Text access that treats the window's edit boxes alike, whether single-line
// (QLineEdit, the numeric edits included) or multi-line (QPlainTextEdit), selection of
// a selector's item by its text, and conversions between the program's 8-bit texts
// and Qt's.

#include <QString>
#include <string>

class QComboBox;
class QWidget;

inline QString ToQt(const std::string& text)
{
    return QString::fromStdString(text);
}

inline std::string ToStd(const QString& text)
{
    return text.toStdString();
}

// True for the widgets an edit box of the window is made of.
bool IsEditBox(const QWidget* widget);
// The edit box's text; empty for anything else. A numeric edit's text is its number
// as a file stores it ("-" and "."), whatever symbols the user's locale shows.
QString EditBoxText(const QWidget* widget);
// Sets the text and raises the box's change notification, as typing would. Numeric
// edits take a stored number and show it through their own rules. False when the
// widget is no edit box.
bool SetEditBoxText(QWidget* widget, const QString& text);
// Selects the first item with exactly this text; false (selection unchanged) when
// there is none.
bool SelectItemText(QComboBox* combo, const std::string& text);
