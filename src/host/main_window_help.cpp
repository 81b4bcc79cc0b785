// The window's Help menu: the keys, the user's guide and the About box.
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

#include "host/key_map.h"
#include "host/main_window.h"

namespace {

constexpr const char* kLicence = "none chosen yet: the source tree carries no licence file";

// The user's guide: installed beside the program (the package's doc folder), else the source
// tree's the program was built from.
QString userGuidePath()
{
    const QString installed =
        QDir(QCoreApplication::applicationDirPath()).absoluteFilePath("../share/doc/corvex-ems-sim/USER_GUIDE.md");
    return QFileInfo::exists(installed) ? QDir::cleanPath(installed) : QString(CORVEX_SOURCE_GUIDE);
}

}  // namespace

void TfrmMain::showKeys()
{
    auto* box = new QMessageBox(QMessageBox::Information, "Keys", keyMapHelpText(), QMessageBox::Ok, this);
    box->setObjectName("KeysHelp");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void TfrmMain::showGuide()
{
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(userGuidePath())))
        QMessageBox::information(this, "User's Guide", "The user's guide is " + userGuidePath());
}

void TfrmMain::showAbout()
{
    auto* box = new QMessageBox(QMessageBox::NoIcon, "About", QString(), QMessageBox::Ok, this);
    box->setObjectName("AboutBox");
    box->setTextFormat(Qt::RichText);
    const QString guide = userGuidePath();
    box->setText(QString("<h3>Corvex EMS Generation 1 Simulator %1</h3>"
                         "<p>A desktop simulator of the Corvex EMS engine-monitoring instrument.</p>"
                         "<p>Licence: %2</p><p>User's guide: <a href=\"%3\">%4</a></p>")
                     .arg(CORVEX_VERSION, kLicence, QUrl::fromLocalFile(guide).toString(), guide.toHtmlEscaped()));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
