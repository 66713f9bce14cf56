#include "ui/OrreryDlg.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <functional>
#include <utility>

#include "controls/DropListAccessible.h"
#include "controls/FieldNumericEdit.h"
#include "controls/FittingComboBox.h"
#include "controls/SkinListCtrl.h"
#include "ui/AboutDlg.h"
#include "ui/ControlBinding.h"
#include "ui/DialogGrowth.h"
#include "ui/DialogItems.h"
#include "ui/DialogLayout.h"
#include "ui/DialogUnits.h"
#include "ui/ProgramInfo.h"
#include "ui/StringTable.h"

namespace {

// Limits of the numeric edits: whole digits and decimal places.
constexpr int kNumericWholeDigits = 9;
constexpr int kNumericDecimalPlaces = 4;

// Base unit across of the font the layout was drawn with; list column widths are
// given in its pixels and scaled to ours.
constexpr int kDesignBaseUnitX = 6;

// A value list, the controls beside it, and its value column. The column's caption also
// names the list, its adder and its buttons for screen readers.
struct ListColumns {
    int id;
    int add, remove, adder;   // kIdcStatic where the list has none
    const char* valueCaption; // English, translated in the window's context
    int valueWidth;   // pixels of the design font
};
constexpr int kDefaultColumnWidth = 50;
constexpr ListColumns kListColumns[] = {
    {kIdcFrameSizes, kIdcAddFrameSize, kIdcRemoveFrameSize, kIdcStatic,
     QT_TRANSLATE_NOOP("COrreryDlg", "Frame Resolution"), 151},
    {kIdcFrameRates, kIdcAddFrameRate, kIdcRemoveFrameRate, kIdcFrameRateAdder,
     QT_TRANSLATE_NOOP("COrreryDlg", "Framerate"), 110},
    {kIdcSampleRates, kIdcAddSampleRate, kIdcRemoveSampleRate, kIdcSampleRateAdder,
     QT_TRANSLATE_NOOP("COrreryDlg", "Samplerate"), 80},
    {kIdcAudioBitrates, kIdcAddAudioBitrate, kIdcRemoveAudioBitrate, kIdcAudioBitrateAdder,
     QT_TRANSLATE_NOOP("COrreryDlg", "Bitrate"), 85},
};

// The list columns of a value list, or null for another control.
const ListColumns* ColumnsOf(int id)
{
    const auto found = std::find_if(std::begin(kListColumns), std::end(kListColumns),
                                    [id](const ListColumns& columns) { return columns.id == id; });
    return found != std::end(kListColumns) ? found : nullptr;
}

// A width in pixels of the design font, in pixels of this one.
int DesignPixels(const CDialogUnits& units, int width)
{
    return width * units.BaseUnitX() / kDesignBaseUnitX;
}

// The names screen readers announce for the controls outside the value lists that no
// label names: what stands for a label on the screen (their frame, or the field beside).
struct ControlName {
    int id;
    const char* name;
};
constexpr ControlName kUnlabelledNames[] = {
    {kIdcDeviceSelector, QT_TRANSLATE_NOOP("COrreryDlg", "Device")},
    {kIdcDeviceName, QT_TRANSLATE_NOOP("COrreryDlg", "Device name")},
    {kIdcBitrateSlider, QT_TRANSLATE_NOOP("COrreryDlg", "Default bitrate (kbps)")},
};

// A caption as it reads: "&" marks the mnemonic, "&&" stands for "&".
QString WithoutMnemonic(const QString& caption)
{
    QString text;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        text += caption[i];
    }
    return text;
}

// On the label of the two output type buttons: its mnemonic moves the focus to the
// checked button instead of pressing its buddy (a press loads the device's profiles
// again).
class CFocusCheckedButton : public QObject {
public:
    CFocusCheckedButton(QRadioButton* first, QRadioButton* second, QObject* parent)
        : QObject(parent), first(first), second(second)
    {
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Shortcut)
            return QObject::eventFilter(watched, event);
        (second->isChecked() ? second : first)->setFocus(Qt::ShortcutFocusReason);
        return true;
    }

private:
    QRadioButton* first;
    QRadioButton* second;
};

// What the window scrolls: the controls, placed anew whenever it changes size.
class CGrowingForm : public QWidget {
public:
    CGrowingForm(std::function<void(QSize)> resized, QWidget* parent)
        : QWidget(parent), resized(std::move(resized))
    {
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        resized(size());
    }

private:
    std::function<void(QSize)> resized;
};

} // namespace

