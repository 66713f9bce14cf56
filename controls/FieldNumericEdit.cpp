#include "controls/FieldNumericEdit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>

namespace {

std::u16string ToU16(const QString& text)
{
    return text.toStdU16String();
}

QString FromU16(const std::u16string& text)
{
    return QString::fromStdU16String(text);
}

}  // namespace

CFieldNumericEdit::CFieldNumericEdit(int wholeDigits, int decimalPlaces, QWidget* parent)
    : CFieldEdit(parent), behavior(wholeDigits, decimalPlaces)
{
    const QLocale locale;
    behavior.SetSymbols(ToU16(locale.negativeSign()), ToU16(locale.decimalPoint()),
                        ToU16(locale.groupSeparator()));
    // Catches every change that does not come through the routes below (undo, drag and
    // drop, input methods, setText through a QLineEdit pointer).
    connect(this, &QLineEdit::textChanged, this, &CFieldNumericEdit::OnTextChanged);
}

NumericBehavior& CFieldNumericEdit::Behavior()
{
    return behavior;
}

const NumericBehavior& CFieldNumericEdit::Behavior() const
{
    return behavior;
}

void CFieldNumericEdit::SetWholeNumbers(bool on)
{
    behavior.SetWholeNumbers(on);
    setAcceptDrops(!on);
}

std::string CFieldNumericEdit::StoredText() const
{
    return behavior.StoredText(ToU16(text()));
}

void CFieldNumericEdit::SetStoredText(const std::string& stored)
{
    setText(FromU16(behavior.ShownText(stored)));
}

QString CFieldNumericEdit::NormalizedText() const
{
    return FromU16(behavior.NormalizedText(ToU16(text())));
}

double CFieldNumericEdit::Value() const
{
    return behavior.Value(ToU16(text()));
}

bool CFieldNumericEdit::InRange() const
{
    return behavior.InRange(ToU16(text()));
}

QString CFieldNumericEdit::RangeErrorText() const
{
    return FromU16(behavior.RangeErrorText());
}

void CFieldNumericEdit::ReportRangeError()
{
    QMessageBox::warning(this, QApplication::applicationDisplayName(), RangeErrorText());
}

void CFieldNumericEdit::setText(const QString& text)
{
    const EditState state = behavior.HandleSetText(ToU16(text));
    reformatting = true;
    QLineEdit::setText(FromU16(state.text));
    reformatting = false;
}

void CFieldNumericEdit::insert(const QString& text)
{
    EditState state = CurrentState();
    for (QChar c : text)
        state = behavior.HandleChar(state, c.unicode(), isReadOnly());
    Apply(state);
}

void CFieldNumericEdit::paste()
{
    if (isReadOnly())
        return;
    const QString clip = QApplication::clipboard()->text();
    Apply(behavior.HandlePaste(CurrentState(), ToU16(clip)));
}

void CFieldNumericEdit::cut()
{
    if (isReadOnly() || !hasSelectedText() || echoMode() != QLineEdit::Normal)
        return;
    copy();
    Apply(behavior.HandleCut(CurrentState()));
}

void CFieldNumericEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Cut)) {
        cut();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        paste();
        event->accept();
        return;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    if (event->key() == Qt::Key_Delete && modifiers == Qt::NoModifier) {
        DeleteForward();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Backspace && modifiers == Qt::NoModifier) {
        Apply(behavior.HandleChar(CurrentState(), 0x08, isReadOnly()));
        event->accept();
        return;
    }
    const QString typed = event->text();
    if (!typed.isEmpty() && typed.front().isPrint() && !(event->modifiers() & Qt::ControlModifier)) {
        EditState state = CurrentState();
        for (QChar c : typed) {
            if (AcceptsChar(c))
                state = behavior.HandleChar(state, c.unicode(), isReadOnly());
        }
        Apply(state);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CFieldNumericEdit::contextMenuEvent(QContextMenuEvent* event)
{
    // The edit's usual menu, with cut, paste and delete going through the rules. Captions
    // come from the line edit's own translations.
    auto caption = [](const char* text, QKeySequence::StandardKey key) {
        QString shown = QCoreApplication::translate("QLineEdit", text);
        const QKeySequence sequence(key);
        if (!sequence.isEmpty())
            shown += QLatin1Char('\t') + sequence.toString(QKeySequence::NativeText);
        return shown;
    };
    const bool editable = !isReadOnly();
    const bool selection = hasSelectedText() && echoMode() == QLineEdit::Normal;

    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(caption("&Undo", QKeySequence::Undo), this, &QLineEdit::undo)->setEnabled(editable && isUndoAvailable());
    menu->addAction(caption("&Redo", QKeySequence::Redo), this, &QLineEdit::redo)->setEnabled(editable && isRedoAvailable());
    menu->addSeparator();
    menu->addAction(caption("Cu&t", QKeySequence::Cut), this, [this] { cut(); })->setEnabled(editable && selection);
    menu->addAction(caption("&Copy", QKeySequence::Copy), this, &QLineEdit::copy)->setEnabled(selection);
    menu->addAction(caption("&Paste", QKeySequence::Paste), this, [this] { paste(); })
        ->setEnabled(editable && !QApplication::clipboard()->text().isEmpty());
    menu->addAction(QCoreApplication::translate("QLineEdit", "Delete"), this, [this] {
            if (hasSelectedText())
                DeleteForward();
        })->setEnabled(editable && hasSelectedText());
    menu->addSeparator();
    menu->addAction(caption("Select All", QKeySequence::SelectAll), this, &QLineEdit::selectAll)
        ->setEnabled(!text().isEmpty() && selectedText() != text());
    menu->popup(event->globalPos());
    event->accept();
}

EditState CFieldNumericEdit::CurrentState() const
{
    EditState state;
    state.text = ToU16(text());
    if (hasSelectedText()) {
        state.selStart = selectionStart();
        state.selEnd = selectionEnd();
    } else {
        state.selStart = state.selEnd = cursorPosition();
    }
    return state;
}

void CFieldNumericEdit::Apply(const EditState& state)
{
    const QString wanted = FromU16(state.text);
    const QString current = text();
    reformatting = true;
    if (wanted != current) {
        // Replace only the part that differs, through the edit's own insertion, so the
        // change lands in its undo history and is reported as a user edit.
        qsizetype prefix = 0;
        const qsizetype shorter = std::min(wanted.size(), current.size());
        while (prefix < shorter && wanted[prefix] == current[prefix])
            ++prefix;
        qsizetype suffix = 0;
        while (suffix < shorter - prefix &&
               wanted[wanted.size() - 1 - suffix] == current[current.size() - 1 - suffix])
            ++suffix;
        const qsizetype removed = current.size() - prefix - suffix;
        if (removed > 0)
            setSelection(int(prefix), int(removed));
        else
            setCursorPosition(int(prefix));
        QLineEdit::insert(wanted.mid(prefix, wanted.size() - prefix - suffix));
    }
    if (state.selStart == state.selEnd)
        setCursorPosition(state.selStart);
    else
        setSelection(state.selStart, state.selEnd - state.selStart);
    reformatting = false;
}

void CFieldNumericEdit::DeleteForward()
{
    EditState state = CurrentState();
    if (behavior.HandleKeyDown(state, EditKey::Delete, isReadOnly()))
        Apply(state);
}

void CFieldNumericEdit::OnTextChanged()
{
    if (reformatting)
        return;
    const QString normal = NormalizedText();
    if (normal == text())
        return;
    const int start = hasSelectedText() ? selectionStart() : cursorPosition();
    const int end = hasSelectedText() ? selectionEnd() : cursorPosition();
    const EditState state = behavior.Reformat(EditState{ToU16(text()), start, end});
    reformatting = true;
    QLineEdit::setText(FromU16(state.text));
    if (state.selStart == state.selEnd)
        setCursorPosition(state.selStart);
    else
        setSelection(state.selStart, state.selEnd - state.selStart);
    reformatting = false;
}
