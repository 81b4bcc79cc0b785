// A transparent click area over the panel picture that stands for one key of the instrument.
#pragma once
#include <QWidget>

class KeyArea : public QWidget {
    Q_OBJECT
public:
    KeyArea(uint8_t keyCode, const QString& name, QWidget* parent);
    uint8_t keyCode() const { return code; }

signals:
    void clicked(uint8_t keyCode);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    uint8_t code;
};
