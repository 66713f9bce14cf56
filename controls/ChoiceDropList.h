#pragma once

#include <QFrame>
#include <QStringList>

class QListWidget;

// The drop-down of a choice cell: a pop-up list of the cell's choices shown below it.
// It decides nothing itself; it reports to its owner list what the user did, and the list
// takes the choice, previews it, or restores the cell.
class CChoiceDropList : public QFrame {
    Q_OBJECT

public:
    explicit CChoiceDropList(QWidget* owner);

    // Fills the list and preselects the entry equal to currentText (ignoring case), or
    // else the entry at initialChoice.
    void Fill(const QStringList& choices, const QString& currentText, int initialChoice);
    // Shows the pop-up under the cell (global coordinates), above it when the screen ends.
    void ShowBelow(const QRect& globalCell, int visibleRows);
    int CurrentIndex() const;
    QString CurrentText() const;
    void SetCurrentIndex(int index);
    QListWidget* ListBox() const;
    // Hides the pop-up without reporting the loss of focus.
    void Dismiss();

signals:
    void VkReturn();    // CSkinListCtrl::kMsgChoiceReturn
    void VkEscape();    // CSkinListCtrl::kMsgChoiceEscape, also when the pop-up loses the focus
    void KeyDown();     // CSkinListCtrl::kMsgChoiceKeyDown, after the list box moved
    void LButtonUp();   // CSkinListCtrl::kMsgChoiceButtonUp, a click on an entry

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QListWidget* listBox = nullptr;
    bool dismissed = false;
    bool forwarding = false;
};
