// Helpers for tests that drive the real dialogs, from the real templates, under Wine.
#pragma once

#include "tests/support/fce_builder.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

void SendCommand(HWND window, int id, int code = BN_CLICKED);
// As the mouse would: an automatic radio button clears the others of its group first.
void ClickNow(HWND dialog, int id);
// For the dialog's modal loop to take.
void PostClick(HWND dialog, int id);

std::vector<std::string> ListEntries(HWND window, int listId);
int ListSelection(HWND window, int listId);
// The list then reports the change, as it does to the user.
void SelectByUser(HWND window, int listId, int index);
std::string WindowText(HWND window);
std::string ItemText(HWND window, int id);
void PumpMessages();

// Answers the modal dialogs a test opens, in order, each step inside the dialog's own modal loop. A
// dialog that no step awaits, or that its step leaves open, is cancelled and fails the test.
struct DialogAnswerer {
    DialogAnswerer();
    ~DialogAnswerer();
    void Then(std::function<void(HWND dialog)> step) { steps.push_back(std::move(step)); }

    std::vector<std::string> captions; // of the dialogs answered, in the order they opened
    std::vector<std::function<void(HWND)>> steps;
    std::vector<HWND> seen;
    HHOOK hook;
};
