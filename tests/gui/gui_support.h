// Helpers for tests that drive the real dialogs, from the real templates, under Wine.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The main window, created modelessly from template 101 with MainDialog.
HWND OpenMainWindow();

// Sends a command from control id, as a click or another notification would.
void SendCommand(HWND window, int id, int code = BN_CLICKED);

std::vector<std::string> ListEntries(HWND window, int listId);
int ListSelection(HWND window, int listId);
// Selects entry index as the user would: the list then reports the change.
void SelectByUser(HWND window, int listId, int index);
std::string ItemText(HWND window, int id);
std::string WindowText(HWND window);
std::string ClassName(HWND window);

// Screen rectangle of a control, and its size in dialog units converted to pixels.
RECT ScreenRect(HWND window);
RECT DialogUnitsToPixels(HWND dialog, int x, int y, int width, int height);

// Dispatches the messages waiting for this thread.
void PumpMessages();

// Answers modal dialogs that a command opens: each dialog of this thread, when it is first
// activated, goes to the next handler in line (which usually posts clicks to it). Dialogs
// left without a handler are cancelled, so that a test never hangs.
class DialogAnswerer {
  public:
    DialogAnswerer();
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    void Then(std::function<void(HWND dialog)> handler);
    // Captions of the dialogs seen, in the order they opened.
    std::vector<std::string> captions;
    int unexpected = 0;

  private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    void Activated(HWND window);
    HHOOK hook_;
    std::vector<std::function<void(HWND)>> handlers_;
    std::vector<HWND> seen_;
};

// Posts a click of the button id to a dialog (processed by its modal loop).
void PostClick(HWND dialog, int id);

// A dialog template as stored in the program's resources (DIALOG or DIALOGEX), so that
// tests can compare ids, kinds, texts, styles, positions and sizes with their description.
struct TemplateItem {
    int id;                // as stored: 16 bits in a DIALOG template, so -1 reads as 65535 there
    std::string className; // "Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox" or the name
    std::string text;
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
};

struct DialogTemplate {
    bool extended;
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    std::string caption;
    int fontSize;
    std::string fontName;
    std::vector<TemplateItem> items;

    const TemplateItem* Find(int id) const;
};

DialogTemplate ReadDialogTemplate(int templateId);

// The frame every template of the program has: its caption, place and size, the font
// "MS Sans Serif" at 8 points, and a popup with caption, system menu and modal frame that
// cannot be resized, minimised or maximised.
void ExpectDialogFrame(const DialogTemplate& t, const char* caption, int x, int y, int cx, int cy);

// One control as its description gives it. The rectangle is checked where x is not -1;
// style holds the bits that must be set.
struct ExpectedControl {
    int id;
    const char* className;
    const char* text;
    int x = -1, y = -1, cx = -1, cy = -1;
    DWORD style = 0;
};

// The template holds exactly these controls, in this order, each visible and enabled.
void ExpectControls(const DialogTemplate& t, const std::vector<ExpectedControl>& controls);
