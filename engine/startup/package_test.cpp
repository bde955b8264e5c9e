#include "engine/startup/package.h"

#include <gtest/gtest.h>
