#include "controls/ChoiceDropList.h"

#include "controls/SkinListCtrl.h"
#include "controls/SkinVerticleScrollbar.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

CChoiceDropList::CChoiceDropList(QWidget* owner) : QFrame(owner, Qt::Popup)
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setForegroundRole(QPalette::Mid);

    listBox = new QListWidget(this);
    listBox->setFrameShape(QFrame::NoFrame);
    listBox->setVerticalScrollBar(new CSkinVerticleScrollbar(listBox));
    listBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    listBox->setSelectionMode(QAbstractItemView::SingleSelection);
    if (const auto* list = qobject_cast<const CSkinListCtrl*>(owner)) {
        const SkinListColours skin = list->EffectiveColours();
        QPalette colours = listBox->palette();
        colours.setColor(QPalette::Base, skin.plainBackground);
        colours.setColor(QPalette::Text, skin.text);
        colours.setColor(QPalette::Highlight, skin.selectedBackground);
        colours.setColor(QPalette::HighlightedText, skin.selectedText);
        listBox->setPalette(colours);
    }
    listBox->installEventFilter(this);
    listBox->viewport()->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(listBox);
    setFocusProxy(listBox);
}

void CChoiceDropList::Fill(const QStringList& choices, const QString& currentText, int initialChoice)
{
    listBox->clear();
    listBox->addItems(choices);
    int current = -1;
    for (int i = 0; i < choices.size(); ++i) {
        if (choices[i].compare(currentText, Qt::CaseInsensitive) == 0) {
            current = i;
            break;
        }
    }
    if (current < 0 && initialChoice >= 0 && initialChoice < choices.size())
        current = initialChoice;
    SetCurrentIndex(current);
}

void CChoiceDropList::ShowBelow(const QRect& globalCell, int visibleRows)
{
    const int rows = std::clamp(std::min(visibleRows, listBox->count()), 1, 100);
    const int rowHeight = std::max(listBox->sizeHintForRow(0), fontMetrics().height() + 2);
    const int height = rows * rowHeight + 2 * frameWidth() + 2;
    const int width = std::max(globalCell.width(), 40);
    QPoint at = globalCell.bottomLeft() + QPoint(0, 1);
    if (const QScreen* screen = QGuiApplication::screenAt(globalCell.center())) {
        const QRect area = screen->availableGeometry();
        if (at.y() + height > area.bottom() && globalCell.top() - height >= area.top())
            at.setY(globalCell.top() - height);
    }
    setGeometry(QRect(at, QSize(width, height)));
    dismissed = false;
    show();
    raise();
    listBox->setFocus();
    if (listBox->currentItem())
        listBox->scrollToItem(listBox->currentItem());
}

int CChoiceDropList::CurrentIndex() const
{
    return listBox->currentRow();
}

QString CChoiceDropList::CurrentText() const
{
    const QListWidgetItem* item = listBox->currentItem();
    return item ? item->text() : QString();
}

void CChoiceDropList::SetCurrentIndex(int index)
{
    if (index < 0 || index >= listBox->count()) {
        listBox->setCurrentRow(-1);
        return;
    }
    listBox->setCurrentRow(index);
}

QListWidget* CChoiceDropList::ListBox() const
{
    return listBox;
}

void CChoiceDropList::Dismiss()
{
    dismissed = true;
    hide();
}

bool CChoiceDropList::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == listBox && event->type() == QEvent::KeyPress && !forwarding) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            emit VkReturn();
            return true;
        case Qt::Key_Escape:
            emit VkEscape();
            return true;
        default:
            // Let the list box move first, so the owner previews the entry now current.
            forwarding = true;
            QCoreApplication::sendEvent(listBox, event);
            forwarding = false;
            emit KeyDown();
            return true;
        }
    }
    if (watched == listBox->viewport() && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            if (QListWidgetItem* item = listBox->itemAt(mouse->position().toPoint())) {
                listBox->setCurrentItem(item);
                emit LButtonUp();
                return true;
            }
        }
    }
    return QFrame::eventFilter(watched, event);
}

void CChoiceDropList::hideEvent(QHideEvent* event)
{
    QFrame::hideEvent(event);
    // A pop-up hides itself when the user clicks elsewhere: that is the loss of focus.
    if (!dismissed) {
        dismissed = true;
        emit VkEscape();
    }
}
