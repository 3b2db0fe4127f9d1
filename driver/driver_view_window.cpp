#include "driver/driver_view_window.h"

#include "driver/driver_view.h"

namespace {

// Where the cursor is now, in the view's client pixels: the band follows the mouse as it
// stands when a message is handled, not where it stood when the message was queued.
POINT CursorInView(HWND window) {
    POINT cursor = {0, 0};
    GetCursorPos(&cursor);
    ScreenToClient(window, &cursor);
    return cursor;
}

// Inverting is its own undo, so the band is erased by drawing it again, without
// repainting the wireframe under it.
void InvertBand(HWND window) {
    BandRectangle band = CurrentBand(driverView);
    HDC dc = GetDC(window);
    PatBlt(dc, band.x, band.y, band.width, band.height, DSTINVERT);
    ReleaseDC(window, dc);
}

void Repaint(HWND window) {
    InvalidateRect(window, nullptr, TRUE);
}

void ButtonDown(HWND window) {
    POINT cursor = CursorInView(window);
    StartBand(driverView, cursor.x, cursor.y);
    InvertBand(window);
    SetCapture(window);
}

void MouseMove(HWND window) {
    if (!driverView.dragging) {
        return;
    }
    POINT cursor = CursorInView(window);
    InvertBand(window);
    MoveBand(driverView, cursor.x, cursor.y);
    InvertBand(window);
}

void ButtonUp(HWND window) {
    POINT cursor = CursorInView(window);
    // A release whose press went to another window has no band of its own to apply.
    if (!EndBand(driverView, cursor.x, cursor.y)) {
        return;
    }
    ReleaseCapture();
    Repaint(window);
}

void CaptureLost(HWND window) {
    ReleaseCapture();
    Repaint(window);
    CancelBand(driverView);
}

void Paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    DrawDriverVertices(dc);
    EndPaint(window, &paint);
}

POINT DrawingPoint(const ProjectedVertex& vertex) {
    return {DrawingCoordinate(vertex.x), DrawingCoordinate(vertex.y)};
}

} // namespace

void DrawDriverVertices(HDC dc) {
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    for (uint32_t j = 0; j < driverView.triangleCount; ++j) {
        const ViewTriangle& triangle = driverView.viewTriangles[j];
        if (!TriangleInView(triangle, driverView.vertexCount)) {
            continue;
        }
        POINT corners[3];
        for (int k = 0; k < 3; ++k) {
            corners[k] = DrawingPoint(driverView.projectedVertices[triangle.vertexIndexes[k]]);
        }
        MoveToEx(dc, corners[0].x, corners[0].y, nullptr);
        LineTo(dc, corners[1].x, corners[1].y);
        LineTo(dc, corners[2].x, corners[2].y);
        LineTo(dc, corners[0].x, corners[0].y);
    }
    // The squares go on top of the edges. They are 3 pixels wide at 96 dots per inch and grow
    // with the screen's scale, so that they stay as easy to see at 150% and 200%.
    int half = MulDiv(1, GetDeviceCaps(dc, LOGPIXELSX), 96);
    for (uint32_t k = 0; k < driverView.vertexCount; ++k) {
        const ProjectedVertex& vertex = driverView.projectedVertices[k];
        POINT at = DrawingPoint(vertex);
        RECT square;
        SetRect(&square, at.x - half, at.y - half, at.x + half + 1, at.y + half + 1);
        FillRect(dc, &square, vertex.movement == MovementFixed ? red : green);
    }
    DeleteObject(red);
    DeleteObject(green);
}

LRESULT CALLBACK DriverViewWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN: ButtonDown(window); return 1;
    case WM_MOUSEMOVE: MouseMove(window); return 1;
    case WM_LBUTTONUP: ButtonUp(window); return 1;
    case WM_CAPTURECHANGED: CaptureLost(window); return 1;
    case WM_PAINT: Paint(window); return 1;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}
