// Where the window keeps the instrument's non-volatile memory: a small file in the user's data
// folder (or the one named by --memory), read at start and written on every change of the flight
// log, at power-off and at exit.
#pragma once
#include <QString>

// Reads the file; a missing file is a first start. One that cannot be read, or is damaged or
// foreign, is moved aside (the message box names the kept copy) and the memory starts from zero;
// if it cannot be moved, it is never written.
void openMemoryStore(const QString& path);
// The file "--memory FILE" names, else memory.bin in the application's data folder.
QString memoryStorePath(const QStringList& arguments);
// Writes the memory now (power-off, exit), or only if the flight log changed since the last write.
void saveMemoryStore();
void saveMemoryStoreIfChanged();
