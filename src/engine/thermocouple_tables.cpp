// The K, J and E thermocouple reference tables, generated from the ITS-90 CSVs in
// data/thermocouples by make_tables.cmake there.
#include "engine/thermocouples.h"

#include "thermocouples/thermocouple_tables.inc"

const ThermocoupleTable& thermocoupleTable(int type)
{
    if (type == PROBE_J) return typeJTable;
    if (type == PROBE_E) return typeETable;
    return typeKTable;
}
