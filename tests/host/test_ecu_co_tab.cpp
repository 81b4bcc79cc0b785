// The "ECU / CO" tab: the window offers it, its boxes and fields reach the engine computer and CO
// detector variables (also again after a power-on cleared them), and the last command shows in
// sending order.
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

#include <cstring>

#include "host/ecu_co_tab.h"
#include "host/main_window.h"
#include "time/ecu_co.h"

class EcuCoTabTest : public QObject {
    Q_OBJECT

private slots:
    void theWindowOffersTheTabAfterTheOthers()
    {
        TfrmMain window;
        auto* tabs = window.findChild<QTabWidget*>("PageControl1");
        QVERIFY(tabs);
        const int last = tabs->count() - 1;
        QCOMPARE(tabs->tabText(last), QString("ECU / CO"));
        QVERIFY(tabs->isTabVisible(last));
        QVERIFY(qobject_cast<EcuCoTab*>(tabs->widget(last)));
    }

    void valuesReachTheInstrument()
    {
        clearEcuCoData();
        EcuCoTab tab;
        tab.findChild<QSpinBox*>("AmbientPressure")->setValue(990);
        tab.deliver();
        QCOMPARE(ecuAmbientPressure, 0);  // nothing arrives without the link
        QCOMPARE(QString(coModel), QString("---"));
        tab.findChild<QCheckBox*>("EcuLink")->setChecked(true);
        tab.findChild<QCheckBox*>("CoConnected")->setChecked(true);
        tab.findChild<QCheckBox*>("EcuLaneB")->setChecked(true);
        QCOMPARE(ecuLinkPresent, uint8_t{1});
        QCOMPARE(ecuLaneFlags, uint16_t{2});
        auto* status = tab.findChild<QLineEdit*>("SensorStatusA");
        status->selectAll();
        QTest::keyClicks(status, "80402");
        QCOMPARE(ecuSensorStatusA, 0x80402u);
        tab.findChild<QDoubleSpinBox*>("EngineHours")->setValue(412.37);
        tab.findChild<QSpinBox*>("ThrottlePosition")->setValue(64);
        tab.findChild<QLineEdit*>("CoModel")->setText("XG2");
        tab.deliver();
        QCOMPARE(ecuEngineHours, 412.37f);
        QCOMPARE(ecuThrottlePosition, 64);
        QCOMPARE(ecuAmbientPressure, 990);
        QCOMPARE(QString(coModel), QString("XG2"));
        QCOMPARE(QString(coSerialNumber), QString("104233"));

        // Power-on clears the link flag and the identity; the link reports them again.
        resetEcuCoAtPowerOn();
        QCOMPARE(ecuLinkPresent, uint8_t{0});
        QTRY_COMPARE(ecuLinkPresent, uint8_t{1});
        QCOMPARE(QString(coModel), QString("XG2"));
    }

    void theLastCommandShowsInSendingOrder()
    {
        clearEcuCoData();
        EcuCoTab tab;
        auto* line = tab.findChild<QLineEdit*>("CoLastCommand");
        QVERIFY(line->isReadOnly());
        QCOMPARE(line->text(), QString());
        placeCoResetCommand();
        QTRY_COMPARE(line->text(), QString("$PCOG452RS<CR><LF>"));
        clearEcuCoData();
    }
};

QTEST_MAIN(EcuCoTabTest)
#include "test_ecu_co_tab.moc"
