// The keyboard as the instrument's keys: F1..F5 the soft keys, Return or Space the knob press,
// the arrows the knob's turns. One table serves the window's filter, Help > Keys and the keys'
// table in the README and the user's guide.
#pragma once
#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>

class QWidget;

// The instrument key a keyboard key stands for now (the table of panel/panel_layout.h); 0 for none.
uint8_t instrumentKeyFor(int qtKey);
// The key map as rich text for Help > Keys.
QString keyMapHelpText();
// The key map as the Markdown table and rules of the README and the user's guide.
QString keyMapMarkdown();

// Watches the application's key events for one window and reports the instrument keys, except
// to a control the user chose (clicked, reached with Tab or typed into): a text field keeps every
// key, a scroll bar the arrows. A control the focus only fell to (on a change of tab, say) keeps
// none. Esc in a text field hands the keys back to home (the display), as a click there does.
class KeyboardKeys : public QObject {
    Q_OBJECT
public:
    KeyboardKeys(QWidget* window, QWidget* home);

signals:
    void pressed(uint8_t code);   // a key went down (the knob's turns repeat while held)
    void released(uint8_t code);  // a push key came up

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window;
    QWidget* home;
    QPointer<QWidget> chosen;  // the control the user put the focus on, while it has it
    struct Seen {
        const QEvent* event = nullptr;
        int type = 0;
        int key = 0;
        QPointer<QWidget> target;
    } lastSeen;
};