COrreryDlg::COrreryDlg(QWidget* parent) : COrreryDlg(std::string(), nullptr, parent)
{
}

COrreryDlg::COrreryDlg(std::string executableFolder, std::unique_ptr<CPrompt> prompt, QWidget* parent)
    : QDialog(parent), executableFolder(std::move(executableFolder)), prompt(std::move(prompt))
{
    if (!this->prompt)
        this->prompt = std::make_unique<CQtPrompt>(this);
    session = std::make_unique<editor::CEditorSession>(*this, *this->prompt);
    setObjectName(QString::number(kDialogId));
    icon = ProgramIcon();
    CreateControls();
    ConnectNotifications();
}

COrreryDlg::~COrreryDlg()
{
    // The controls outlive the session (Qt deletes them after the members), and none
    // of their last notifications may reach it.
    for (const auto& [id, widget] : items)
        widget->blockSignals(true);
}

QWidget* COrreryDlg::GetDlgItem(int id) const
{
    const auto found = items.find(id);
    return found != items.end() ? found->second : nullptr;
}

void COrreryDlg::CreateControls()
{
    setWindowTitle(QString::fromUtf8(kMainWindowCaption));
    // A top-level window with caption, window menu, minimise and maximise boxes, shown in
    // the task bar. It opens at the layout's size; larger, the lists and the description
    // grow, and smaller (a screen too small for it) its content scrolls.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(DialogFont());
    const CDialogUnits units(font());
    layoutSize = units.ToPixels(kMainDialogWidth, kMainDialogHeight);

    scroller = new QScrollArea(this);
    scroller->setFrameShape(QFrame::NoFrame);
    // Tab goes through the controls; the scroll area follows the focus.
    scroller->setFocusPolicy(Qt::NoFocus);
    scroller->setWidgetResizable(true);
    scroller->setBackgroundRole(QPalette::Window);
    scroller->viewport()->setBackgroundRole(QPalette::Window);
    auto* form = new CGrowingForm([this](QSize size) { PlaceControls(size); }, scroller);
    form->setMinimumSize(layoutSize);
    auto* frame = new QVBoxLayout(this);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->addWidget(scroller);
    resize(layoutSize);
    setMinimumSize(layoutSize.boundedTo(units.ToPixels(kMainDialogWidth / 2, kMainDialogHeight / 3)));

    std::vector<QWidget*> frames;
    std::vector<std::pair<QLabel*, int>> labels;
    for (const ControlLayout& layout : MainDialogLayout()) {
        const QString caption = *layout.caption != 0 ? tr(layout.caption) : QString();
        QRect rect = units.ToPixels(layout.left, layout.top, layout.width, layout.height);
        QWidget* widget = nullptr;
        switch (layout.kind) {
        case ControlKind::DropList: {
            auto* combo = new CFittingComboBox(form);
            combo->setEditable(false);
            // The layout's height includes the open list; the closed field is one line.
            const int listHeight = units.Y(layout.height - kDropListFieldHeight);
            const int lineHeight = std::max(1, combo->fontMetrics().height());
            combo->setMaxVisibleItems(std::max(1, listHeight / lineHeight));
            rect.setHeight(units.Y(layout.top + kDropListFieldHeight) - rect.top());
            widget = combo;
            break;
        }
        case ControlKind::Edit:
            widget = new QLineEdit(form);
            break;
        case ControlKind::ReadOnlyEdit: {
            auto* edit = new QLineEdit(form);
            edit->setReadOnly(true);
            widget = edit;
            break;
        }
        case ControlKind::MultiLineEdit: {
            auto* edit = new QPlainTextEdit(form);
            edit->setTabChangesFocus(true);
            edit->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
            widget = edit;
            break;
        }
        case ControlKind::NumericEdit: {
            // Bitrates and frame sizes: whole numbers only, whatever the user types or pastes.
            auto* edit = new CFieldNumericEdit(kNumericWholeDigits, kNumericDecimalPlaces, form);
            edit->SetWholeNumbers(true);
            widget = edit;
            break;
        }
        case ControlKind::PushButton:
        case ControlKind::DefPushButton: {
            auto* button = new QPushButton(caption, form);
            button->setDefault(layout.kind == ControlKind::DefPushButton);
            widget = button;
            break;
        }
        case ControlKind::CheckBox:
            widget = new QCheckBox(caption, form);
            break;
        case ControlKind::RadioButton:
            widget = new QRadioButton(caption, form);
            break;
        case ControlKind::Slider: {
            auto* slider = new QSlider(Qt::Horizontal, form);
            slider->setTickPosition(QSlider::NoTicks);
            widget = slider;
            break;
        }
        case ControlKind::ValueList:
            widget = new CSkinListCtrl(form);
            break;
        case ControlKind::Label: {
            auto* label = new QLabel(caption, form);
            if (layout.buddy != kIdcStatic)
                labels.emplace_back(label, layout.buddy);
            widget = label;
            break;
        }
        case ControlKind::GroupBox:
            widget = new QGroupBox(caption, form);
            frames.push_back(widget);
            break;
        }
        widget->setGeometry(rect);
        placed.push_back({widget, &layout, rect});
        if (!layout.visible)
            widget->setHidden(true);
        if (layout.id != kIdcStatic) {
            widget->setObjectName(QString::number(layout.id));
            items[layout.id] = widget;
        }
    }
    // Frames sit behind the controls they surround, so they never take their clicks.
    for (QWidget* box : frames)
        box->lower();
    // Set last: the form's first size places the controls.
    scroller->setWidget(form);

    // A label leads to the control it names and lends it the name screen readers
    // announce; buttons and boxes speak their own captions.
    DropListAccessibility::Install();
    for (const auto& [label, buddyId] : labels) {
        QWidget* buddy = GetDlgItem(buddyId);
        label->setBuddy(buddy);
        if (qobject_cast<QAbstractButton*>(buddy) == nullptr)
            buddy->setAccessibleName(WithoutMnemonic(label->text()));
    }
    for (const ControlName& control : kUnlabelledNames)
        GetDlgItem(control.id)->setAccessibleName(tr(control.name));
    // A value list and its adder are named by the list's column; the list buttons share
    // their captions, so their description says which list they act on.
    for (const ListColumns& columns : kListColumns) {
        const QString name = tr(columns.valueCaption);
        GetDlgItem(columns.id)->setAccessibleName(name);
        if (columns.adder != kIdcStatic)
            GetDlgItem(columns.adder)->setAccessibleName(name);
        GetDlgItem(columns.add)->setAccessibleDescription(name);
        GetDlgItem(columns.remove)->setAccessibleDescription(name);
    }
    GetDlgItem(kIdcOutputTypeLabel)
        ->installEventFilter(new CFocusCheckedButton(Item<QRadioButton>(kIdcVideoAndAudio),
                                                     Item<QRadioButton>(kIdcAudioOnly), this));

    const std::span<const int> tabOrder = MainDialogTabOrder();
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        setTabOrder(GetDlgItem(tabOrder[i - 1]), GetDlgItem(tabOrder[i]));
}

