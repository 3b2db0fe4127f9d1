// Steps that run inside the modal loop of a dialog that a command opened. A DialogAnswerer
// handler is called while the dialog is still being activated, so it may only post; a step
// runs once the dialog is up and may send messages and read the dialog's state at once.
#pragma once

#include "tests/gui/gui_support.h"

#include <windows.h>

#include <functional>
#include <map>
#include <utility>

inline std::map<UINT_PTR, std::function<void()>>& PendingModalSteps() {
    static std::map<UINT_PTR, std::function<void()>> steps;
    return steps;
}

inline void CALLBACK RunModalStep(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    auto found = PendingModalSteps().find(id);
    if (found == PendingModalSteps().end()) {
        return;
    }
    std::function<void()> step = std::move(found->second);
    PendingModalSteps().erase(found);
    step();
}

// Runs step from the message loop of this thread as soon as it next waits for messages.
inline void InModalLoop(std::function<void()> step) {
    UINT_PTR id = SetTimer(nullptr, 0, 0, RunModalStep);
    PendingModalSteps()[id] = std::move(step);
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

// The three ways to cancel a dialog: its "Cancel" button, the Escape key and the close box.
enum class CancelWay { Button, Escape, CloseBox };

inline void CancelBy(HWND dialog, CancelWay way) {
    switch (way) {
    case CancelWay::Button: ClickNow(dialog, IDCANCEL); break;
    case CancelWay::Escape: {
        // Through the modal loop, which turns the key into the dialog's cancel command.
        HWND focus = GetFocus();
        PostMessageA(focus ? focus : dialog, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(focus ? focus : dialog, WM_KEYUP, VK_ESCAPE, 0xC0000001);
        break;
    }
    case CancelWay::CloseBox: PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); break;
    }
}

// What a dialog that a step left open ends with, so that a faulty dialog fails its test
// instead of hanging it.
constexpr INT_PTR STILL_OPEN = 77;

// Answers the next dialog that opens under owner with step, run once the dialog is up.
inline void AnswerWithStep(DialogAnswerer& answerer, HWND owner, std::function<void(HWND)> step) {
    answerer.Then([owner, step](HWND dialog) {
        InModalLoop([owner, step, dialog] {
            step(dialog);
            // The owner is enabled again as soon as the dialog has ended.
            InModalLoop([owner, dialog] {
                if (IsWindow(dialog) && !IsWindowEnabled(owner)) {
                    EndDialog(dialog, STILL_OPEN);
                }
            });
        });
    });
}
