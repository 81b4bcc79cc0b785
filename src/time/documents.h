// SD card documents for the information display page: the checklist and information-page
// browser (directory scan, the eleven-name window, opening a document) and the checklist loader.
#pragma once
#include <cstdint>

constexpr int DOCUMENT_WINDOW_ROWS = 11;
constexpr int DOCUMENT_NAME_SIZE = 20;  // names of up to 19 characters; longer ones are not listed
constexpr int CHECKLIST_LINES = 30;
constexpr int CHECKLIST_COLUMNS = 60;
// Matching names kept by one scan, the smallest in list order; a card with more lists these.
constexpr int DOCUMENT_SCAN_CAPACITY = 512;

// The card's document folders.
constexpr const char* CHECKLIST_FOLDER = "CHECKLST";
constexpr const char* INFO_PAGE_FOLDER = "INFOPAGE";

extern uint8_t browseChecklists;     // 1 checklists, 0 information pages
extern uint16_t documentFileCount;   // matching files listed
extern uint16_t directoryEntryCount; // every entry the scan read, matching or not
extern uint16_t documentSelected;    // index of the selected file in list order
extern char documentNames[DOCUMENT_WINDOW_ROWS][DOCUMENT_NAME_SIZE];  // the names shown; "" empty

// Whether a name belongs to the browser's kind: its last three characters are "ECL" (checklists)
// or "MIF" (information pages), in any case.
bool documentNameMatches(const char* name, bool checklists);

// The information display menu's CHECKLISTS and INFO PAGES, after setting browseChecklists: the
// list as the home page's pop-up, or the "INSERT" / "SD CARD" or "NO FILES" screens.
void openDocumentBrowser();
// Fills documentNames with the window of eleven names around selected: from selected - 10 when
// selected is above 10, else from the first. Nothing when selected exceeds documentFileCount.
void fillDocumentWindow(uint16_t selected);
// Opens the name in window slot `slot`: a picture into the BackgroundBuffer or a checklist into
// documentText, switches the information display page to it and remembers it in the settings.
void openDocumentInSlot(uint8_t slot);
// Reads a checklist file into documentText: 30 lines of up to 60 characters, "\r" ignored. A file
// that cannot be opened changes nothing.
void loadChecklist(const char* path);

void documentListScreen();  // the list, an overlayScreen of the home screen
void noFilesScreen();       // "NO FILES" / "ON SD CARD"; any key returns to returnScreen
