#pragma once

#include <QColor>
#include <QLineEdit>

// Line edit whose text is kept in a normalised form by derived classes. Its background is
// the palette's unless the value is marked out of range (then red) or a fill colour is set;
// the text on a fill the palette did not choose is black or white, whichever reads better.
class CFieldEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit CFieldEdit(QWidget* parent = nullptr);

    // Marks the value as outside what its context allows: the field turns red, and
    // assistive technology hears it in the field's description.
    void SetOutOfRange(bool outOfRange);
    bool OutOfRange() const;
    // Paints the background in this colour from now on, before the out-of-range red (an
    // invalid colour gives the background back to the palette and the range state).
    void SetFillColor(const QColor& colour);
    // The colour the background is painted in now.
    QColor FillColor() const;
    // Text colour; an invalid colour leaves the choice to the palette and the fill.
    void SetTextColor(const QColor& colour);

    // The text as it should be; this class accepts any text.
    virtual QString NormalizedText() const;
    virtual bool AcceptsChar(QChar c) const;
    // Re-applies the rules: replaces the text by NormalizedText when they differ.
    void Refresh();

    static QColor OutOfRangeFill();

private:
    void ApplyColours();

    QColor fillColour;
    QColor textColour;
    bool outOfRange = false;
};
