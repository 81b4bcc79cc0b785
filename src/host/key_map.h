// The keyboard as the instrument's keys: F1..F5 the soft keys, Return or Space the knob press,
// Up/Right and Down/Left the knob's turns. One table serves the window's filter and Help > Keys.
#pragma once
#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>

class QWidget;

// The instrument key a keyboard key stands for (the table of host/panel_layout.h); 0 for none.
uint8_t instrumentKeyFor(int qtKey);
// The key map as rich text for Help > Keys.
QString keyMapHelpText();

// Watches the application's key events for one window and reports the instrument keys, except
// while a text field has the focus, or a control that uses the arrows (a scroll bar, a list) has
// it and the key is an arrow.
class KeyboardKeys : public QObject {
    Q_OBJECT
public:
    explicit KeyboardKeys(QWidget* window);

signals:
    void pressed(uint8_t code);   // a key went down (the knob's turns repeat while held)
    void released(uint8_t code);  // a push key came up

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window;
    struct Seen {
        const QEvent* event = nullptr;
        int type = 0;
        int key = 0;
        QPointer<QWidget> target;
    } lastSeen;
};
