// corvex-ems-sim: the simulator's window program.
#include <QApplication>
#include <QScreen>
#include <QStyle>

#include "host/main_window.h"
#include "host/memory_store.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName("Corvex");
    openMemoryStore(memoryStorePath(QApplication::arguments()));
    QApplication::setOrganizationName("Corvex");  // where QSettings keeps the window's choices
    TfrmMain window;
    window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(),
                                           window.screen()->availableGeometry()));
    window.show();
    const int status = application.exec();
    saveMemoryStore();
    return status;
}
