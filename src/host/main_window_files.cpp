// The window's File actions: recording and playing scenarios, recording the display as a GIF,
// and saving it as a PNG.
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QStatusBar>
#include <vector>

#include "display/framebuffer.h"
#include "host/main_window.h"
#include "host/pass_driver.h"
#include "host/save_dialog.h"
#include "host/scenario_recorder.h"
#include "images/png_io.h"

void TfrmMain::recordScenarioClick()
{
    QAction* action = recordAction;
    if (scenarios->recording()) {
        QString error;
        if (!scenarios->stopRecording(&error)) QMessageBox::warning(this, "Record Scenario", error);
        action->setChecked(false);
        updateTitle();
        return;
    }
    const QString path = askSavePath(this, "Record Scenario", QString(), "Scenarios (*.scn)", "scn");
    action->setChecked(!path.isEmpty() && scenarios->startRecording(path));
    scenarioFile = path;
    updateTitle();
    if (action->isChecked()) statusBar()->showMessage("Recording: File > Record Scenario again stops", 5000);
}

void TfrmMain::recordGifClick()
{
    QString error;
    if (gif.isOpen()) {
        const QString path = QString::fromStdString(gif.path());
        if (stopGif(&error)) statusBar()->showMessage("Saved the display's recording as " + path, 8000);
        else QMessageBox::warning(this, "Record GIF", error);
        return;
    }
    gifAction->setChecked(false);
    const QString path = askSavePath(this, "Record GIF", "corvex-display.gif", "GIF images (*.gif)", "gif");
    if (path.isEmpty()) return;
    if (startGif(path, GifWriter::kDefaultFps, &error))
        statusBar()->showMessage("Recording the display: File > Record GIF again stops", 5000);
    else QMessageBox::warning(this, "Record GIF", error);
}

bool TfrmMain::startGif(const QString& path, unsigned fps, QString* error)
{
    std::string why = "a GIF is being recorded to " + gif.path();
    if (gif.isOpen() || !gif.open(QFile::encodeName(path).toStdString(), fps, driver->passesRun(), why)) {
        if (error) *error = QString::fromStdString(why);
        return false;
    }
    gif.sample(framebuffer, driver->passesRun());
    driver->setFrameEveryBatch(true);
    gifAction->setChecked(true);
    updateTitle();
    return true;
}

bool TfrmMain::stopGif(QString* error)
{
    std::string why;
    const bool written = gif.close(driver->passesRun(), why);
    driver->setFrameEveryBatch(false);
    gifAction->setChecked(false);
    updateTitle();
    if (!written && error) *error = QString::fromStdString(why);
    return written;
}

void TfrmMain::playScenarioClick()
{
    const QString path = QFileDialog::getOpenFileName(this, "Play Scenario", QString(), "Scenarios (*.scn)");
    if (!path.isEmpty()) playScenario(path);
}

bool TfrmMain::playScenario(const QString& path)
{
    QString error;
    if (scenarios->play(path, &error)) {
        scenarioFile = path;
        updateTitle();
        statusBar()->showMessage("Playing " + path + " (Esc stops)");
        return true;
    }
    if (!error.isEmpty()) QMessageBox::warning(this, "Play Scenario", error);
    return false;
}

bool TfrmMain::saveScreenshot(const QString& path) { return saveScreenshot(path, framebuffer); }

bool TfrmMain::saveScreenshot(const QString& path, const uint8_t* pixels)
{
    return writeIndexedPng(QFile::encodeName(path).toStdString(), pixels, SCREEN_WIDTH, SCREEN_HEIGHT);
}

void TfrmMain::saveScreenshotAs()
{
    // The display as it stood at the key press, not once the dialog has closed.
    const std::vector<uint8_t> shown(framebuffer, framebuffer + FRAMEBUFFER_SIZE);
    const QString path = askSavePath(this, "Save Screenshot", "corvex-display.png", "PNG images (*.png)", "png");
    if (path.isEmpty()) return;
    if (!saveScreenshot(path, shown.data())) QMessageBox::warning(this, "Corvex", QString("The file %1 cannot be written.").arg(path));
    else statusBar()->showMessage("Saved the display as " + path, 8000);
}
