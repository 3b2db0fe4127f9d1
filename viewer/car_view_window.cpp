#include "viewer/car_view_window.h"

#include "model/car_model.h"
#include "model/car_texture.h"
#include "model/kesh.h"
#include "model/last_directory.h"
#include "obj/obj_export.h"
#include "obj/obj_import.h"
#include "platform/platform.h"
#include "platform/win32_handles.h"
#include "resources/resource.h"
#include "viewer/car_view.h"
#include "viewer/renderer.h"
#include "viewer/texture.h"
#include "viewer/top_row.h"

#include <windowsx.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

HWND carViewWindow;

namespace {

const char CLASS_NAME[] = "VerroCarViewWndClass";
const char HINT[] = "Drag: turn    Wheel: zoom    1 2 3 4: side, top, front, back    Home: fit";
const char NO_CAR[] = "No car is loaded";
constexpr int MIN_WIDTH = 320;
constexpr int MIN_HEIGHT = 240;
const char TEXTURE_FILE_TYPE[] = "Targa images (*.tga)\0*.tga\0";
const char OBJ_FILE_TYPE[] = "3D model (*.obj)\0*.obj\0";

HWND viewOwner;

// The row above the picture: its controls, left to right, and the texture's status, which takes
// what is left of the width; under it a line with the hint. The row is laid out from the text of
// each item in the row's font, which is the main window's, so that it grows with the screen's
// scale.
struct RowControl {
    int id; // 0: text drawn in the row, no control
    RowItemKind kind;
    const char* text;
};
const RowControl ROW[] = {
    {IDC_CAR_VIEW_DAMAGED, RowItemKind::CheckBox, "Damaged"},
    {IDC_CAR_VIEW_WIREFRAME, RowItemKind::CheckBox, "Wireframe"},
    {IDC_CAR_VIEW_TEXTURE, RowItemKind::Button, "Texture..."},
    {IDC_CAR_VIEW_EXPORT_OBJ, RowItemKind::Button, "Export OBJ..."},
    {0, RowItemKind::Text, ""}, // the texture's status
};
HFONT rowFont;
std::vector<RowItem> rowItems;
RowMetrics rowMetrics;
RowLayout row{26, {}};
// The hint's line under the row; the picture begins under it.
int hintTop = 26;
int pictureTop = 44;

// The texture the car is drawn with (empty: none), and what the row says of it. Why a texture
// could not be read needs room: it takes the hint's line until another texture is chosen.
Texture texture;
std::string textureStatus;
std::string textureProblem;

void Repaint(HWND window) {
    InvalidateRect(window, nullptr, FALSE);
}

void ReadSelections() {
    carView.selectedPart =
        static_cast<int32_t>(SendDlgItemMessageA(viewOwner, IDC_PART_LIST, LB_GETCURSEL, 0, 0));
    carView.selectedDummy =
        static_cast<int32_t>(SendDlgItemMessageA(viewOwner, IDC_DUMMY_LIST, LB_GETCURSEL, 0, 0));
}

void ShowCaption(HWND window) {
    char caption[FILE_NAME_SIZE + 16] = "Car view";
    if (carFileName[0]) {
        std::snprintf(caption, sizeof caption, "Car view - %s", carFileName);
    }
    SetWindowTextA(window, caption);
}

void DrawRowText(HDC dc, const char* text, RECT place, UINT format) {
    DrawTextA(dc, text, -1, &place, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX | format);
}

void DrawView(HDC dc, int width, int height) {
    RECT strip = {0, 0, width, pictureTop};
    FillRect(dc, &strip, GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ oldFont = SelectObject(dc, rowFont);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    for (size_t i = 0; i < row.places.size(); ++i) {
        if (ROW[i].id == 0) {
            const PixelRect& at = row.places[i];
            DrawRowText(dc, textureStatus.c_str(), {at.left, at.top, at.right, at.bottom}, 0);
        }
    }
    const int margin = row.places.empty() ? 0 : row.places[0].left;
    DrawRowText(dc, textureProblem.empty() ? HINT : textureProblem.c_str(), {margin, hintTop, width - margin, pictureTop},
                0);

    RenderCarView(carView, carModel, texture.pixels.empty() ? nullptr : &texture);
    const Frame& frame = carView.frame;
    BITMAPINFO bitmap = {};
    bitmap.bmiHeader.biSize = sizeof bitmap.bmiHeader;
    bitmap.bmiHeader.biWidth = frame.width;
    bitmap.bmiHeader.biHeight = -frame.height; // rows from the top
    bitmap.bmiHeader.biPlanes = 1;
    bitmap.bmiHeader.biBitCount = 32;
    bitmap.bmiHeader.biCompression = BI_RGB;
    if (frame.width > 0 && frame.height > 0) {
        SetDIBitsToDevice(dc, 0, pictureTop, frame.width, frame.height, 0, 0, 0, frame.height,
                          frame.colour.data(), &bitmap, DIB_RGB_COLORS);
    }
    if (!ShownVertices(carView, carModel)) {
        RECT picture = {0, pictureTop, width, height};
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        DrawTextA(dc, NO_CAR, -1, &picture, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    }
    SelectObject(dc, oldFont);
}

// Everything is drawn into a bitmap first and copied at once, so that nothing flickers.
void Paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    HDC buffer = CreateCompatibleDC(dc);
    HBITMAP bitmap = client.right > 0 && client.bottom > 0
                         ? CreateCompatibleBitmap(dc, client.right, client.bottom)
                         : nullptr;
    if (buffer && bitmap) {
        HGDIOBJ oldBitmap = SelectObject(buffer, bitmap);
        DrawView(buffer, client.right, client.bottom);
        BitBlt(dc, 0, 0, client.right, client.bottom, buffer, 0, 0, SRCCOPY);
        SelectObject(buffer, oldBitmap);
    }
    if (bitmap) {
        DeleteObject(bitmap);
    }
    if (buffer) {
        DeleteDC(buffer);
    }
    EndPaint(window, &paint);
}

// Selects the picked part in the main window's part list as a click there would, so that
// the name field and "Choose..." follow.
void PickAt(int32_t x, int32_t y) {
    // While a dialog of the main window is open, its list cannot be clicked either.
    if (!IsWindowEnabled(viewOwner)) {
        return;
    }
    int32_t part = PickPart(carView, carModel, x, y);
    HWND list = GetDlgItem(viewOwner, IDC_PART_LIST);
    if (part < 0 || part >= SendMessageA(list, LB_GETCOUNT, 0, 0)) {
        return;
    }
    SendMessageA(list, LB_SETCURSEL, part, 0);
    SendMessageA(viewOwner, WM_COMMAND, MAKEWPARAM(IDC_PART_LIST, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

void Create(HWND window) {
    // The check boxes start clear, and so does what they stand for.
    carView.showDamaged = 0;
    carView.wireframe = false;
    rowFont = reinterpret_cast<HFONT>(SendMessageA(viewOwner, WM_GETFONT, 0, 0));
    if (!rowFont) {
        rowFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }
    HDC dc = GetDC(window);
    HGDIOBJ oldFont = SelectObject(dc, rowFont);
    TEXTMETRICA font;
    GetTextMetricsA(dc, &font);
    rowMetrics = {font.tmHeight, GetSystemMetrics(SM_CXMENUCHECK)};
    rowItems.clear();
    for (const RowControl& control : ROW) {
        SIZE extent = {0, 0};
        GetTextExtentPoint32A(dc, control.text, static_cast<int>(std::strlen(control.text)), &extent);
        rowItems.push_back({control.kind, extent.cx});
        if (control.id == 0) {
            continue;
        }
        DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP |
                      (control.kind == RowItemKind::CheckBox ? BS_AUTOCHECKBOX : BS_PUSHBUTTON);
        HWND child =
            CreateWindowExA(0, "Button", control.text, style, 0, 0, 0, 0, window,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), appInstance, nullptr);
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(rowFont), FALSE);
    }
    SelectObject(dc, oldFont);
    ReleaseDC(window, dc);
}

// Places the row's controls for a window of this width; the row's height follows the font.
void LayOutRow(HWND window, int width) {
    row = LayoutTopRow(rowItems, rowMetrics, width);
    hintTop = row.height;
    pictureTop = hintTop + rowMetrics.textHeight * 3 / 2;
    for (size_t i = 0; i < row.places.size(); ++i) {
        const PixelRect& at = row.places[i];
        if (ROW[i].id != 0) {
            MoveWindow(GetDlgItem(window, ROW[i].id), at.left, at.top, at.right - at.left, at.bottom - at.top,
                       TRUE);
        }
    }
}

std::string FileName(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A texture that cannot be read leaves the car drawn without one, and the row says why.
void ShowTexture(HWND window, const std::string& path) {
    texture = {};
    textureProblem.clear();
    std::string reason;
    if (!path.empty() && LoadTga(path, texture, reason)) {
        textureStatus = "Texture: " + FileName(path);
    } else {
        texture = {};
        textureStatus = carModel.vertices ? "No texture" : "";
        if (!path.empty()) {
            textureProblem = "The texture " + FileName(path) + " is not shown: " + reason;
        }
    }
    Repaint(window);
}

void ChooseTexture(HWND window) {
    FileDialogResult choice;
    if (ChooseFileFromLastDirectory(false, TEXTURE_FILE_TYPE, &choice)) {
        ShowTexture(window, choice.path);
    }
}

// Written as fceconv's export writes it, with the texture that lies beside the car.
void ExportObj() {
    FileDialogRequest request = {true, OBJ_FILE_TYPE, 1, "obj", SAVE_DIALOG_FLAGS, lastDirectory};
    FileDialogResult choice;
    if (!ChooseFile(request, &choice)) {
        return;
    }
    SetLastDirectoryFromChoice(choice);
    ObjExportOptions options;
    options.texture = FindCarTexture(carFilePath);
    options.source = carFilePath;
    options.layout = IsObjPath(carFilePath)                  ? "OBJ"
                     : HasKeshMark(carFilePath.c_str()) ? "Verro:Kesh"
                                                        : "Verro3";
    SaveObjPath(choice.path, options, nullptr);
}

void RowCommand(HWND window, int id) {
    const bool checked = IsDlgButtonChecked(window, id) == BST_CHECKED;
    switch (id) {
    case IDC_CAR_VIEW_DAMAGED: carView.showDamaged = checked ? 1 : 0; break;
    case IDC_CAR_VIEW_WIREFRAME: carView.wireframe = checked; break;
    case IDC_CAR_VIEW_TEXTURE: ChooseTexture(window); break;
    case IDC_CAR_VIEW_EXPORT_OBJ: ExportObj(); break;
    default: return;
    }
    // The keys turn the view only while the window, not a control of the row, has the focus.
    SetFocus(window);
    Repaint(window);
}

bool KeyDown(HWND window, WPARAM key) {
    switch (key) {
    case '1':
    case VK_NUMPAD1: ShowFixedView(carView, carModel, FixedView::Side); break;
    case '2':
    case VK_NUMPAD2: ShowFixedView(carView, carModel, FixedView::Top); break;
    case '3':
    case VK_NUMPAD3: ShowFixedView(carView, carModel, FixedView::Front); break;
    case '4':
    case VK_NUMPAD4: ShowFixedView(carView, carModel, FixedView::Back); break;
    case VK_HOME: FitCarView(carView, carModel); break;
    default: return false;
    }
    Repaint(window);
    return true;
}

void ButtonDown(HWND window, LPARAM at) {
    SetFocus(window);
    SetCapture(window);
    PressCarView(carView, GET_X_LPARAM(at), GET_Y_LPARAM(at) - pictureTop);
}

void ButtonUp(HWND window, LPARAM at) {
    int32_t x = GET_X_LPARAM(at), y = GET_Y_LPARAM(at) - pictureTop;
    bool held = carView.buttonDown;
    bool click = ReleaseCarView(carView, x, y);
    if (held) {
        ReleaseCapture();
    }
    if (click) {
        PickAt(x, y);
    }
    Repaint(window);
}

void Destroyed() {
    carViewWindow = nullptr;
    CancelCarViewDrag(carView);
    // The frame of a large car is large; it is not kept while nobody looks at it.
    std::vector<CameraVertex>().swap(carView.projected);
    carView.frame = Frame();
}

} // namespace

LRESULT CALLBACK CarViewWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: Create(window); return 0;
    case WM_SIZE:
        LayOutRow(window, LOWORD(lParam));
        ResizeCarView(carView, carModel, LOWORD(lParam), std::max(HIWORD(lParam) - pictureTop, 0));
        Repaint(window);
        return 0;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {MIN_WIDTH, MIN_HEIGHT};
        return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(window); return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            RowCommand(window, LOWORD(wParam));
        }
        return 0;
    case WM_KEYDOWN:
        if (KeyDown(window, wParam)) {
            return 0;
        }
        break;
    case WM_LBUTTONDOWN: ButtonDown(window, lParam); return 0;
    case WM_MOUSEMOVE:
        if (MoveCarView(carView, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) - pictureTop)) {
            Repaint(window);
        }
        return 0;
    case WM_LBUTTONUP: ButtonUp(window, lParam); return 0;
    case WM_CAPTURECHANGED: CancelCarViewDrag(carView); return 0;
    case WM_MOUSEWHEEL:
        ZoomCarView(carView, GET_WHEEL_DELTA_WPARAM(wParam));
        Repaint(window);
        return 0;
    case WM_DESTROY: Destroyed(); return 0;
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterCarViewClass() {
    WNDCLASSA viewClass = {};
    viewClass.lpfnWndProc = CarViewWndProc;
    viewClass.hInstance = appInstance;
    viewClass.hIcon = LoadIconA(appInstance, MAKEINTRESOURCEA(IDI_APPLICATION_ICON));
    viewClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    viewClass.lpszClassName = CLASS_NAME;
    RegisterClassA(&viewClass);
}

void OpenCarView(HWND mainWindow) {
    if (carViewWindow) {
        if (IsIconic(carViewWindow)) {
            ShowWindow(carViewWindow, SW_RESTORE);
        }
        SetForegroundWindow(carViewWindow);
        return;
    }
    viewOwner = mainWindow;
    RECT owner;
    GetWindowRect(mainWindow, &owner);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(mainWindow, MONITOR_DEFAULTTONEAREST), &monitor);
    int height = std::max(static_cast<int>(owner.bottom - owner.top), MIN_HEIGHT);
    int width = std::max(height * 4 / 3, MIN_WIDTH);
    const RECT& work = monitor.rcWork;
    PixelRect place = PlaceBeside({owner.left, owner.top, owner.right, owner.bottom},
                                  {work.left, work.top, work.right, work.bottom}, width, height);
    carViewWindow =
        CreateWindowExA(0, CLASS_NAME, "Car view", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, place.left,
                        place.top, width, height, mainWindow, nullptr, appInstance, nullptr);
    if (!carViewWindow) {
        return;
    }
    FollowCarInView(CarChange::NewCar);
    ShowWindow(carViewWindow, SW_SHOWNORMAL);
}

void FollowCarInView(CarChange change) {
    if (!carViewWindow) {
        return;
    }
    ReadSelections();
    if (change == CarChange::NewCar) {
        ShowCaption(carViewWindow);
        for (int id : {IDC_CAR_VIEW_DAMAGED, IDC_CAR_VIEW_TEXTURE, IDC_CAR_VIEW_EXPORT_OBJ}) {
            EnableWindow(GetDlgItem(carViewWindow, id), carModel.vertices != nullptr);
        }
        ResetCarView(carView, carModel);
        ShowTexture(carViewWindow, carModel.vertices ? FindCarTexture(carFilePath) : "");
    }
    Repaint(carViewWindow);
}

void CloseCarView() {
    if (carViewWindow) {
        DestroyWindow(carViewWindow);
    }
}
