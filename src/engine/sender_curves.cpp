// The built-in sender curves: temperature senders, the VDO resistive pressure senders (with the
// variants for the sender circuit of analog input 2) and the UMA 0-5 V pressure transducers.
#include "engine/senders.h"

// Points are (value, reading in ADC counts), in the order the senders were calibrated.
const SenderCurve curveDvkNtc = {10, {{20, 1740}, {30, 1320}, {40, 972}, {50, 703}, {60, 504},
                                      {70, 360}, {80, 264}, {90, 192}, {100, 144}, {110, 106}}};
const SenderCurve curveVdo150 = {10, {{10, 2000}, {50, 720}, {66, 432}, {80, 280}, {100, 156},
                                      {110, 120}, {120, 92}, {130, 72}, {140, 56}, {150, 44}}};
const SenderCurve curveWestach = {10, {{10, 3273}, {21, 2880}, {43, 1976}, {60, 1344}, {77, 888},
                                       {88, 672}, {99, 500}, {121, 284}, {149, 144}, {204, 37}}};
const SenderCurve curveVdo120 = {10, {{10, 1710}, {30, 928}, {50, 472}, {60, 332}, {70, 244},
                                      {80, 179}, {90, 131}, {100, 96}, {110, 72}, {120, 56}}};

const SenderCurve curveVdo2Bar = {5, {{0, 7}, {5, 162}, {10, 245}, {15, 308}, {20, 452}}};
const SenderCurve curveVdo2BarInput2 = {5, {{0, 12}, {5, 240}, {10, 360}, {15, 448}, {20, 644}}};
const SenderCurve curveVdo5Bar = {6, {{0, 24}, {10, 128}, {20, 212}, {30, 290}, {40, 364}, {50, 424}}};
const SenderCurve curveVdo5BarInput2 = {6, {{0, 36}, {10, 188}, {20, 312}, {30, 420}, {40, 524}, {50, 607}}};
const SenderCurve curveVdo10Bar = {6, {{0, 20}, {20, 128}, {40, 216}, {60, 304}, {80, 372}, {100, 433}}};
const SenderCurve curveVdo10BarInput2 = {6, {{0, 35}, {20, 192}, {40, 320}, {60, 440}, {80, 536}, {100, 620}}};

const SenderCurve curveT1eu07 = {8, {{0, 160}, {10, 668}, {20, 1178}, {30, 1686}, {40, 2196}, {50, 2705},
                                     {60, 3213}, {70, 3722}}};
const SenderCurve curveT1eu35 = {8, {{0, 160}, {5, 676}, {10, 1203}, {15, 1727}, {20, 2245}, {25, 2770},
                                     {30, 3280}, {35, 3814}}};
const SenderCurve curveT1eu70a = {13, {{5, 112}, {6, 159}, {10, 389}, {15, 668}, {20, 939}, {25, 1219},
                                       {30, 1498}, {35, 1776}, {40, 2056}, {45, 2336}, {50, 2614},
                                       {55, 2893}, {60, 3173}}};
const SenderCurve curveT1eu100 = {10, {{0, 160}, {10, 520}, {20, 890}, {30, 1252}, {40, 1612}, {50, 1981},
                                       {60, 2343}, {70, 2704}, {80, 3073}, {90, 3436}}};
const SenderCurve curveT1eu150 = {8, {{0, 160}, {20, 668}, {40, 1178}, {60, 1686}, {80, 2196}, {100, 2704},
                                      {120, 3213}, {150, 3977}}};

const SenderCurve& temperatureSenderCurve(uint8_t sender)
{
    switch (sender) {
    case 0: return curveDvkNtc;
    case 4: return curveWestach;
    case 5: return curveVdo120;
    default: return curveVdo150;
    }
}

const SenderCurve& vdoPressureCurve(uint8_t vdoModel, bool input2)
{
    switch (vdoModel) {
    case 0: return input2 ? curveVdo2BarInput2 : curveVdo2Bar;
    case 1: return input2 ? curveVdo5BarInput2 : curveVdo5Bar;
    default: return input2 ? curveVdo10BarInput2 : curveVdo10Bar;  // 2, and the factory model for strays
    }
}

const SenderCurve& umaPressureCurve(uint8_t umaModel)
{
    switch (umaModel) {
    case 1: return curveT1eu35;
    case 3: return curveT1eu70a;
    case 4: return curveT1eu100;
    case 5: return curveT1eu150;
    default: return curveT1eu07;  // 0 T1EU07 and 2 T1EU70 share the table; strays as the factory model
    }
}
