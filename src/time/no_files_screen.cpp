// "NO FILES" / "ON SD CARD": the document browser found no folder or no matching file.
#include "time/documents.h"
#include "ui/home.h"

void noFilesScreen() { cardMessageScreen(140, 340, "NO FILES", "ON SD CARD"); }
