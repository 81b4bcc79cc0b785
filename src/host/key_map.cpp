// The key table and the window-wide key filter.
#include "host/key_map.h"

#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTextEdit>
#include <QTimer>
#include <array>
#include <iterator>

#include "host/panel_layout.h"
#include "ui/screen.h"

namespace {

// The table's key names as Qt's keys, looked up once.
struct QtBinding {
    int key;
    uint8_t code;
};
const std::array<QtBinding, std::size(panel::kKeyBindings)>& qtBindings()
{
    static const auto bindings = [] {
        std::array<QtBinding, std::size(panel::kKeyBindings)> table{};
        for (size_t i = 0; i < table.size(); ++i)
            table[i] = {QKeySequence::fromString(panel::kKeyBindings[i].keyName, QKeySequence::PortableText)[0].key(),
                        panel::kKeyBindings[i].code};
        return table;
    }();
    return bindings;
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

bool ownsArrows(const QWidget* w)
{
    return qobject_cast<const QAbstractSlider*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QTabBar*>(w) || qobject_cast<const QAbstractItemView*>(w);
}

}  // namespace

uint8_t instrumentKeyFor(int qtKey)
{
    for (const QtBinding& b : qtBindings())
        if (b.key == qtKey) return b.code;
    return 0;
}

QString keyMapHelpText()
{
    QString text = "<table cellspacing=4>";
    for (const panel::KeyBinding& b : panel::kKeyBindings)
        text += QString("<tr><td><b>%1</b></td><td>%2</td></tr>").arg(b.keyName, b.action);
    text += "<tr><td><b>Wheel</b></td><td>over the display or the knob: one detent, one turn</td></tr>"
            "<tr><td><b>Ctrl+O</b></td><td>power on / off</td></tr>"
            "<tr><td><b>Ctrl+S</b></td><td>save the display as a PNG</td></tr></table>"
            "<p>The keys act whichever tab is shown, but not while a text field is edited; the arrows "
            "move a scroll bar that has the focus (Shift: one count).</p>";
    return text;
}

KeyboardKeys::KeyboardKeys(QWidget* window) : QObject(window), window(window) { qApp->installEventFilter(this); }

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
    if (key->modifiers() & ~(Qt::KeypadModifier)) return false;  // Ctrl+O and the like are menu shortcuts
    const uint8_t code = instrumentKeyFor(key->key());
    if (code == 0) return false;
    // The widget the key goes to, and the one with the focus, keep only the keys they need to be
    // used at all: a text field being edited all of them, a scroll bar or a list the arrows. A
    // focused button or check box does not take Return or Space from the instrument.
    for (const QWidget* w : {static_cast<const QWidget*>(target), static_cast<const QWidget*>(QApplication::focusWidget())})
        if (w && (editsText(w) || (isTurn(code) && ownsArrows(w)))) return false;
    if (event->type() == QEvent::KeyPress) {
        if (!key->isAutoRepeat() || isTurn(code)) emit pressed(code);
    } else if (!key->isAutoRepeat()) {
        emit released(code);
    }
    return true;
}