void COrreryDlg::PlaceControls(QSize formSize)
{
    const QSize extra = formSize - layoutSize;
    const CDialogUnits units(font());
    for (const PlacedControl& control : placed) {
        const QRect rect = GrownRect(*control.layout, control.rect, extra);
        control.widget->setGeometry(rect);
        // A wider list gives its value column the width it gained.
        const ListColumns* columns = ColumnsOf(control.layout->id);
        auto* list = qobject_cast<CSkinListCtrl*>(control.widget);
        if (columns != nullptr && list != nullptr && list->ColumnCount() >= 2)
            list->SetColumnWidth(1, DesignPixels(units, columns->valueWidth) + rect.width() - control.rect.width());
    }
}

void COrreryDlg::FitToScreen()
{
    QScreen* screen = QGuiApplication::screenAt(geometry().center());
    if (screen == nullptr)
        screen = this->screen();
    if (screen == nullptr)
        return;
    const QRect available = screen->availableGeometry();
    // The frame the window manager adds, once known; before, room for a title bar.
    QMargins frame = windowHandle() != nullptr ? windowHandle()->frameMargins() : QMargins();
    if (frame.isNull())
        frame.setTop(2 * QFontMetrics(QApplication::font()).height());
    const QSize room(available.width() - frame.left() - frame.right(),
                     available.height() - frame.top() - frame.bottom());
    if (room.width() <= 0 || room.height() <= 0)
        return;
    if (width() > room.width() || height() > room.height()) {
        // Room for the scroll bar that shows, so the other one need not.
        QSize wanted = size();
        if (wanted.height() > room.height())
            wanted.rwidth() += scroller->verticalScrollBar()->sizeHint().width();
        if (wanted.width() > room.width())
            wanted.rheight() += scroller->horizontalScrollBar()->sizeHint().height();
        resize(wanted.boundedTo(room));
    }
    // The whole frame on the screen, its title bar first.
    const int x = std::clamp(pos().x(), available.left(), available.left() + room.width() - width());
    const int y = std::clamp(pos().y(), available.top(), available.top() + room.height() - height());
    if (QPoint(x, y) != pos())
        move(x, y);
}

