// corvex-docs-shots: makes the window's pictures for the README. Powers the instrument on, applies
// the Cruise preset, lets the trends fill for a while, and saves the window with each tab shown.
//   corvex-docs-shots [folder [seconds [trends]]]
#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>

#include "device.h"
#include "host/front_panel.h"
#include "host/inputs_tab.h"
#include "host/main_window.h"
#include "host/pass_driver.h"
#include "host/presets.h"
#include "host/trends_tab.h"
#include "storage/storage.h"

namespace {

void waitMs(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The picture as a PNG file, written whole or not at all.
bool savePicture(const QImage& picture, const QString& path)
{
    QByteArray png;
    QBuffer buffer(&png);
    return buffer.open(QIODevice::WriteOnly) && picture.save(&buffer, "PNG") &&
           replaceFile(QFile::encodeName(path).constData(), nullptr, png.constData(), static_cast<size_t>(png.size()));
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const QStringList args = QApplication::arguments();
    const QDir out(args.size() > 1 ? args[1] : "docs");
    const int seconds = args.size() > 2 ? args[2].toInt() : 60;
    QApplication::setApplicationName("CorvexDocs");  // keeps the user's own window choices apart
    QApplication::setOrganizationName("Corvex");
    QSettings().clear();  // every run starts from the window's defaults (it stores its choices as they change)
    // The package's menu icon: the whole front panel, centred on a clear square.
    if (const QImage picture = frontPanelPicture(); !picture.isNull()) {
        const QImage face = picture.scaled(128, 128, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        QImage icon(128, 128, QImage::Format_ARGB32);
        icon.fill(Qt::transparent);
        QPainter(&icon).drawImage((128 - face.width()) / 2, (128 - face.height()) / 2, face);
        savePicture(icon, out.filePath("corvex-ems-sim.png"));
    }
    TfrmMain window;
    window.show();
    // A third argument, "trends", keeps the Trends tab shown while waiting (to compare the load).
    if (args.size() > 3 && args[3] == "trends") window.tabs()->setCurrentWidget(window.trends());
    window.front()->onButton()->click();  // as a pilot powers on: the readings beside the bars follow
    waitMs(4000);  // the notices
    for (const InputPreset& preset : inputPresets())
        if (preset.title == "Cruise") applyPreset(window.inputs(), preset);
    waitMs(seconds * 1000);
    bool ok = savePicture(window.grab().toImage(), out.filePath("window.png"));
    window.tabs()->setCurrentWidget(window.trends());
    window.trends()->findChild<QComboBox*>("TrendSpan")->setCurrentIndex(0);  // the minute just run
    waitMs(300);
    ok = savePicture(window.grab().toImage(), out.filePath("trends.png")) && ok;
    window.passDriver()->powerOff();
    waitMs(200);
    std::printf("%s\n", ok ? "pictures written" : "a picture could not be written");
    return ok ? 0 : 1;
}
