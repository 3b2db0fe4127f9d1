// The picture of the car view: a camera that turns about the car's centre, the projection of
// the car's triangles and dummies into the picture, fitting, and picking the part under the
// cursor. The car view window and the main window share one CarView.
#pragma once

#include "model/car_model.h"

#include <cstdint>
#include <vector>

// The layout of a Win32 POINT, so that a frame goes to the drawing calls as it is.
struct ScreenPoint {
    int32_t x;
    int32_t y;
    bool operator==(const ScreenPoint&) const = default;
};

// A vertex as the camera sees it: picture pixels, y downward, and how far it lies towards
// the viewer from the car's centre. x is NaN for a vertex that cannot be drawn.
struct ViewPoint {
    float x;
    float y;
    float depth;
};

enum class FixedView { Side, Top, Front, Back };

struct CarView {
    int32_t width; // the picture, in pixels
    int32_t height;
    uint32_t showDamaged;  // 1: the damaged mesh instead of the normal one
    int32_t selectedPart;  // -1: none
    int32_t selectedDummy; // -1: none
    // The camera turns about centre. Yaw 0 and pitch 0 look at the car's right side with
    // its front to the right; a positive yaw turns the view towards the front, a positive
    // pitch looks from above.
    double yaw;      // radians
    double pitch;    // radians, -pi/2 to pi/2
    double scale;    // pixels per model unit
    double fitScale; // the scale of the last fit, which bounds the zoom
    double centre[3];
    // The projection of one part at a time, indexed like the model's vertex table.
    std::vector<ViewPoint> points;
    // The frame: each triangle as a closed line of four points, the selected part's apart
    // so that it is drawn over the rest; each dummy as two lines of two points.
    std::vector<ScreenPoint> partLines;
    std::vector<ScreenPoint> selectedPartLines;
    std::vector<ScreenPoint> dummyLines;
    std::vector<ScreenPoint> selectedDummyLines;
    // The left button: where it went down and where the pointer was last.
    int32_t pressX;
    int32_t pressY;
    int32_t lastX;
    int32_t lastY;
    uint32_t buttonDown;
    uint32_t dragging;
};

extern CarView carView;

// Pixels left free around the fitted car, on each side.
constexpr int32_t FIT_MARGIN = 12;
// Radians that the camera turns per pixel of a drag: 180 pixels make a quarter turn.
constexpr double ORBIT_PER_PIXEL = 3.14159265358979323846 / 360;
// A press and release with the pointer moved no further than this, either way, is a click.
constexpr int32_t DRAG_PIXELS = 4;
// Each notch of the wheel zooms by this factor, within these bounds of the fitted scale.
constexpr double ZOOM_PER_NOTCH = 1.25;
constexpr double ZOOM_MIN = 0.05;
constexpr double ZOOM_MAX = 1000;
// Half the width of a dummy's cross.
constexpr int32_t DUMMY_CROSS = 4;

// The vertices on show, the damaged ones or the normal ones; null when no car is loaded.
const Vec3* ShownVertices(const CarView& view, const CarModel& model);

// Turns the camera about the car's centre to look from front right and above, and fits.
void ResetCarView(CarView& view, const CarModel& model);
// Centres the camera on the car and scales it so that every vertex and dummy on show fits
// the picture with FIT_MARGIN to spare, in the camera's present direction.
void FitCarView(CarView& view, const CarModel& model);
// The picture has a new size: fits again, keeping the zoom.
void ResizeCarView(CarView& view, const CarModel& model, int32_t width, int32_t height);
void ShowFixedView(CarView& view, const CarModel& model, FixedView fixedView);
// A drag of dx, dy pixels: to the right turns the car to the right, down tips it towards
// the viewer. The pitch stops at straight above and straight below.
void OrbitCarView(CarView& view, int32_t dx, int32_t dy);
// The mouse wheel turned by delta (120 a notch, positive away from the user: closer).
void ZoomCarView(CarView& view, int32_t wheelDelta);

// Where a point of the model's space appears in the picture.
ViewPoint ProjectPoint(const CarView& view, double x, double y, double z);

// Fills the four line lists from the model: grey parts, the selected part, the dummies.
// Triangles with an index outside their part, with a corner that is not finite, or lying
// wholly beyond one edge of the picture are left out.
void BuildCarFrame(CarView& view, const CarModel& model);

// The part whose triangle lies nearest the viewer at picture point (x, y); -1 for none.
int32_t PickPart(CarView& view, const CarModel& model, double x, double y);

// The left button, in picture pixels. Moving with the button down turns the camera once
// the pointer has left the click's square; true when it turned.
void PressCarView(CarView& view, int32_t x, int32_t y);
bool MoveCarView(CarView& view, int32_t x, int32_t y);
// True when press and release were a click, which picks.
bool ReleaseCarView(CarView& view, int32_t x, int32_t y);
void CancelCarViewDrag(CarView& view);

struct PixelRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// Where a window of width x height goes beside owner: to its right when the work area has
// room there, else to its left, else against the work area's right edge; level with the
// owner's top, kept inside the work area.
PixelRect PlaceBeside(const PixelRect& owner, const PixelRect& workArea, int32_t width, int32_t height);
