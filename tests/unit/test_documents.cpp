// SD card documents over a temporary card folder: the list's window and scrolling, name matching
// and order, the checklist loader's limits, opening pictures and checklists on page 3, the
// "NO FILES" and "INSERT" / "SD CARD" cases, and the scrolled list's golden.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "card_support.h"
#include "device.h"
#include "display/framebuffer.h"
#include "display/image.h"
#include "display/text.h"
#include "golden_support.h"
#include "key_press.h"
#include "scenario/scenario.h"
#include "settings/sdcard.h"
#include "settings/settings.h"
#include "time/documents.h"
#include "ui/home.h"
#include "ui/popups.h"
#include "ui/screen.h"

namespace fs = std::filesystem;

namespace {

struct File {
    std::string path;  // below the card folder; a name ending in "/" is a folder
    std::string content;
};

std::vector<File> numberedChecklists(int count)
{
    std::vector<File> files;
    for (int i = 1; i <= count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "CHECKLST/LIST%02d.ECL", i);
        files.push_back({name, std::string("LIST ") + std::to_string(i) + "\n"});
    }
    return files;
}

std::string window()
{
    std::string names;
    for (const auto& slot : documentNames) {
        if (slot[0] == '\0') continue;
        if (!names.empty()) names += ' ';
        names += std::string(slot, strnlen(slot, DOCUMENT_NAME_SIZE));
    }
    return names;
}

std::string line(int i) { return std::string(documentText[i], strnlen(documentText[i], CHECKLIST_COLUMNS)); }

class Documents : public testing::Test {
protected:
    fs::path card;

    void SetUp() override
    {
        resetDevice();
        buildTrigTables();  // as at power-on: the knob symbol's arc needs them
        loadDefaultSettings();
        card = freshCardFolder("documents_");
        sdCardPresent = 1;
        homePage = 3;
        infoDisplayMode = 0;
        documentLineCount = documentCursor = 0;
        std::memset(documentText, 0, sizeof documentText);
        currentScreen = homeScreen;
        overlayTimeout = 0;
    }
    void TearDown() override
    {
        resetDevice();
        fs::remove_all(card);
    }
    void write(const std::vector<File>& files)
    {
        for (const File& f : files) {
            const fs::path path = card / f.path;
            if (f.path.back() == '/') {
                fs::create_directories(path);
                continue;
            }
            fs::create_directories(path.parent_path());
            std::ofstream(path, std::ios::binary) << f.content;
        }
    }
    // The information display menu's CHECKLISTS (1) or INFO PAGES (0), as the menu runs it.
    void browse(uint8_t checklists)
    {
        openHomePageMenu();
        press(checklists ? "++p" : "+p");
    }
};

