#pragma once

#include <QObject>

class SkinListCtrlTest : public QObject {
    Q_OBJECT

private slots:
    void toggleClickReportsRowThenColumn();
    void clickOnOnCellTurnsItOff();
    void exclusivityStaysInItsColumn();
    void setToggleKeepsSeveralRowsOn();
    void clickBelowLastRowDoesNothing();
    void clickOnValueCellOnlySelects();
    void handlerMayRebuildTheListDuringTheClick();
    void checkBoxCellsRadioAndHeaderMark();
    void toggleWaitsForUncheckedCheckBox();
    void doubleClickReportsOnceAndTogglesOnce();
    void deleteAllRowsThenInsertGivesFreshCells();
    void outOfRangeArgumentsTouchNothing();
    void columnInsertedLaterGetsCells();
    void rowColoursFollowParityAndSelection();
    void toggleMarkSitsTwoPixelsFromTheLeft();
    void wheelScrollsByLinesAndLastRowCanBeShown();
    void lastRowShownWhenAskedBeforeTheListIsShown();
    void headerDividerResizesColumn();
    void skinScrollBarsAreFourteenPixelsAndScroll();
    void choiceCellDropDown();
    void keysMoveTheFocusRowAndSpaceOrReturnClickIt();
    void deleteKeyAsksToRemoveTheFocusedRow();
    void darkPaletteGivesLightTextOnDarkRowsHeaderAndBars();
};
