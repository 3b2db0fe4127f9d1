// Helpers for tests that drive the real dialogs, from the real templates, under Wine.
#pragma once

#include "tests/support/fce_builder.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The main window, created modelessly from template 101 with MainDialog.
HWND OpenMainWindow();

// Sends a command from control id, as a click or another notification would.
void SendCommand(HWND window, int id, int code = BN_CLICKED);
// Clicks a button as the mouse would: an automatic radio button is checked and the others of
// its group cleared before the dialog hears of the click.
void ClickNow(HWND dialog, int id);
// Posts a click, for the dialog's modal loop to take.
void PostClick(HWND dialog, int id);

std::vector<std::string> ListEntries(HWND window, int listId);
int ListSelection(HWND window, int listId);
// Selects entry index as the user would: the list then reports the change.
void SelectByUser(HWND window, int listId, int index);
std::string WindowText(HWND window);
std::string ItemText(HWND window, int id);
// The vertex table of the Verro3 file at path.
Bytes Verro3Vertices(const std::string& path);
RECT ScreenRect(HWND window);

// Dispatches the messages waiting for this thread.
void PumpMessages();

// Answers the modal dialogs that a test's commands open, in the order they open: each step
// runs inside the dialog's own modal loop once the dialog is up, and may click, scroll and
// read it. A dialog that no step awaits, or that its step leaves open, is cancelled and
// counted, so that a faulty dialog fails its test instead of hanging it. Windows that are
// open when the answerer is made are not answered.
class DialogAnswerer {
  public:
    DialogAnswerer();
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    void Then(std::function<void(HWND dialog)> step);
    std::vector<std::string> captions; // of the dialogs answered, in the order they opened
    int unexpected = 0;

  private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK RunStep(HWND, UINT, UINT_PTR timer, DWORD);
    HHOOK hook_;
    std::vector<std::function<void(HWND)>> steps_;
    std::vector<HWND> seen_;
};
