#include "viewer/car_view.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

CarView carView;

namespace {

constexpr double PI = 3.14159265358979323846;
// A new car is seen from front right and a little above, where all four wheels show.
constexpr double START_YAW = PI / 6;
constexpr double START_PITCH = PI / 9;
// Farther out than this a point is not told: its pixel would not fit the picture's integers.
constexpr double PIXEL_LIMIT = 1 << 26;
constexpr float NOT_DRAWN = std::numeric_limits<float>::quiet_NaN();

double Dot(const double (&a)[3], const double (&b)[3]) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// The car's coordinates have y up, and x towards the car's right when z points forward.
void SetAxes(Camera& camera, double yaw, double pitch) {
    double sinYaw = std::sin(yaw), cosYaw = std::cos(yaw);
    double sinPitch = std::sin(pitch), cosPitch = std::cos(pitch);
    camera = {{-sinYaw, 0, cosYaw},
              {-sinPitch * cosYaw, cosPitch, -sinPitch * sinYaw},
              {cosPitch * cosYaw, sinPitch, cosPitch * sinYaw},
              {},
              0,
              0,
              0,
              0,
              0};
}

// Calls visit(q) for every vertex and dummy on show whose position is finite, with q its
// position in the model's space.
template <class Visit> void ForEachShownPoint(const CarView& view, const CarModel& model, Visit visit) {
    const Vec3* mesh = ShownVertices(view, model);
    if (!mesh) {
        return;
    }
    for (uint32_t p = 0; p < PartsInUse(model.header); ++p) {
        const Vec3& at = model.header.partPositions[p];
        TableRange vertices = PartVertices(model.header, p);
        for (uint32_t i = vertices.begin; i < vertices.end; ++i) {
            const double q[3] = {double(at.x) + mesh[i].x, double(at.y) + mesh[i].y,
                                 double(at.z) + mesh[i].z};
            if (std::isfinite(q[0]) && std::isfinite(q[1]) && std::isfinite(q[2])) {
                visit(q);
            }
        }
    }
    for (uint32_t d = 0; d < DummiesInUse(model.header); ++d) {
        const Vec3& at = model.header.dummyPositions[d];
        const double q[3] = {at.x, at.y, at.z};
        if (std::isfinite(q[0]) && std::isfinite(q[1]) && std::isfinite(q[2])) {
            visit(q);
        }
    }
}

} // namespace

Camera CarViewCamera(const CarView& view) {
    Camera camera;
    SetAxes(camera, view.yaw, view.pitch);
    std::copy(view.centre, view.centre + 3, camera.centre);
    camera.focal = view.focal;
    camera.distance = view.scale > 0 ? view.focal / view.scale : 0;
    camera.nearDepth = camera.distance * NEAR_SHARE;
    camera.middleX = view.width / 2.0;
    camera.middleY = view.height / 2.0;
    return camera;
}

const Vec3* ShownVertices(const CarView& view, const CarModel& model) {
    return view.showDamaged ? model.damagedVertices : model.vertices;
}

void ResetCarView(CarView& view, const CarModel& model) {
    view.yaw = START_YAW;
    view.pitch = START_PITCH;
    FitCarView(view, model);
}

