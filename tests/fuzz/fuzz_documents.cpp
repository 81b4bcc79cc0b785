// libFuzzer target for the SD card documents: any bytes as a checklist file, or as a card folder
// of oddly named files, folders, links, pipes and unreadable files (checklists and pictures of any
// content) that the browser scans, lists, scrolls through and opens, one name after another.
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "device.h"
#include "display/framebuffer.h"
#include "settings/sdcard.h"
#include "settings/settings.h"
#include "time/documents.h"
#include "ui/home.h"
#include "ui/screen.h"

namespace fs = std::filesystem;

namespace {

const fs::path& cardFolder()
{
    static const fs::path folder = scratchPath("corvex-fuzz-card");
    return folder;
}

void writeFile(const fs::path& path, const uint8_t* data, size_t size)
{
    writeScratch(path, data, size);
}

void checkChecklist()
{
    require(documentLineCount <= CHECKLIST_LINES);
    for (const auto& line : documentText)
        for (size_t i = 0; i < CHECKLIST_COLUMNS && line[i] != '\0'; ++i) require(line[i] != '\n' && line[i] != '\r');
}

void checkWindow()
{
    require(documentFileCount <= DOCUMENT_SCAN_CAPACITY);
    require(documentSelected < documentFileCount || documentFileCount == 0);
    require(cursorLine < DOCUMENT_WINDOW_ROWS);
    for (const auto& name : documentNames) {
        require(strnlen(name, DOCUMENT_NAME_SIZE) < DOCUMENT_NAME_SIZE);
        if (name[0] != '\0') require(documentNameMatches(name, browseChecklists != 0));
    }
}

// A pass of the screen as no one sees it: its logic only (the pages are drawn at the end).
void key(uint8_t code)
{
    pendingKey = code;
    displayDrawing = false;
    currentScreen();
    displayDrawing = true;
    require(pendingKey == KeyNone);
}

// Root reads every file whatever its mode: without the two capabilities that allow it, a file of
// mode 000 is as unreadable to this process as to any other user (the owner keeps every other right).
void obeyFileModes()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct caps[2] = {};
    if (syscall(SYS_capget, &header, caps) != 0) return;
    caps[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    syscall(SYS_capset, &header, caps);
}

// Files named by the input: names end at a 0 byte, the bytes after the last name are every
// file's content. A name's first character may say what it is: "~" a folder, "@" a symbolic link
// to the first file, "|" a pipe, "!" a file nobody may read, "%" a file that turns into a pipe once
// the list is open. A name with a "/" (or "." / "..") is no file name and is skipped.
void fuzzFolder(const uint8_t* data, size_t size, bool checklists)
{
    const fs::path folder = cardFolder() / (checklists ? CHECKLIST_FOLDER : INFO_PAGE_FOLDER);
    std::error_code ignored;
    fs::remove_all(cardFolder(), ignored);
    fs::create_directories(folder, ignored);
    size_t start = 0, names = 0;
    size_t lastZero = 0;
    for (size_t i = 0; i < size; ++i)
        if (data[i] == 0) lastZero = i + 1;
    const uint8_t* content = data + lastZero;
    const size_t contentSize = size - lastZero;
    fs::path firstFile;
    std::vector<fs::path> turning;
    for (size_t i = 0; i < lastZero && names < 40; ++i) {
        if (data[i] != 0) continue;
        std::string name(reinterpret_cast<const char*>(data + start), i - start);
        start = i + 1;
        const char kind = !name.empty() && std::strchr("~@|!%", name[0]) ? name[0] : ' ';
        if (kind != ' ') name.erase(0, 1);
        if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos || name.size() > 200)
            continue;
        ++names;
        const fs::path path = folder / name;  // a name given twice keeps the first
        if (kind == '~') fs::create_directory(path, ignored);
        else if (kind == '@') fs::create_symlink(firstFile.empty() ? fs::path("nowhere") : firstFile, path, ignored);
        else if (kind == '|') mkfifo(path.c_str(), 0644);
        else if (!fs::exists(fs::symlink_status(path))) {
            writeFile(path, content, contentSize);
            if (kind == '!') chmod(path.c_str(), 0);
            if (kind == '%') turning.push_back(path);
            if (firstFile.empty()) firstFile = name;
        }
    }

    homePage = 3;
    currentScreen = homeScreen;
    browseChecklists = checklists ? 1 : 0;
    overlayScreen = nullptr;
    overlayTimeout = 5;  // opened from the quick menu, a pop-up itself
    openDocumentBrowser();
    if (currentScreen != homeScreen || overlayScreen != documentListScreen) return;  // NO FILES
    checkWindow();
    // Down to the end and back, then open the last name shown.
    for (int i = 0; i < documentFileCount + 2; ++i) {
        key(KeyKnobPlus);
        checkWindow();
    }
    for (int i = 0; i < 3; ++i) key(KeyKnobMinus);
    checkWindow();
    for (const fs::path& path : turning) {
        fs::remove(path, ignored);
        mkfifo(path.c_str(), 0644);
    }
    key(KeyKnobPress);
    require(overlayTimeout == 0);
    checkChecklist();
    homeScreen();  // page 3 drawn with whatever was opened
    // Then the first few names, each from a list opened afresh.
    const int count = documentFileCount < 6 ? documentFileCount : 6;
    for (int n = 0; n < count; ++n) {
        currentScreen = homeScreen;
        overlayScreen = nullptr;
        overlayTimeout = 5;
        openDocumentBrowser();
        if (overlayScreen != documentListScreen) return;
        for (int i = 0; i < n; ++i) key(KeyKnobPlus);
        checkWindow();
        key(KeyKnobPress);
        require(overlayTimeout == 0);
        checkChecklist();
        homeScreen();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool once = [] {
        buildTrigTables();
        obeyFileModes();
        setSdCardFolder(cardFolder().c_str());
        return true;
    }();
    (void)once;
    loadDefaultSettings();
    sdCardPresent = 1;
    overlayTimeout = 0;
    documentCursor = 0;
    if (size == 0) return 0;
    const uint8_t mode = data[0] % 3;
    if (mode == 0) {
        // The bytes as a checklist file, then page 3 drawn with the cursor at the end.
        std::error_code ignored;
        fs::create_directories(cardFolder(), ignored);
        const fs::path file = cardFolder() / "ANY.ECL";
        writeFile(file, data + 1, size - 1);
        loadChecklist(file.c_str());
        checkChecklist();
        infoDisplayMode = 2;
        documentCursor = documentLineCount > 0 ? static_cast<uint8_t>(documentLineCount - 1) : 0;
        drawInformationPage();
    } else {
        fuzzFolder(data + 1, size - 1, mode == 1);
    }
    return 0;
}
