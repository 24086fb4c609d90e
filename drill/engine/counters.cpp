#include "counters.h"

DrillCounters Counters;
