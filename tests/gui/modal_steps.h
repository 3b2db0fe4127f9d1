// Steps that run inside the modal loop of a dialog that a command opened. A DialogAnswerer
// handler is called while the dialog is still being activated, so it may only post; a step
// runs once the dialog is up and may send messages and read the dialog's state at once.
#pragma once

#include "tests/gui/gui_support.h"

#include <windows.h>

#include <deque>
#include <functional>
#include <utility>

// Each timer runs the oldest step waiting.
inline std::deque<std::function<void()>> pendingModalSteps;

inline void CALLBACK RunModalStep(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    std::function<void()> step = std::move(pendingModalSteps.front());
    pendingModalSteps.pop_front();
    step();
}

// Runs step from the message loop of this thread as soon as it next waits for messages.
inline void InModalLoop(std::function<void()> step) {
    pendingModalSteps.push_back(std::move(step));
    SetTimer(nullptr, 0, 0, RunModalStep);
}

// Clicks a button as the mouse would: an automatic radio button is selected and the others
// of its group cleared before the dialog hears of the click.
inline void ClickNow(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

// The control that has the focus while the dialog is active. GUI tests of other programs on
// the same Wine server may have taken the foreground meanwhile; the dialog then takes it back
// and hands the focus to the control it keeps for that.
inline HWND FocusInDialog(HWND dialog) {
    if (GetForegroundWindow() != dialog) {
        SetForegroundWindow(dialog);
    }
    return GetFocus();
}

// A dialog that a step left open is ended with STILL_OPEN and counted, so that a faulty
// dialog fails its test instead of hanging it.
constexpr INT_PTR STILL_OPEN = 77;
inline int dialogsLeftOpen = 0;

// Answers the next dialog that opens under owner with step, run once the dialog is up.
inline void AnswerWithStep(DialogAnswerer& answerer, HWND owner, std::function<void(HWND)> step) {
    answerer.Then([owner, step](HWND dialog) {
        InModalLoop([owner, step, dialog] {
            step(dialog);
            // The owner is enabled again as soon as the dialog has ended.
            InModalLoop([owner, dialog] {
                if (IsWindow(dialog) && !IsWindowEnabled(owner)) {
                    ++dialogsLeftOpen;
                    EndDialog(dialog, STILL_OPEN);
                }
            });
        });
    });
}
