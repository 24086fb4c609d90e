#include "random.h"

RandomGenerator DrillRandom;
