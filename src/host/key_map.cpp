// The key table and the window-wide key filter.
#include "host/key_map.h"

#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTimer>

#include <array>
#include <iterator>

#include "panel/panel_layout.h"
#include "ui/screen.h"

namespace {

// The table's keyboard keys as Qt's keys, looked up once.
int qtKeyOf(const panel::KeyBinding& b)
{
    return b.keyboard ? QKeySequence::fromString(b.keyName, QKeySequence::PortableText)[0].key() : 0;
}


bool isTurn(uint8_t code) { return code == KeyKnobPlus || code == KeyKnobMinus; }

bool editsText(const QWidget* w)
{
    if (auto* line = qobject_cast<const QLineEdit*>(w)) return !line->isReadOnly();
    if (auto* text = qobject_cast<const QPlainTextEdit*>(w)) return !text->isReadOnly();
    if (auto* rich = qobject_cast<const QTextEdit*>(w)) return !rich->isReadOnly();
    if (qobject_cast<const QAbstractSpinBox*>(w)) return true;
    if (auto* combo = qobject_cast<const QComboBox*>(w)) return combo->isEditable();
    return false;
}

// The control a widget is part of: the line edit inside a combo or spin box is the box.
QWidget* controlOf(QWidget* w)
{
    QWidget* parent = w ? w->parentWidget() : nullptr;
    if (parent && (qobject_cast<QComboBox*>(parent) || qobject_cast<QAbstractSpinBox*>(parent))) return parent;
    return w;
}

// A key that changes a text field's contents: typing, not moving about in it.
bool typesText(const QKeyEvent* key)
{
    if (key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete) return true;
    const QString text = key->text();
    return !text.isEmpty() && text.at(0).isPrint();
}

bool chosenBy(Qt::FocusReason reason)
{
    return reason == Qt::MouseFocusReason || reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
           reason == Qt::ShortcutFocusReason;
}

}  // namespace

uint8_t instrumentKeyFor(int qtKey)
{
    static const auto names = [] {
        std::array<int, std::size(panel::kKeyBindings)> keys{};
        for (size_t i = 0; i < keys.size(); ++i) keys[i] = qtKeyOf(panel::kKeyBindings[i]);
        return keys;
    }();
    for (size_t i = 0; i < names.size(); ++i)
        if (qtKey != 0 && names[i] == qtKey) return panel::instrumentKeyForName(panel::kKeyBindings[i].keyName);
    return 0;
}

QString keyMapHelpText()
{
    QString text = "<table cellspacing=4>";
    for (const panel::KeyBinding& b : panel::kKeyBindings)
        text += QString("<tr><td><b>%1</b></td><td>%2</td></tr>").arg(b.keyName, b.action);
    return text + "</table><p>" + panel::kKeyRule + "</p>";
}

QString keyMapMarkdown()
{
    // Neighbours that do the same share a row.
    QString text = "| Key | On the instrument |\n|---|---|\n";
    const size_t count = std::size(panel::kKeyBindings);
    for (size_t i = 0; i < count;) {
        QString keys = panel::kKeyBindings[i].keyName;
        size_t next = i + 1;
        for (; next < count && QString(panel::kKeyBindings[next].action) == panel::kKeyBindings[i].action; ++next)
            keys += QString(", ") + panel::kKeyBindings[next].keyName;
        text += QString("| %1 | %2 |\n").arg(keys, panel::kKeyBindings[i].action);
        i = next;
    }
    return text + "\n" + panel::kKeyRule + "\n";
}

KeyboardKeys::KeyboardKeys(QWidget* window, QWidget* home) : QObject(window), window(window), home(home)
{
    qApp->installEventFilter(this);
}

bool KeyboardKeys::eventFilter(QObject* watched, QEvent* event)
{
    // A dialog of the window that closes hands the keyboard back to the window at once, so the
    // instrument's keys and the shortcuts work without a click (a bare X server moves no focus).
    if (event->type() == QEvent::Hide) {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (dialog && dialog->parentWidget() && dialog->parentWidget()->window() == window)
            QTimer::singleShot(0, window, [w = window] {
                w->activateWindow();
                w->raise();
            });
        return false;
    }
    if (event->type() == QEvent::MouseButtonPress) {
        // A click on a control that takes the focus chooses it, also one that has the focus already.
        auto* clicked = qobject_cast<QWidget*>(watched);
        if (clicked && clicked->window() == window && (clicked->focusPolicy() & Qt::ClickFocus) == Qt::ClickFocus)
            chosen = controlOf(clicked);
        return false;
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        // The user's choice lasts while the control keeps the focus (a pop-up of its own or
        // another window taking it for a while does not end it).
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        QWidget* control = controlOf(qobject_cast<QWidget*>(watched));
        if (!control || control->window() != window || reason == Qt::PopupFocusReason ||
            reason == Qt::ActiveWindowFocusReason)
            return false;
        if (event->type() == QEvent::FocusIn) chosen = chosenBy(reason) ? control : nullptr;
        else if (control == chosen) chosen = nullptr;
        return false;
    }
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return false;
    // A key a widget leaves unused travels on to its parents, and passes here again: only its
    // first receiver, the widget it was meant for, decides.
    auto* target = qobject_cast<QWidget*>(watched);
    auto* key = static_cast<QKeyEvent*>(event);
    if (event == lastSeen.event && event->type() == lastSeen.type && key->key() == lastSeen.key && target &&
        lastSeen.target && target->isAncestorOf(lastSeen.target))
        return false;
    lastSeen = {event, event->type(), key->key(), target};
    if (!target || target->window() != window) return false;
    QWidget* focus = window->focusWidget();  // the window's own, also while another window is active
    const bool press = event->type() == QEvent::KeyPress;
    if (press && editsText(target) && controlOf(target) == controlOf(focus)) {
        if (key->key() == Qt::Key_Escape && chosen == controlOf(target)) {
            // Esc hands the keys back: the display takes the focus once the field has seen the key.
            chosen = nullptr;
            QTimer::singleShot(0, home, [h = QPointer<QWidget>(home)] {
                if (h) h->setFocus(Qt::OtherFocusReason);
            });
        } else if (typesText(key) && instrumentKeyFor(key->key()) == 0) {
            chosen = controlOf(target);
        }
    }
    if (key->modifiers() & ~(Qt::KeypadModifier)) return false;  // Ctrl+O and the like are menu shortcuts
    const uint8_t code = instrumentKeyFor(key->key());
    if (code == 0) return false;
    // Only a control the user chose keeps keys from the instrument: a text field all of them, a
    // scroll bar the arrows. A key sent straight to a widget without the focus counts as chosen.
    const bool direct = focus != target && !(focus && (focus->isAncestorOf(target) || target->isAncestorOf(focus)));
    for (QWidget* w : {target, focus}) {
        if (!w || (controlOf(w) != chosen && !(direct && w == target))) continue;
        if (editsText(controlOf(w)) || (isTurn(code) && qobject_cast<const QAbstractSlider*>(w))) return false;
    }
    if (event->type() == QEvent::KeyPress) {
        if (!key->isAutoRepeat() || isTurn(code)) emit pressed(code);
    } else if (!key->isAutoRepeat()) {
        emit released(code);
    }
    return true;
}
