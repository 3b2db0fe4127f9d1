#include "viewer/car_view_window.h"

#include "model/car_model.h"
#include "platform/win32_handles.h"
#include "resources/resource.h"
#include "viewer/car_view.h"

#include <windowsx.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <vector>

HWND carViewWindow;

namespace {

const char CLASS_NAME[] = "VerroCarViewWndClass";
const char HINT[] = "Drag: turn    Wheel: zoom    1 2 3 4: side, top, front, back    Home: fit";
const char NO_CAR[] = "No car is loaded";
// The strip above the picture that holds the check box and the hint.
constexpr int STRIP_HEIGHT = 26;
constexpr int MIN_WIDTH = 320;
constexpr int MIN_HEIGHT = 240;
const COLORREF PART_COLOUR = RGB(150, 150, 150);
const COLORREF SELECTED_COLOUR = RGB(230, 40, 0);
const COLORREF DUMMY_COLOUR = RGB(0, 90, 200);
// Lines handed to one drawing call.
constexpr size_t LINES_PER_CALL = 4096;

static_assert(sizeof(ScreenPoint) == sizeof(POINT) && offsetof(ScreenPoint, y) == offsetof(POINT, y),
              "a frame's points go to PolyPolyline as they are");

HWND viewOwner;

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

void DrawLines(HDC dc, const std::vector<ScreenPoint>& points, DWORD pointsPerLine, COLORREF colour,
               int width) {
    if (points.empty()) {
        return;
    }
    HPEN pen = CreatePen(PS_SOLID, width, colour);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    const std::vector<DWORD> counts(LINES_PER_CALL, pointsPerLine);
    const auto* corners = reinterpret_cast<const POINT*>(points.data());
    size_t lines = points.size() / pointsPerLine;
    for (size_t first = 0; first < lines; first += LINES_PER_CALL) {
        size_t count = std::min(LINES_PER_CALL, lines - first);
        PolyPolyline(dc, corners + first * pointsPerLine, counts.data(), static_cast<DWORD>(count));
    }
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

void DrawView(HDC dc, int width, int height) {
    RECT strip = {0, 0, width, STRIP_HEIGHT};
    RECT picture = {0, STRIP_HEIGHT, width, height};
    FillRect(dc, &strip, GetSysColorBrush(COLOR_BTNFACE));
    FillRect(dc, &picture, GetSysColorBrush(COLOR_WINDOW));
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    RECT hint = {100, 0, width - 4, STRIP_HEIGHT};
    DrawTextA(dc, HINT, -1, &hint, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    if (!ShownVertices(carView, carModel)) {
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        DrawTextA(dc, NO_CAR, -1, &picture, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    }
    SelectObject(dc, oldFont);

    BuildCarFrame(carView, carModel);
    IntersectClipRect(dc, 0, STRIP_HEIGHT, width, height);
    POINT oldOrigin;
    SetViewportOrgEx(dc, 0, STRIP_HEIGHT, &oldOrigin);
    // What is selected goes over the rest.
    DrawLines(dc, carView.partLines, 4, PART_COLOUR, 1);
    DrawLines(dc, carView.dummyLines, 2, DUMMY_COLOUR, 1);
    DrawLines(dc, carView.selectedPartLines, 4, SELECTED_COLOUR, 2);
    DrawLines(dc, carView.selectedDummyLines, 2, SELECTED_COLOUR, 2);
    SetViewportOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    SelectClipRgn(dc, nullptr);
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
    // The check box starts clear, and so does what it stands for.
    carView.showDamaged = 0;
    HWND damaged = CreateWindowExA(
        0, "Button", "Damaged", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 8, 4, 84,
        STRIP_HEIGHT - 8, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_CAR_VIEW_DAMAGED)),
        appInstance, nullptr);
    SendMessageA(damaged, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
}

void DamagedClicked(HWND window) {
    carView.showDamaged = IsDlgButtonChecked(window, IDC_CAR_VIEW_DAMAGED) == BST_CHECKED ? 1 : 0;
    // The keys turn the view only while the window, not the check box, has the focus.
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
    PressCarView(carView, GET_X_LPARAM(at), GET_Y_LPARAM(at) - STRIP_HEIGHT);
}

void ButtonUp(HWND window, LPARAM at) {
    int32_t x = GET_X_LPARAM(at), y = GET_Y_LPARAM(at) - STRIP_HEIGHT;
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
    std::vector<ViewPoint>().swap(carView.points);
    std::vector<ScreenPoint>().swap(carView.partLines);
    std::vector<ScreenPoint>().swap(carView.selectedPartLines);
}

} // namespace

LRESULT CALLBACK CarViewWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: Create(window); return 0;
    case WM_SIZE:
        ResizeCarView(carView, carModel, LOWORD(lParam), std::max(HIWORD(lParam) - STRIP_HEIGHT, 0));
        Repaint(window);
        return 0;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {MIN_WIDTH, MIN_HEIGHT};
        return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(window); return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_CAR_VIEW_DAMAGED && HIWORD(wParam) == BN_CLICKED) {
            DamagedClicked(window);
        }
        return 0;
    case WM_KEYDOWN:
        if (KeyDown(window, wParam)) {
            return 0;
        }
        break;
    case WM_LBUTTONDOWN: ButtonDown(window, lParam); return 0;
    case WM_MOUSEMOVE:
        if (MoveCarView(carView, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) - STRIP_HEIGHT)) {
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
        EnableWindow(GetDlgItem(carViewWindow, IDC_CAR_VIEW_DAMAGED), carModel.vertices != nullptr);
        ResetCarView(carView, carModel);
    }
    Repaint(carViewWindow);
}

void CloseCarView() {
    if (carViewWindow) {
        DestroyWindow(carViewWindow);
    }
}
