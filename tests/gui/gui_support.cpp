#include "tests/gui/gui_support.h"

#include "mainwin/main_dialog.h"
#include "platform/win32_handles.h"
#include "resources/resource.h"

#include <algorithm>
#include <deque>

HWND OpenMainWindow() {
    HWND window = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialog, 0);
    ShowWindow(window, SW_SHOW);
    PumpMessages();
    return window;
}

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
    std::vector<std::string> entries;
    LRESULT count = SendDlgItemMessageA(window, listId, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::string text(static_cast<size_t>(SendDlgItemMessageA(window, listId, LB_GETTEXTLEN, i, 0)) + 1,
                         '\0');
        text.resize(static_cast<size_t>(
            SendDlgItemMessageA(window, listId, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
        entries.push_back(text);
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

std::string WindowText(HWND window) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// WM_GETTEXT rather than GetWindowText, which does not ask a control of another process.
std::string ItemText(HWND window, int id) {
    char text[512] = {};
    SendDlgItemMessageA(window, id, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

Bytes Verro3Vertices(const std::string& path) {
    const Bytes file = ReadBytes(path);
    const auto* header = reinterpret_cast<const Fce3Header*>(file.data());
    const auto start = file.begin() + VERRO3_HEADER_SIZE + header->tableOffsets[0];
    return Bytes(start, start + header->vertexCount * 12);
}

RECT ScreenRect(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return rect;
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
// Dialogs whose step waits for their modal loop, and dialogs whose step has run.
std::deque<std::pair<HWND, std::function<void(HWND)>>> waiting;
std::deque<HWND> answered;

BOOL CALLBACK NoteOpenWindow(HWND window, LPARAM seen) {
    reinterpret_cast<std::vector<HWND>*>(seen)->push_back(window);
    return TRUE;
}

// Runs once the messages the step posted are taken: a dialog still open then was left open.
void CALLBACK EndLeftOpen(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND dialog = answered.front();
    answered.pop_front();
    HWND owner = GetWindow(dialog, GW_OWNER);
    if (activeAnswerer && IsWindow(dialog) && owner && !IsWindowEnabled(owner)) {
        ++activeAnswerer->unexpected;
        EndDialog(dialog, IDCANCEL);
    }
}
} // namespace

DialogAnswerer::DialogAnswerer() {
    activeAnswerer = this;
    EnumThreadWindows(GetCurrentThreadId(), NoteOpenWindow, reinterpret_cast<LPARAM>(&seen_));
    hook_ = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
}

DialogAnswerer::~DialogAnswerer() {
    UnhookWindowsHookEx(hook_);
    activeAnswerer = nullptr;
}

void DialogAnswerer::Then(std::function<void(HWND)> step) {
    steps_.push_back(std::move(step));
}

// A dialog is activated again when a dialog it opened closes: each is answered once.
LRESULT CALLBACK DialogAnswerer::Hook(int code, WPARAM wParam, LPARAM lParam) {
    HWND window = reinterpret_cast<HWND>(wParam);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    DialogAnswerer* self = activeAnswerer;
    if (code == HCBT_ACTIVATE && self && std::string(className) == "#32770" &&
        std::find(self->seen_.begin(), self->seen_.end(), window) == self->seen_.end()) {
        self->seen_.push_back(window);
        self->captions.push_back(WindowText(window));
        std::function<void(HWND)> step = [](HWND) {};
        if (!self->steps_.empty()) {
            step = std::move(self->steps_.front());
            self->steps_.erase(self->steps_.begin());
        }
        waiting.emplace_back(window, std::move(step));
        SetTimer(nullptr, 0, 0, RunStep);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK DialogAnswerer::RunStep(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    auto [dialog, step] = std::move(waiting.front());
    waiting.pop_front();
    // A modal dialog shows itself only once its loop first goes idle; the step may look at it.
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
    step(dialog);
    answered.push_back(dialog);
    SetTimer(nullptr, 0, 0, EndLeftOpen);
}