void FitCarView(CarView& view, const CarModel& model) {
    double low[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, high[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    ForEachShownPoint(view, model, [&](const double(&q)[3]) {
        for (int k = 0; k < 3; ++k) {
            low[k] = std::min(low[k], q[k]);
            high[k] = std::max(high[k], q[k]);
        }
    });
    bool empty = low[0] > high[0];
    for (int k = 0; k < 3; ++k) {
        view.centre[k] = empty ? 0 : (low[k] + high[k]) / 2;
    }
    double radius = 0;
    ForEachShownPoint(view, model, [&](const double(&q)[3]) {
        const double d[3] = {q[0] - view.centre[0], q[1] - view.centre[1], q[2] - view.centre[2]};
        radius = std::max(radius, std::sqrt(Dot(d, d)));
    });
    // A car in one point still gets a camera at a distance.
    double distance = CAMERA_DISTANCE * (radius > 0 && std::isfinite(radius) ? radius : 1);
    Camera camera;
    SetAxes(camera, view.yaw, view.pitch);
    // Each point's offset from the centre as the picture shows it, in model units at the
    // centre's distance: nearer points look larger.
    double halfWidth = 0, halfHeight = 0;
    ForEachShownPoint(view, model, [&](const double(&q)[3]) {
        const double d[3] = {q[0] - view.centre[0], q[1] - view.centre[1], q[2] - view.centre[2]};
        double enlarge = distance / (distance - Dot(d, camera.towards));
        halfWidth = std::max(halfWidth, std::abs(Dot(d, camera.right)) * enlarge);
        halfHeight = std::max(halfHeight, std::abs(Dot(d, camera.up)) * enlarge);
    });
    double roomX = std::max(view.width - 2 * FIT_MARGIN, 1),
           roomY = std::max(view.height - 2 * FIT_MARGIN, 1);
    // A flat car puts no limit on one axis; a car in one point has no scale to fit at all.
    double scale = HUGE_VAL;
    if (halfWidth > 0) {
        scale = roomX / (2 * halfWidth);
    }
    if (halfHeight > 0) {
        scale = std::min(scale, roomY / (2 * halfHeight));
    }
    view.scale = view.fitScale = std::isfinite(scale) ? scale : 1;
    view.focal = view.scale * distance;
}

void ResizeCarView(CarView& view, const CarModel& model, int32_t width, int32_t height) {
    double zoom = view.fitScale > 0 ? view.scale / view.fitScale : 1;
    view.width = width;
    view.height = height;
    FitCarView(view, model);
    view.scale = view.fitScale * zoom;
}

void ShowFixedView(CarView& view, const CarModel& model, FixedView fixedView) {
    switch (fixedView) {
    case FixedView::Side: view.yaw = 0, view.pitch = 0; break;
    case FixedView::Top: view.yaw = 0, view.pitch = PI / 2; break;
    case FixedView::Front: view.yaw = PI / 2, view.pitch = 0; break;
    case FixedView::Back: view.yaw = -PI / 2, view.pitch = 0; break;
    }
    FitCarView(view, model);
}

void OrbitCarView(CarView& view, int32_t dx, int32_t dy) {
    view.yaw = std::remainder(view.yaw - dx * ORBIT_PER_PIXEL, 2 * PI);
    view.pitch = std::clamp(view.pitch + dy * ORBIT_PER_PIXEL, -PI / 2, PI / 2);
}

void ZoomCarView(CarView& view, int32_t wheelDelta) {
    double scale = view.scale * std::pow(ZOOM_PER_NOTCH, wheelDelta / 120.0);
    view.scale = std::clamp(scale, view.fitScale * ZOOM_MIN, view.fitScale * ZOOM_MAX);
}

ViewPoint ProjectPoint(const CarView& view, double x, double y, double z) {
    Camera camera = CarViewCamera(view);
    const double q[3] = {x - camera.centre[0], y - camera.centre[1], z - camera.centre[2]};
    double towards = Dot(q, camera.towards);
    double ahead = camera.distance - towards;
    if (!(ahead >= camera.nearDepth && ahead > 0)) {
        return {NOT_DRAWN, NOT_DRAWN, 0};
    }
    double px = camera.middleX + camera.focal * Dot(q, camera.right) / ahead;
    double py = camera.middleY - camera.focal * Dot(q, camera.up) / ahead;
    if (!(std::abs(px) <= PIXEL_LIMIT && std::abs(py) <= PIXEL_LIMIT)) {
        return {NOT_DRAWN, NOT_DRAWN, 0};
    }
    return {float(px), float(py), float(towards)};
}

void PressCarView(CarView& view, int32_t x, int32_t y) {
    view.pressX = view.lastX = x;
    view.pressY = view.lastY = y;
    view.buttonDown = 1;
    view.dragging = 0;
}

bool MoveCarView(CarView& view, int32_t x, int32_t y) {
    if (!view.buttonDown) {
        return false;
    }
    if (!view.dragging && std::abs(x - view.pressX) <= DRAG_PIXELS &&
        std::abs(y - view.pressY) <= DRAG_PIXELS) {
        return false;
    }
    view.dragging = 1;
    OrbitCarView(view, x - view.lastX, y - view.lastY);
    view.lastX = x;
    view.lastY = y;
    return true;
}

bool ReleaseCarView(CarView& view, int32_t x, int32_t y) {
    if (!view.buttonDown) {
        return false;
    }
    MoveCarView(view, x, y);
    bool click = !view.dragging;
    CancelCarViewDrag(view);
    return click;
}

void CancelCarViewDrag(CarView& view) {
    view.buttonDown = 0;
    view.dragging = 0;
}

PixelRect PlaceBeside(const PixelRect& owner, const PixelRect& workArea, int32_t width, int32_t height) {
    int32_t left = workArea.right - width;
    if (owner.right + width <= workArea.right) {
        left = owner.right;
    } else if (owner.left - width >= workArea.left) {
        left = owner.left - width;
    }
    left = std::max(left, workArea.left);
    int32_t top = std::max(std::min(owner.top, workArea.bottom - height), workArea.top);
    return {left, top, left + width, top + height};
}
