// DATA RECORDING SETUP: the create-file action, recording on or off, and the card's free space.
#include <iterator>
#include <cinttypes>
#include <cstdio>

#include "device.h"
#include "display/framebuffer.h"
#include "display/text.h"
#include "settings/settings.h"
#include "time/data_recording.h"
#include "ui/home.h"
#include "ui/list_screen.h"
#include "ui/screen.h"
#include "ui/tile_menu.h"

namespace {

void createFile()
{
    if (sdCardPresent) {
        openScreen(createRecordingFileScreen);
    } else {
        returnScreen = dataRecordingSetupScreen;
        openScreen(sdCardMessageScreen);
    }
}

int32_t recording() { return settings.dataRecordingOn; }
void setRecording(int32_t v) { settings.dataRecordingOn = static_cast<uint8_t>(v); }

const ListLine kLines[] = {
    {.label = "CREATE RECORDING FILE ON SD CARD", .kind = LineKind::Action, .action = createFile},
    {.label = "DATA RECORDING: ", .kind = LineKind::OnOff, .get = recording, .set = setRecording, .min = 0,
     .max = 1},
};

// Megabytes of 1000 x 1024 bytes, as the instrument counts them; in 64 bits so a large disk
// does not wrap.
void drawFreeSpace()
{
    if (!sdCardPresent) return;
    char text[48];
    std::snprintf(text, sizeof text, "FREE DISK SPACE: %" PRIu64 " MB", uint64_t{freeSpaceCount} * 1024u / 1000u);
    drawText(0, 230, text, 8, AlignLeft, COLOUR_WHITE);
}

const ListScreen kSetup = {.menuName = "", .screenName = "DATA RECORDING SETUP", .lines = kLines, .drawExtra = drawFreeSpace};

}  // namespace

void dataRecordingSetupScreen() { runListScreen(kSetup); }
