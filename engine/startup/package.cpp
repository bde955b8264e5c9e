#include "engine/startup/package.h"
