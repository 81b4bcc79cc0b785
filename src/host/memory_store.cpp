// The memory file of the window program: read and written whole, through the core's image.
#include "host/memory_store.h"

#include <QDateTime>
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
bool writable = true;  // false while a file that could not be loaded stands at storePath

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
    writable = true;
    if (storePath.isEmpty()) return;
    const QByteArray stamp = QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss").toUtf8();
    const MemoryFileOpening opening = openMemoryFile(QFile::encodeName(storePath).constData(), stamp.constData());
    writable = opening.writable;
    if (!opening.message.empty())
        QMessageBox::warning(nullptr, "Corvex", QString::fromStdString(opening.message));
    savedChange = memoryChangeCount;
}

void saveMemoryStore()
{
    if (storePath.isEmpty() || !writable) return;
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
