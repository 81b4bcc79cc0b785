// corvex-ems-sim: the simulator's window program.
#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QStyle>
#include <cstdio>

#include "host/command_line.h"
#include "host/main_window.h"
#include "host/memory_store.h"
#include "settings/sdcard.h"

int main(int argc, char** argv)
{
    // The options are checked before the application connects to a display, so --help and every
    // refusal work without one and no window ever opens for a bad command line.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    WindowOptions options;
    QString message;
    switch (parseWindowCommandLine(arguments, options, message)) {
    case CommandLineResult::Exit:
        std::fputs(message.toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLineResult::Error:
        std::fprintf(stderr, "corvex-ems-sim: %s\n", message.toLocal8Bit().constData());
        return 2;
    case CommandLineResult::Run: break;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName("Corvex");
    openMemoryStore(options.memory.isEmpty() ? memoryStorePath({}) : options.memory);
    QApplication::setOrganizationName("Corvex");  // where QSettings keeps the window's choices
    if (!options.sdcard.isEmpty()) setSdCardFolder(QFile::encodeName(options.sdcard).constData());
    TfrmMain window;
    window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(),
                                           window.screen()->availableGeometry()));
    window.show();
    applyWindowOptions(window, options);
    const int status = application.exec();
    saveMemoryStore();
    return status;
}
