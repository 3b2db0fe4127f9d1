#include "tests/gui/gui_support.h"

#include "mainwin/main_dialog.h"
#include "platform/win32_handles.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

HWND OpenMainWindow() {
    HWND window = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialog, 0);
    if (window) {
        ShowWindow(window, SW_SHOW);
        PumpMessages();
    }
    return window;
}

void SendCommand(HWND window, int id, int code) {
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

std::vector<std::string> ListEntries(HWND window, int listId) {
    std::vector<std::string> entries;
    LRESULT count = SendDlgItemMessageA(window, listId, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = SendDlgItemMessageA(window, listId, LB_GETTEXTLEN, i, 0);
        std::string text(static_cast<size_t>(length) + 1, '\0');
        SendDlgItemMessageA(window, listId, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(length));
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
    int length = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

std::string ItemText(HWND window, int id) {
    return WindowText(GetDlgItem(window, id));
}

std::string ClassName(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

RECT ScreenRect(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return rect;
}

RECT DialogUnitsToPixels(HWND dialog, int x, int y, int width, int height) {
    RECT rect = {x, y, x + width, y + height};
    MapDialogRect(dialog, &rect);
    return rect;
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void PostClick(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

namespace {
DialogAnswerer* activeAnswerer = nullptr;

BOOL CALLBACK NoteOpenWindow(HWND window, LPARAM seen) {
    reinterpret_cast<std::vector<HWND>*>(seen)->push_back(window);
    return TRUE;
}
} // namespace

DialogAnswerer::DialogAnswerer() {
    activeAnswerer = this;
    // Windows that are already open, such as the main window, are activated again when a
    // dialog they opened closes; they are not the dialogs to answer.
    EnumThreadWindows(GetCurrentThreadId(), NoteOpenWindow, reinterpret_cast<LPARAM>(&seen_));
    hook_ = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
}

DialogAnswerer::~DialogAnswerer() {
    UnhookWindowsHookEx(hook_);
    activeAnswerer = nullptr;
}

void DialogAnswerer::Then(std::function<void(HWND)> handler) {
    handlers_.push_back(std::move(handler));
}

LRESULT CALLBACK DialogAnswerer::Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && activeAnswerer) {
        activeAnswerer->Activated(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void DialogAnswerer::Activated(HWND window) {
    // A dialog is activated again when a dialog it opened closes; answer it once only. When a
    // dialog closes, activation may also pass to a window of another program on the same
    // desktop; that one is not ours to answer.
    if (ClassName(window) != "#32770" || std::find(seen_.begin(), seen_.end(), window) != seen_.end() ||
        GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) {
        return;
    }
    seen_.push_back(window);
    captions.push_back(WindowText(window));
    if (handlers_.empty()) {
        ++unexpected;
        PostClick(window, IDCANCEL);
        return;
    }
    auto handler = std::move(handlers_.front());
    handlers_.erase(handlers_.begin());
    handler(window);
}

namespace {

// Reads the fields of a dialog template in order; every field is WORD-aligned text or
// numbers, and each item starts on a DWORD boundary.
class TemplateReader {
  public:
    explicit TemplateReader(const BYTE* start) : start_(start), at_(start) {}
    WORD Word() {
        WORD value;
        std::memcpy(&value, at_, 2);
        at_ += 2;
        return value;
    }
    DWORD Dword() {
        DWORD value;
        std::memcpy(&value, at_, 4);
        at_ += 4;
        return value;
    }
    short Short() { return static_cast<short>(Word()); }
    std::string Text() {
        std::string text;
        for (WORD c = Word(); c != 0; c = Word()) {
            text.push_back(static_cast<char>(c));
        }
        return text;
    }
    // A menu, class or title field: empty, an ordinal (0xFFFF then a number) or a text.
    std::string NameOrOrdinal(WORD* ordinal) {
        WORD first;
        std::memcpy(&first, at_, 2);
        *ordinal = 0;
        if (first == 0xFFFF) {
            Word();
            *ordinal = Word();
            return "";
        }
        return Text();
    }
    void AlignDword() {
        while ((at_ - start_) % 4 != 0) {
            ++at_;
        }
    }
    void Skip(size_t bytes) { at_ += bytes; }

  private:
    const BYTE* start_;
    const BYTE* at_;
};

std::string PredefinedClass(WORD atom) {
    switch (atom) {
    case 0x80: return "Button";
    case 0x81: return "Edit";
    case 0x82: return "Static";
    case 0x83: return "ListBox";
    case 0x84: return "ScrollBar";
    case 0x85: return "ComboBox";
    default: return "#" + std::to_string(atom);
    }
}

} // namespace

const TemplateItem* DialogTemplate::Find(int id) const {
    for (const TemplateItem& item : items) {
        if (item.id == id || (!extended && id == -1 && item.id == 0xFFFF)) {
            return &item;
        }
    }
    return nullptr;
}

DialogTemplate ReadDialogTemplate(int templateId) {
    DialogTemplate result{};
    HRSRC resource =
        FindResourceA(appInstance, MAKEINTRESOURCEA(templateId), MAKEINTRESOURCEA(5)); // RT_DIALOG
    if (!resource) {
        return result;
    }
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(appInstance, resource)));
    TemplateReader reader(data);
    WORD ordinal;
    WORD version = reader.Word();
    WORD signature = reader.Word();
    result.extended = version == 1 && signature == 0xFFFF;
    WORD count;
    if (result.extended) {
        reader.Dword(); // help id
        result.exStyle = reader.Dword();
        result.style = reader.Dword();
    } else {
        // Not DIALOGEX: the two words read were the style.
        result.style = MAKELONG(version, signature);
        result.exStyle = reader.Dword();
    }
    count = reader.Word();
    result.x = reader.Short();
    result.y = reader.Short();
    result.cx = reader.Short();
    result.cy = reader.Short();
    reader.NameOrOrdinal(&ordinal); // menu
    reader.NameOrOrdinal(&ordinal); // class
    result.caption = reader.Text();
    if (result.style & DS_SETFONT) {
        result.fontSize = reader.Word();
        if (result.extended) {
            reader.Word(); // weight
            reader.Word(); // italic and charset
        }
        result.fontName = reader.Text();
    }
    for (WORD i = 0; i < count; ++i) {
        reader.AlignDword();
        TemplateItem item{};
        if (result.extended) {
            reader.Dword(); // help id
            item.exStyle = reader.Dword();
            item.style = reader.Dword();
        } else {
            item.style = reader.Dword();
            item.exStyle = reader.Dword();
        }
        item.x = reader.Short();
        item.y = reader.Short();
        item.cx = reader.Short();
        item.cy = reader.Short();
        item.id = result.extended ? static_cast<int>(reader.Dword()) : reader.Word();
        std::string name = reader.NameOrOrdinal(&ordinal);
        item.className = ordinal ? PredefinedClass(ordinal) : name;
        // Class names compare without case; resource compilers spell them as they like.
        for (WORD atom = 0x80; atom <= 0x85; ++atom) {
            if (lstrcmpiA(item.className.c_str(), PredefinedClass(atom).c_str()) == 0) {
                item.className = PredefinedClass(atom);
            }
        }
        item.text = reader.NameOrOrdinal(&ordinal);
        WORD extra = reader.Word();
        reader.Skip(extra);
        result.items.push_back(item);
    }
    return result;
}

void ExpectDialogFrame(const DialogTemplate& t, const char* caption, int x, int y, int cx, int cy) {
    EXPECT_EQ(t.caption, caption);
    EXPECT_EQ(t.fontName, "MS Sans Serif");
    EXPECT_EQ(t.fontSize, 8);
    EXPECT_EQ((std::vector<int>{t.x, t.y, t.cx, t.cy}), (std::vector<int>{x, y, cx, cy})) << caption;
    const DWORD frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    EXPECT_EQ(t.style & frame, frame) << caption;
    EXPECT_EQ(t.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0u) << caption;
}

void ExpectControls(const DialogTemplate& t, const std::vector<ExpectedControl>& controls) {
    ASSERT_EQ(t.items.size(), controls.size()) << t.caption;
    for (size_t i = 0; i < controls.size(); ++i) {
        const TemplateItem& item = t.items[i];
        const ExpectedControl& want = controls[i];
        int id = t.extended || want.id != -1 ? want.id : 0xFFFF; // DIALOG ids are 16 bits
        EXPECT_EQ(item.id, id) << t.caption << " control " << i;
        // Class names are found without regard to case, and resource compilers spell them as they like.
        EXPECT_EQ(lstrcmpiA(item.className.c_str(), want.className), 0)
            << item.className << " is not " << want.className << ", " << want.id << " " << want.text;
        EXPECT_EQ(item.text, want.text) << want.id;
        if (want.x != -1) {
            EXPECT_EQ((std::vector<int>{item.x, item.y, item.cx, item.cy}),
                      (std::vector<int>{want.x, want.y, want.cx, want.cy}))
                << want.id << " " << want.text;
        }
        EXPECT_EQ(item.style & want.style, want.style) << want.id << " " << want.text;
        EXPECT_EQ(item.style & (WS_CHILD | WS_VISIBLE | WS_DISABLED), DWORD(WS_CHILD | WS_VISIBLE))
            << want.id;
    }
}
