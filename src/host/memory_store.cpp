// The memory file of the window program: read and written whole, through the core's image.
#include "host/memory_store.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>
#include <QStringList>

#include <string>

#include "time/memory.h"

namespace {

QString storePath;
uint32_t savedChange = 0;

}  // namespace

QString memoryStorePath(const QStringList& arguments)
{
    const qsizetype at = arguments.indexOf("--memory");
    if (at >= 0 && at + 1 < arguments.size()) return arguments.at(at + 1);
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return folder.isEmpty() ? QString() : folder + "/memory.bin";
}

void openMemoryStore(const QString& path)
{
    storePath = path;
    if (storePath.isEmpty()) return;
    std::string reason;
    if (!loadMemoryFile(QFile::encodeName(storePath).constData(), reason) && !reason.empty())
        QMessageBox::warning(nullptr, "Corvex",
                             QString("The instrument's memory file %1 was not used: %2. The meters and the "
                                     "flight log start from zero.").arg(storePath, QString::fromStdString(reason)));
    savedChange = memoryChangeCount;
}

void saveMemoryStore()
{
    if (storePath.isEmpty()) return;
    savedChange = memoryChangeCount;
    QDir().mkpath(QFileInfo(storePath).absolutePath());
    std::string reason;
    if (!saveMemoryFile(QFile::encodeName(storePath).constData(), reason))
        qWarning("%s", reason.c_str());
}

void saveMemoryStoreIfChanged()
{
    if (memoryChangeCount != savedChange) saveMemoryStore();
}
