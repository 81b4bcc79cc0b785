// The SD card document browser: the directory scan, the window of names, opening a picture or a
// checklist, and the checklist loader. The list is sorted by name without regard to case, so it
// reads the same on every machine whatever order the directory returns.
#include "time/documents.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "display/framebuffer.h"
#include "display/image.h"
#include "settings/sdcard.h"
#include "settings/settings.h"
#include "storage/storage.h"
#include "device.h"
#include "ui/home.h"
#include "ui/screen.h"

uint8_t browseChecklists = 0;
uint16_t documentFileCount = 0;
uint16_t directoryEntryCount = 0;
uint16_t documentSelected = 0;
char documentNames[DOCUMENT_WINDOW_ROWS][DOCUMENT_NAME_SIZE] = {};

namespace {

constexpr uint16_t kMaxEntries = 0xFFFF;

// The matching names of the last scan in list order.
char scanNames[DOCUMENT_SCAN_CAPACITY][DOCUMENT_NAME_SIZE];
int scanCount = 0;

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// List order: by name without regard to case; names differing only in case by their bytes.
int compareNames(const char* a, const char* b)
{
    for (size_t i = 0;; ++i) {
        const auto ca = static_cast<unsigned char>(upper(a[i])), cb = static_cast<unsigned char>(upper(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) break;
    }
    return std::strcmp(a, b);
}

// Keeps the name in list order; when the table is full the last name in that order drops out.
void keepName(const char* name)
{
    int at = scanCount;
    while (at > 0 && compareNames(name, scanNames[at - 1]) < 0) --at;
    if (at >= DOCUMENT_SCAN_CAPACITY) return;
    const int moved = (scanCount < DOCUMENT_SCAN_CAPACITY ? scanCount : DOCUMENT_SCAN_CAPACITY - 1) - at;
    if (moved > 0) std::memmove(scanNames[at + 1], scanNames[at], static_cast<size_t>(moved) * DOCUMENT_NAME_SIZE);
    std::memcpy(scanNames[at], name, std::strlen(name) + 1);
    if (scanCount < DOCUMENT_SCAN_CAPACITY) ++scanCount;
}

const char* browserFolder() { return browseChecklists != 0 ? CHECKLIST_FOLDER : INFO_PAGE_FOLDER; }

// Reads up to maxEntries entries of the browser's folder: every one counts in entries; names that
// match, fit a slot and are plain files (no folders, links or devices) are kept in scanNames.
// False when the folder cannot be opened.
bool scanFolder(uint16_t maxEntries, uint16_t& entries)
{
    char path[1100];
    scanCount = 0;
    entries = 0;
    if (!sdCardPath(browserFolder(), path, sizeof path)) return false;
    DIR* dir = opendir(path);
    if (!dir) return false;
    const bool checklists = browseChecklists != 0;
    while (entries < maxEntries) {
        const dirent* entry = readdir(dir);
        if (!entry) break;
        ++entries;
        const char* name = entry->d_name;
        if (strnlen(name, DOCUMENT_NAME_SIZE) >= DOCUMENT_NAME_SIZE || !documentNameMatches(name, checklists)) continue;
        struct stat info;
        if (fstatat(dirfd(dir), name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)) continue;
        keepName(name);
    }
    closedir(dir);
    return true;
}

// A name taken from a slot may be opened only as a plain name inside its folder.
bool safeName(const char* name)
{
    const size_t length = strnlen(name, DOCUMENT_NAME_SIZE);
    if (length == 0 || length >= DOCUMENT_NAME_SIZE) return false;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) return false;
    return std::strchr(name, '/') == nullptr && std::strchr(name, '\\') == nullptr;
}

void showWithoutList(ScreenFunction screen)
{
    overlayTimeout = 0;  // the menu that started the browser is gone when the screen ends
    returnScreen = homeScreen;
    openScreen(screen);
}

}  // namespace

bool documentNameMatches(const char* name, bool checklists)
{
    const size_t length = std::strlen(name);
    if (length < 3) return false;
    const char* want = checklists ? "ECL" : "MIF";
    const char* tail = name + length - 3;
    return upper(tail[0]) == want[0] && upper(tail[1]) == want[1] && upper(tail[2]) == want[2];
}

void openDocumentBrowser()
{
    if (sdCardPresent == 0) {
        showWithoutList(sdCardMessageScreen);
        return;
    }
    uint16_t entries = 0;
    if (!scanFolder(kMaxEntries, entries)) {
        showWithoutList(noFilesScreen);
        return;
    }
    directoryEntryCount = entries;
    documentFileCount = static_cast<uint16_t>(scanCount);
    if (documentFileCount == 0) {
        showWithoutList(noFilesScreen);
        return;
    }
    overlayScreen = documentListScreen;
    documentSelected = 0;
    cursorLine = 0;
    fillDocumentWindow(0);
}

void fillDocumentWindow(uint16_t selected)
{
    if (selected > documentFileCount) return;
    // The folder is read again, as the card may have changed while the list was open.
    uint16_t entries = 0;
    const bool read = scanFolder(directoryEntryCount, entries);
    std::memset(documentNames, 0, sizeof documentNames);
    if (!read) return;
    const int first = selected > 10 ? selected - 10 : 0;
    for (int slot = 0; slot < DOCUMENT_WINDOW_ROWS && first + slot < scanCount; ++slot)
        std::memcpy(documentNames[slot], scanNames[first + slot], DOCUMENT_NAME_SIZE);
}

void openDocumentInSlot(uint8_t slot)
{
    overlayTimeout = 0;
    if (slot >= DOCUMENT_WINDOW_ROWS) return;
    const char* name = documentNames[slot];
    if (!safeName(name)) return;  // an empty slot opens nothing
    const bool picture = documentNameMatches(name, false);
    const char* folder = picture ? INFO_PAGE_FOLDER : CHECKLIST_FOLDER;
    char relative[40], path[1100];  // "CHECKLST/" and a name of up to 19 characters
    std::snprintf(relative, sizeof relative, "%s/%s", folder, name);
    if (!sdCardPath(relative, path, sizeof path)) return;
    clearBackground();
    if (picture) {
        loadImageFile(0, 0, path);
        infoDisplayMode = 1;
    } else {
        loadChecklist(path);
        infoDisplayMode = 2;
        documentCursor = 0;
    }
    settings.lastDocumentKind = infoDisplayMode;
    std::snprintf(settings.lastDocumentPath, sizeof settings.lastDocumentPath, "SDCARD/%s", relative);
}

void loadChecklist(const char* path)
{
    std::FILE* file = openPlainFile(path);  // a pipe or device of the name never blocks the instrument
    if (!file) return;
    // Every line starts empty, so a last line without a newline ends where its text ends.
    std::memset(documentText, 0, sizeof documentText);
    documentLineCount = 0;
    int line = 0, column = 0;
    uint8_t block[512];
    while (line < CHECKLIST_LINES) {
        const size_t got = std::fread(block, 1, sizeof block, file);
        if (got == 0) break;
        for (size_t i = 0; i < got && line < CHECKLIST_LINES; ++i) {
            const char c = static_cast<char>(block[i]);
            if (c == '\n') {
                if (column < CHECKLIST_COLUMNS) documentText[line][column] = '\0';
                ++documentLineCount;
                ++line;
                column = 0;
            } else if (c != '\r') {
                if (column < CHECKLIST_COLUMNS) documentText[line][column] = c;
                if (column <= CHECKLIST_COLUMNS) ++column;  // bytes past the 60th are dropped
            }
        }
    }
    std::fclose(file);
}