void COrreryDlg::ConnectNotifications()
{
    for (int id : {kIdcVideoCodec, kIdcAudioCodec, kIdcEncodingMode}) {
        connect(Item<QComboBox>(id), &QComboBox::currentIndexChanged, this, [this] { MarkChanged(); });
    }
    connect(Item<QPlainTextEdit>(kIdcDescription), &QPlainTextEdit::textChanged, this, [this] { MarkChanged(); });
    connect(Item<QLineEdit>(kIdcProfileName), &QLineEdit::textChanged, this, [this] { MarkChanged(); });
    connect(Item<QPushButton>(kIdcClose), &QPushButton::clicked, this, [this] { OnClose(); });

    connect(Item<QComboBox>(kIdcDeviceSelector), &QComboBox::activated, this, [this] { OnDeviceChanged(); });
    connect(Item<QComboBox>(kIdcProfileSelector), &QComboBox::activated, this, [this] { OnProfileChanged(); });
    connect(Item<QPushButton>(kIdcAddDevice), &QPushButton::clicked, this, [this] { OnAddDevice(); });
    connect(Item<QPushButton>(kIdcRemoveDevice), &QPushButton::clicked, this, [this] { OnRemoveDevice(); });
    connect(Item<QPushButton>(kIdcRenameDevice), &QPushButton::clicked, this, [this] { OnRenameDevice(); });

    connect(Item<QRadioButton>(kIdcVideoAndAudio), &QRadioButton::clicked, this, [this] { OnVideoAndAudio(); });
    connect(Item<QRadioButton>(kIdcAudioOnly), &QRadioButton::clicked, this, [this] { OnAudioOnly(); });
    connect(Item<QComboBox>(kIdcFormat), &QComboBox::activated, this, [this] { OnFormatChanged(); });
    connect(Item<QCheckBox>(kIdcCopySource), &QCheckBox::clicked, this, [this] { OnCopySource(); });
    connect(Item<QLineEdit>(kIdcMaxBitrate), &QLineEdit::textChanged, this, [this] { OnMaxBitrateChanged(); });
    connect(Item<QLineEdit>(kIdcDefaultBitrate), &QLineEdit::textChanged, this,
            [this] { OnDefaultBitrateChanged(); });
    auto* slider = Item<QSlider>(kIdcBitrateSlider);
    connect(slider, &QSlider::sliderReleased, this, [this] { OnSliderReleased(); });
    connect(slider, &QSlider::actionTriggered, this, [this](int action) { OnSliderAction(action); });

    connect(Item<QPushButton>(kIdcAddFrameSize), &QPushButton::clicked, this, [this] { OnAddFrameSize(); });
    const struct {
        int add, remove, list, adder;
        ListKind kind;
    } adders[] = {
        {kIdcAddFrameRate, kIdcRemoveFrameRate, kIdcFrameRates, kIdcFrameRateAdder, ListKind::FrameRate},
        {kIdcAddAudioBitrate, kIdcRemoveAudioBitrate, kIdcAudioBitrates, kIdcAudioBitrateAdder,
         ListKind::AudioBitrate},
        {kIdcAddSampleRate, kIdcRemoveSampleRate, kIdcSampleRates, kIdcSampleRateAdder, ListKind::SampleRate},
    };
    for (const auto& entry : adders) {
        auto* list = Item<CSkinListCtrl>(entry.list);
        auto* adder = Item<QComboBox>(entry.adder);
        const ListKind kind = entry.kind;
        connect(Item<QPushButton>(entry.add), &QPushButton::clicked, this,
                [this, list, adder, kind] { AddFromSelector(list, adder, kind); });
        connect(Item<QPushButton>(entry.remove), &QPushButton::clicked, this,
                [this, list] { RemoveSelectedRow(list); });
    }
    auto* sizes = Item<CSkinListCtrl>(kIdcFrameSizes);
    connect(Item<QPushButton>(kIdcRemoveFrameSize), &QPushButton::clicked, this,
            [this, sizes] { RemoveSelectedRow(sizes); });
    // Direct connections: the row click must be handled before the list acts on it.
    for (int id : kValueLists) {
        auto* list = Item<CSkinListCtrl>(id);
        connect(list, &CSkinListCtrl::RowSelected, this,
                [this](CSkinListCtrl* sender, int row) { OnListRowClicked(sender, row); }, Qt::DirectConnection);
        connect(list, &CSkinListCtrl::ActiveColumnClicked, this,
                [this](CSkinListCtrl* sender, int column, int row) { OnDefaultCellClicked(sender, column, row); },
                Qt::DirectConnection);
        // The Delete key has the list select the focused row and ask for it to go.
        connect(list, &CSkinListCtrl::RowDeleteRequested, this,
                [this](CSkinListCtrl* sender, int) { RemoveSelectedRow(sender); });
    }

    connect(Item<QPushButton>(kIdcSave), &QPushButton::clicked, this, [this] { OnSave(); });
    connect(Item<QPushButton>(kIdcSaveAs), &QPushButton::clicked, this, [this] { OnSaveAs(); });
}

