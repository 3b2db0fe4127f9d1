#include "mainwin/editing_commands.h"

// Not built yet: the commands do nothing.
void CommitTypedName(HWND, int, int) {}

void SetDefaultPartNames(HWND) {}

void ChoosePartName(HWND) {}

void ChooseDummyName(HWND) {}

void DriverMovementsCommand(HWND) {}
