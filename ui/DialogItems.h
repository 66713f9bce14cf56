#pragma once

// Text access that treats the window's edit boxes alike, whether single-line
// (QLineEdit, the numeric edits included) or multi-line (QPlainTextEdit), selection of
// a selector's item by its text, and conversions between the program's 8-bit texts
// and Qt's.

#include <QString>
#include <QVariant>
#include <string>

class QComboBox;
class QWidget;

// The program's 8-bit texts as the window shows them: as UTF-8 where they are UTF-8,
// and otherwise byte by byte as Latin-1, so a text written in an 8-bit code page
// ("caf\xe9") reads "café" instead of replacement marks. Going back through ToStd
// gives UTF-8; where the bytes themselves must survive, the controls keep them
// (SetEditBoxBytes, ItemBytes).
QString ToQt(const std::string& text);

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
// Shows the bytes in an edit box (as ToQt does) and keeps them: EditBoxBytes gives
// them back as they were while the box shows that text, and the text as UTF-8 once
// the user has changed it. False when the widget is no edit box.
bool SetEditBoxBytes(QWidget* widget, const std::string& bytes);
std::string EditBoxBytes(const QWidget* widget);
// A selector item's own bytes, kept as its data (the shown text may be a label, or
// not the bytes at all); its text as UTF-8 for an item without them.
QVariant ItemData(const std::string& bytes);
std::string ItemBytes(const QComboBox* combo, int index);
// Selects the first item with exactly this text; false (selection unchanged) when
// there is none.
bool SelectItemText(QComboBox* combo, const std::string& text);
