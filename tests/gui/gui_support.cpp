#include "tests/gui/gui_support.h"

#include <gtest/gtest.h>

#include <algorithm>

void SendCommand(HWND window, int id, int code) {
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

void ClickNow(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void PostClick(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::vector<std::string> ListEntries(HWND window, int listId) {
    std::vector<std::string> entries(SendDlgItemMessageA(window, listId, LB_GETCOUNT, 0, 0));
    for (size_t i = 0; i < entries.size(); ++i) {
        char text[512] = {};
        SendDlgItemMessageA(window, listId, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        entries[i] = text;
    }
    return entries;
}

int ListSelection(HWND window, int listId) {
    return static_cast<int>(SendDlgItemMessageA(window, listId, LB_GETCURSEL, 0, 0));
}

void SelectByUser(HWND window, int listId, int index) {
    SendDlgItemMessageA(window, listId, LB_SETCURSEL, index, 0);
    SendCommand(window, listId, LBN_SELCHANGE);
}

// GetWindowText does not ask a control of another process.
std::string WindowText(HWND window) {
    char text[512] = {};
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string ItemText(HWND window, int id) {
    return WindowText(GetDlgItem(window, id));
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

namespace {
DialogAnswerer* activeAnswerer = nullptr;

// Runs once the messages the step posted are taken: a dialog still modal then was left open.
void CALLBACK EndLeftOpen(HWND dialog, UINT, UINT_PTR timer, DWORD) {
    KillTimer(dialog, timer);
    if (activeAnswerer && !IsWindowEnabled(GetWindow(dialog, GW_OWNER))) {
        ADD_FAILURE() << "the dialog \"" << WindowText(dialog) << "\" was left open";
        EndDialog(dialog, IDCANCEL);
    }
}

void CALLBACK RunStep(HWND dialog, UINT, UINT_PTR timer, DWORD) {
    KillTimer(dialog, timer);
    // A modal dialog shows itself only once its loop first goes idle; the step may look at it.
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
    if (activeAnswerer && !activeAnswerer->steps.empty()) {
        auto step = std::move(activeAnswerer->steps.front());
        activeAnswerer->steps.erase(activeAnswerer->steps.begin());
        step(dialog);
    }
    SetTimer(dialog, 2, 0, EndLeftOpen);
}

// Owned dialogs (class 32770) only, each once: a dialog is activated again when one it opened closes.
LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    HWND window = reinterpret_cast<HWND>(wParam);
    DialogAnswerer* self = activeAnswerer;
    if (code == HCBT_ACTIVATE && self && GetClassLongPtrA(window, GCW_ATOM) == 32770 &&
        GetWindow(window, GW_OWNER) && std::count(self->seen.begin(), self->seen.end(), window) == 0) {
        self->seen.push_back(window);
        self->captions.push_back(WindowText(window));
        SetTimer(window, 1, 0, RunStep);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
} // namespace

DialogAnswerer::DialogAnswerer() {
    activeAnswerer = this;
    hook = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
}

DialogAnswerer::~DialogAnswerer() {
    UnhookWindowsHookEx(hook);
    activeAnswerer = nullptr;
}
