// Named variables of the SD card document browser and the loaded checklist (one text per line and
// slot, documentText[i] and documentNames[i]), of the engine computer and of the CO detector.
#include <cstdio>

#include "scenario/variable_table.h"
#include "time/documents.h"
#include "time/ecu_co.h"
#include "ui/home.h"

namespace {

template <int N> struct IndexedNames {
    char names[N][24];
    IndexedNames(const char* base)
    {
        for (int i = 0; i < N; ++i) std::snprintf(names[i], sizeof names[i], "%s[%d]", base, i);
    }
};

}  // namespace

void addDocumentVariables(std::vector<DeviceVariable>& v)
{
    static const IndexedNames<CHECKLIST_LINES> textNames("documentText");
    static const IndexedNames<DOCUMENT_WINDOW_ROWS> slotNames("documentNames");
    v.insert(v.end(), {
        VAR(browseChecklists), VAR(documentFileCount), VAR(directoryEntryCount), VAR(documentSelected),
    });
    for (int i = 0; i < DOCUMENT_WINDOW_ROWS; ++i) v.push_back(text(slotNames.names[i], documentNames[i]));
    for (int i = 0; i < CHECKLIST_LINES; ++i) v.push_back(text(textNames.names[i], documentText[i]));
    v.insert(v.end(), {
        VAR(ecuLinkPresent), VAR(ecuLaneFlags), VAR(ecuEngineStatus), VAR(ecuEngineHours), VAR(ecuHours),
        VAR(ecuSensorStatusA), VAR(ecuSensorStatusB), VAR(ecuDeviceStatusA), VAR(ecuDeviceStatusB),
        VAR(ecuThrottlePosition), VAR(ecuAmbientPressure), VAR(coModel), VAR(coSerialNumber),
        VAR(coSoftwareVersion), VAR(coCommand),
    });
}