bool COrreryDlg::OnInitDialog()
{
    if (initialised)
        return true;
    initialised = true;

    // The window menu: the About entry, also on F1.
    systemMenu = new QMenu(this);
    const std::string aboutText = LoadString(kIdsAboutBox);
    if (!aboutText.empty()) {
        systemMenu->addSeparator();
        QAction* about = systemMenu->addAction(ToQt(aboutText));
        about->setData(kAboutCommand);
        about->setShortcut(QKeySequence(Qt::Key_F1));
        about->setShortcutContext(Qt::WindowShortcut);
        addAction(about);
        connect(about, &QAction::triggered, this, [this] { OnSysCommand(kAboutCommand); });
    }
    CreateCommands();

    setWindowIcon(icon);

    const CDialogUnits units(font());
    for (const ListColumns& columns : kListColumns) {
        auto* list = Item<CSkinListCtrl>(columns.id);
        list->AttachSkinScrollBars();
        list->SetFullRowSelect(true);
        list->InsertColumn(0, tr("Default"), DesignPixels(units, kDefaultColumnWidth), true);
        list->InsertColumn(1, tr(columns.valueCaption), DesignPixels(units, columns.valueWidth), true);
    }
    PlaceControls(scroller->widget()->size());

    Item<QRadioButton>(kIdcVideoAndAudio)->setChecked(true);
    Item<QRadioButton>(kIdcAudioOnly)->setChecked(false);

    session->Start(executableFolder);
    ReturnToPlace();
    FitToScreen();
    WatchProfilesFolder();

    Item<QComboBox>(kIdcDeviceSelector)->setFocus();
    return true;
}

int COrreryDlg::DoModal()
{
    OnInitDialog();
    return exec();
}

void COrreryDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Now with the frame the window manager gave it.
    if (!event->spontaneous())
        FitToScreen();
    // Told once the window is on the screen, so the message has a window to belong to.
    if (!StartupProblem().empty() && !startupProblemReported) {
        startupProblemReported = true;
        QTimer::singleShot(0, this, [this] { ReportStartupProblem(); });
    }
}

int COrreryDlg::OutputType() const
{
    return Item<QRadioButton>(kIdcVideoAndAudio)->isChecked() ? editor::kVideoAndAudio : editor::kAudioOnly;
}

void COrreryDlg::SetAudioControlsEnabled(bool enabled)
{
    for (int id : kAudioControls)
        GetDlgItem(id)->setEnabled(enabled);
}

void COrreryDlg::SetVideoControlsEnabled(bool enabled)
{
    for (int id : kVideoControls)
        GetDlgItem(id)->setEnabled(enabled);
}

void COrreryDlg::OnSysCommand(int id)
{
    if (id >= kAboutCommand && id <= kAboutCommand + 15)
        ShowAboutBox();
}

void COrreryDlg::ShowAboutBox()
{
    CAboutDlg about(this);
    about.exec();
}

void COrreryDlg::contextMenuEvent(QContextMenuEvent* event)
{
    if (systemMenu != nullptr && !systemMenu->isEmpty()) {
        systemMenu->exec(event->globalPos());
        event->accept();
        return;
    }
    QDialog::contextMenuEvent(event);
}
