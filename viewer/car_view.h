// The picture of the car view: a camera that turns about the car's centre and looks at it in
// perspective, the projection of the car into the picture, fitting, and picking the part under
// the cursor. The car view window and the main window share one CarView.
#pragma once

#include "model/car_model.h"

#include <cstdint>
#include <vector>

// A vertex as the camera sees it: picture pixels, y downward, and how far it lies towards
// the viewer from the car's centre. x is NaN for a vertex that cannot be drawn.
struct ViewPoint {
    float x;
    float y;
    float depth;
};

enum class FixedView { Side, Top, Front, Back };

struct CameraVertex {
    float x, y, z;    // the camera's space: right, up, ahead; x is NaN when the vertex is unusable
    float light;      // share of full light on it
    uint32_t outside; // a bit for each plane that cuts the drawing (near, then the picture's sides far out)
                      // that it lies beyond
    float inverseZ;   // where outside is 0: 1 / z and the picture position, in fixed point
    int64_t pictureX, pictureY;
};

// The finished picture, ready to be shown as it is.
struct Frame {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> colour; // 0x00RRGGBB, rows from the top: a top-down 32-bit DIB as it is
    std::vector<float> depth;     // 1 / distance from the camera; 0 where nothing is drawn
    std::vector<int32_t> part;    // the part drawn at each pixel, -1 for none
};

// The picture's colours, 0x00RRGGBB.
constexpr uint32_t BACKGROUND_COLOUR = 0xFFFFFF;
constexpr uint32_t SURFACE_COLOUR = 0xC8C8C8;   // an untextured triangle in full light
constexpr uint32_t WIREFRAME_COLOUR = 0x969696; // the lines of the wireframe
constexpr uint32_t SELECTED_COLOUR = 0xE62800;  // the selected part's tint and edges, the selected dummy
constexpr uint32_t DUMMY_COLOUR = 0x005AC8;

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
    double scale;    // pixels per model unit at the centre's distance
    double fitScale; // the scale of the last fit, which bounds the zoom
    // The lens, in pixels: the camera stands focal / scale model units from the centre, so
    // that zooming in moves it towards the car, and at last into it.
    double focal;
    double centre[3];
    bool wireframe = false; // lines instead of lit surfaces
    Frame frame;
    // Scratch of the drawing, indexed like the model's vertex table: one part's vertices at a
    // time, as the camera sees them.
    std::vector<CameraVertex> projected;
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
// The fitted camera stands this many times the car's radius from its centre.
constexpr double CAMERA_DISTANCE = 3;
// Nearer to the camera than this share of its distance from the centre nothing is drawn.
constexpr double NEAR_SHARE = 1.0 / 64;

// The camera: axes of the picture in the model's space, and where it stands.
struct Camera {
    double right[3];
    double up[3];
    double towards[3]; // from the centre towards the camera
    double centre[3];
    double distance; // from the centre, model units
    double focal;    // pixels
    double nearDepth;
    double middleX; // the picture's centre, pixels
    double middleY;
};
Camera CarViewCamera(const CarView& view);

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

// Where a point of the model's space appears in the picture; x is NaN when it lies nearer
// than the near plane, behind the camera or very far out.
ViewPoint ProjectPoint(const CarView& view, double x, double y, double z);

// The part drawn at picture point (x, y), as RenderCarView draws it; -1 for none.
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
