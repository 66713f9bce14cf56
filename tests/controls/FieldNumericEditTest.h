#pragma once

#include <QObject>

class FieldNumericEditTest : public QObject {
    Q_OBJECT

private slots:
    void typingFiltersCharacters();
    void tenthDigitAtTheEndAndInside();
    void minusTogglesAndPointJumps();
    void backspaceDeleteAndCut();
    void pasteIsNormalisedAndKeepsSelection();
    void programmaticTextIsNormalised();
    void contextMenuGoesThroughTheRules();
    void undoStepsBackThroughTypedDigits();
    void readOnlyRefusesTyping();
    void localeSymbolsAreUsed();
    void fillColourPaintsTheBackground();
    void outOfRangeIsRedAndReadableInLightAndDarkPalettes();
};