TEST_F(Documents, EdgeCases)
{
    const std::string line75(75, 'A');
    struct Case {
        const char* name;
        std::vector<File> files;
        uint8_t checklists;
        const char* keys;  // on the list, then on page 3
        std::function<void()> check;
    } cases[] = {
        {"15 checklists: eleven shown, ten turns reach row 10", numberedChecklists(15), 1, "++++++++++",
         [] {
             EXPECT_EQ(documentFileCount, 15);
             EXPECT_EQ(cursorLine, 10);
             EXPECT_EQ(documentSelected, 10);
             EXPECT_STREQ(documentNames[0], "LIST01.ECL");
             EXPECT_STREQ(documentNames[10], "LIST11.ECL");
         }},
        {"15 checklists: the eleventh turn scrolls the window", numberedChecklists(15), 1, "+++++++++++",
         [] {
             EXPECT_EQ(cursorLine, 10);
             EXPECT_STREQ(documentNames[0], "LIST02.ECL");
             EXPECT_STREQ(documentNames[10], "LIST12.ECL");
         }},
        {"15 checklists: the last file stops the selection", numberedChecklists(15), 1, "++++++++++++++++++",
         [] { EXPECT_EQ(documentSelected, 14); EXPECT_STREQ(documentNames[10], "LIST15.ECL"); }},
        {"back up: the window scrolls back while the selection is in the first ten", numberedChecklists(15), 1,
         "++++++++++++--", [] {
             EXPECT_EQ(documentSelected, 10);
             EXPECT_EQ(cursorLine, 10);
             EXPECT_STREQ(documentNames[0], "LIST01.ECL");
         }},
        {"back up to the first file", numberedChecklists(15), 1, "++++++++++++------------",
         [] { EXPECT_EQ(documentSelected, 0); EXPECT_EQ(cursorLine, 0); }},
        {"lower-case ecl counts; other endings, long names and folders do not",
         {{"CHECKLST/b.ecl", "x\n"}, {"CHECKLST/A.ECL", "x\n"}, {"CHECKLST/C.TXT", "x\n"},
          {"CHECKLST/EC", "x\n"}, {"CHECKLST/TWENTY-CHARACTERS.ECL", "x\n"},
          {"CHECKLST/NINETEEN-CHARS1.ECL", "x\n"}, {"CHECKLST/FOLDER.ECL/", ""}},
         1, "", [] {
             EXPECT_EQ(window(), "A.ECL b.ecl NINETEEN-CHARS1.ECL");
             EXPECT_GE(directoryEntryCount, 7);
         }},
        {"the list is sorted without regard to case", {{"CHECKLST/c.ecl", ""}, {"CHECKLST/B.ECL", ""}, {"CHECKLST/a.Ecl", ""}},
         1, "", [] { EXPECT_EQ(window(), "a.Ecl B.ECL c.ecl"); }},
        {"a line of 75 characters keeps its first 60", {{"CHECKLST/LONG.ECL", line75 + "\nNEXT\n"}}, 1, "p",
         [] {
             EXPECT_EQ(line(0), std::string(60, 'A'));
             EXPECT_EQ(line(1), "NEXT");
             EXPECT_EQ(documentLineCount, 2);
         }},
        {"a last line without a newline is shown but the cursor cannot reach it",
         {{"CHECKLST/OPEN.ECL", "ONE\r\nTWO\r\nTHREE"}}, 1, "p+++",
         [] {
             EXPECT_EQ(documentLineCount, 2);
             EXPECT_EQ(line(1), "TWO");
             EXPECT_EQ(line(2), "THREE");
             EXPECT_EQ(documentCursor, 1);
         }},
        {"lines after the 30th are not read", {{"CHECKLST/MANY.ECL", std::string(40, '\n') + "LATE"}}, 1, "p",
         [] { EXPECT_EQ(documentLineCount, 30); }},
        {"a checklist opens on page 3 and is remembered", {{"CHECKLST/RUNUP.ECL", "RUN-UP\n"}}, 1, "p",
         [] {
             EXPECT_EQ(infoDisplayMode, 2);
             EXPECT_EQ(overlayTimeout, 0);
             EXPECT_EQ(+settings.lastDocumentKind, 2);
             EXPECT_STREQ(settings.lastDocumentPath, "SDCARD/CHECKLST/RUNUP.ECL");
         }},
        {"EXIT closes the list and keeps the page", numberedChecklists(2), 1, "1",
         [] { EXPECT_EQ(overlayTimeout, 0); EXPECT_EQ(infoDisplayMode, 0); }},
        {"no document folder: NO FILES", {}, 1, "",
         [] { EXPECT_EQ(currentScreen, noFilesScreen); EXPECT_EQ(overlayTimeout, 0); }},
        {"no matching file: NO FILES", {{"INFOPAGE/README.TXT", "x"}}, 0, "", [] { EXPECT_EQ(currentScreen, noFilesScreen); }},
        {"any key leaves NO FILES for the home screen", {}, 1, "4", [] { EXPECT_EQ(currentScreen, homeScreen); }},
        {"a picture that is no picture still switches page 3", {{"INFOPAGE/EMPTY.MIF", ""}}, 0, "p",
         [] { EXPECT_EQ(infoDisplayMode, 1); EXPECT_STREQ(settings.lastDocumentPath, "SDCARD/INFOPAGE/EMPTY.MIF"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        write(c.files);
        browse(c.checklists);
        press(c.keys);
        c.check();
        TearDown();
    }
}

TEST_F(Documents, PictureThenChecklistSwitchesThePage)
{
    // A 2 x 1 picture: one run of two white pixels.
    write({{"INFOPAGE/DOT.MIF", std::string("\x02\x00\x01\x00\x82\x0f", 6)}, {"CHECKLST/LIST.ECL", "FIRST\n"}});
    browse(0);
    press("p");
    ASSERT_EQ(infoDisplayMode, 1);
    EXPECT_EQ(backgroundBuffer[1], COLOUR_WHITE);
    browse(1);
    press("p");
    EXPECT_EQ(infoDisplayMode, 2);
    EXPECT_EQ(line(0), "FIRST");
    EXPECT_EQ(backgroundBuffer[1], COLOUR_BLACK);  // the picture is gone with the cleared background
}

TEST_F(Documents, WithoutACardTheSdCardMessageLeadsHome)
{
    sdCardPresent = 0;
    browse(1);
    EXPECT_EQ(currentScreen, sdCardMessageScreen);
    press("6");
    EXPECT_EQ(currentScreen, homeScreen);
    EXPECT_EQ(overlayTimeout, 0);
}

TEST_F(Documents, ANameFromASlotNeverLeavesItsFolder)
{
    write({{"CHECKLST/A.ECL", "INSIDE\n"}, {"OUTSIDE.ECL", "OUTSIDE\n"}});
    browse(1);
    std::snprintf(documentNames[0], DOCUMENT_NAME_SIZE, "../OUTSIDE.ECL");
    press("p");
    EXPECT_EQ(infoDisplayMode, 0);
    EXPECT_EQ(documentLineCount, 0);
}

TEST_F(Documents, PipesAndFoldersNamedLikeDocumentsAreNeitherListedNorWaitedFor)
{
    write({{"CHECKLST/REAL.ECL", "REAL\n"}, {"CHECKLST/DIR.ECL/", ""}});
    ASSERT_EQ(mkfifo((card / "CHECKLST" / "PIPE.ECL").c_str(), 0600), 0);
    browse(1);
    EXPECT_EQ(window(), "REAL.ECL");
    loadChecklist((card / "CHECKLST" / "PIPE.ECL").c_str());  // returns at once, changes nothing
    loadChecklist((card / "CHECKLST" / "DIR.ECL").c_str());
    EXPECT_EQ(documentLineCount, 0);
}

TEST_F(Documents, AnyFileContentLoadsWithinItsLimits)
{
    const struct {
        const char* name;
        std::string content;
        int lines;
        std::string first;
    } kCases[] = {
        {"empty", "", 0, ""},
        {"10 MB without a newline", std::string(10 << 20, 'X'), 0, std::string(60, 'X')},
        {"binary", std::string("\0\x01\xff\n\x80\r\n", 7), 2, ""},
        {"only newlines", std::string(1000, '\n'), 30, ""},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        write({{"CHECKLST/ANY.ECL", c.content}});
        std::memset(documentText, 'Z', sizeof documentText);
        loadChecklist((card / "CHECKLST" / "ANY.ECL").c_str());
        EXPECT_EQ(documentLineCount, c.lines);
        EXPECT_EQ(line(0), c.first);
        infoDisplayMode = 2;
        documentCursor = 29;
        drawInformationPage();
    }
}

// Every document of the sample card opens whole: checklists within 30 lines that fit the page's
// width, pictures that fill the screen.
TEST_F(Documents, TheSampleCardsDocumentsOpenWhole)
{
    const fs::path sample = fs::path(CORVEX_SOURCE_DIR) / "SDCARD";
    int checklists = 0, pictures = 0;
    for (const auto& entry : fs::directory_iterator(sample / CHECKLIST_FOLDER)) {
        SCOPED_TRACE(entry.path().filename().string());
        ++checklists;
        loadChecklist(entry.path().c_str());
        EXPECT_GT(documentLineCount, 10);
        for (int i = 0; i < documentLineCount; ++i) EXPECT_LE(textAdvance(line(i).c_str(), 10), 460) << line(i);
    }
    for (const auto& entry : fs::directory_iterator(sample / INFO_PAGE_FOLDER)) {
        SCOPED_TRACE(entry.path().filename().string());
        ++pictures;
        EXPECT_EQ(loadImageFile(0, 0, entry.path().c_str()), ImageStatus::Complete);
    }
    EXPECT_EQ(checklists, 5);
    EXPECT_EQ(pictures, 2);
}

TEST_F(Documents, ScrolledListGolden)
{
    write(numberedChecklists(15));
    browse(1);
    press("++++++++++++");
    currentScreen();
    EXPECT_TRUE(framebufferMatchesGolden("documents/checklist_list_scrolled"));
}

}  // namespace
