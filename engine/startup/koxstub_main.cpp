// koxstub: the setup engine. A built setup is this program with its setup
// package appended.
#include <windows.h>

#include "engine/startup/main_routine.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return kox::runEngine(); }
