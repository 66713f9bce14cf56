#pragma once

#include <QColor>
#include <QLineEdit>

// Line edit whose text is kept in a normalised form by derived classes, and whose
// background can be painted in a chosen colour.
class CFieldEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit CFieldEdit(QWidget* parent = nullptr);

    // Paints the background in this colour from now on (an invalid colour restores the
    // style's own background).
    void SetFillColor(const QColor& colour);
    QColor FillColor() const;              // invalid when none is set
    // Text colour; an invalid colour leaves the style's colour alone.
    void SetTextColor(const QColor& colour);

    // The text as it should be; this class accepts any text.
    virtual QString NormalizedText() const;
    virtual bool AcceptsChar(QChar c) const;
    // Re-applies the rules: replaces the text by NormalizedText when they differ.
    void Refresh();

private:
    void ApplyColours();

    QColor fillColour;
    QColor textColour;
};
