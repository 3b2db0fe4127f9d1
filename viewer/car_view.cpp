#include "viewer/car_view.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <new>

CarView carView;

namespace {

constexpr double PI = 3.14159265358979323846;
// A new car is seen from front right and a little above, where all four wheels show.
constexpr double START_YAW = PI / 6;
constexpr double START_PITCH = PI / 9;
// Farther out than this a point is not drawn: GDI's coordinates end at 27 bits, and a
// triangle with a corner pulled in to a limit would be drawn as a stray line.
constexpr double PIXEL_LIMIT = 1 << 26;
constexpr float NOT_DRAWN = std::numeric_limits<float>::quiet_NaN();

struct Axes {
    double right[3];
    double up[3];
    double towards[3]; // towards the viewer
};

// The car's coordinates have y up, and x towards the car's right when z points forward.
Axes CameraAxes(const CarView& view) {
    double sinYaw = std::sin(view.yaw), cosYaw = std::cos(view.yaw);
    double sinPitch = std::sin(view.pitch), cosPitch = std::cos(view.pitch);
    return {{-sinYaw, 0, cosYaw},
            {-sinPitch * cosYaw, cosPitch, -sinPitch * sinYaw},
            {cosPitch * cosYaw, sinPitch, cosPitch * sinYaw}};
}

double Dot(const double (&a)[3], const double (&b)[3]) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
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

ViewPoint Project(const CarView& view, const Axes& axes, const double (&position)[3]) {
    const double q[3] = {position[0] - view.centre[0], position[1] - view.centre[1],
                         position[2] - view.centre[2]};
    double x = view.width / 2.0 + view.scale * Dot(q, axes.right);
    double y = view.height / 2.0 - view.scale * Dot(q, axes.up);
    if (!(std::abs(x) <= PIXEL_LIMIT && std::abs(y) <= PIXEL_LIMIT)) {
        return {NOT_DRAWN, NOT_DRAWN, 0};
    }
    double depth = std::clamp(Dot(q, axes.towards), -double(std::numeric_limits<float>::max()),
                              double(std::numeric_limits<float>::max()));
    return {float(x), float(y), float(depth)};
}

// Projects the vertices of one part into view.points. Parts are projected one at a time,
// just before their triangles are used, because a file may let two parts share vertices
// and each places them at its own position.
void ProjectPart(CarView& view, const Axes& axes, const CarModel& model, const Vec3* mesh, uint32_t part) {
    const Vec3& at = model.header.partPositions[part];
    TableRange vertices = PartVertices(model.header, part);
    for (uint32_t i = vertices.begin; i < vertices.end; ++i) {
        const double q[3] = {double(at.x) + mesh[i].x, double(at.y) + mesh[i].y, double(at.z) + mesh[i].z};
        bool finite = std::isfinite(q[0]) && std::isfinite(q[1]) && std::isfinite(q[2]);
        view.points[i] = finite ? Project(view, axes, q) : ViewPoint{NOT_DRAWN, NOT_DRAWN, 0};
    }
}

// The three projected corners of a triangle of a part; false when one of its indexes
// leaves the part or a corner cannot be drawn.
bool TriangleCorners(const CarView& view, const FceTriangle& triangle, TableRange vertices,
                     const ViewPoint* (&corners)[3]) {
    for (int k = 0; k < 3; ++k) {
        uint32_t index = triangle.vertexIndexes[k];
        if (index >= vertices.Count()) {
            return false;
        }
        corners[k] = &view.points[vertices.begin + index];
        if (std::isnan(corners[k]->x)) {
            return false;
        }
    }
    return true;
}

bool OutsidePicture(const CarView& view, const ViewPoint* const (&c)[3]) {
    // One pixel of slack for the pen.
    float left = -1, top = -1, right = float(view.width) + 1, bottom = float(view.height) + 1;
    return (c[0]->x < left && c[1]->x < left && c[2]->x < left) ||
           (c[0]->x > right && c[1]->x > right && c[2]->x > right) ||
           (c[0]->y < top && c[1]->y < top && c[2]->y < top) ||
           (c[0]->y > bottom && c[1]->y > bottom && c[2]->y > bottom);
}

ScreenPoint Pixel(const ViewPoint& point) {
    return {static_cast<int32_t>(point.x + (point.x < 0 ? -0.5f : 0.5f)),
            static_cast<int32_t>(point.y + (point.y < 0 ? -0.5f : 0.5f))};
}

// Calls use(part, corners) for every triangle that can be drawn, part after part.
template <class Use> bool ForEachTriangle(CarView& view, const CarModel& model, Use use) {
    const Vec3* mesh = ShownVertices(view, model);
    if (!mesh || !model.triangles) {
        return true;
    }
    try {
        view.points.resize(model.header.vertexCount);
    } catch (const std::bad_alloc&) {
        return false;
    }
    Axes axes = CameraAxes(view);
    for (uint32_t p = 0; p < PartsInUse(model.header); ++p) {
        ProjectPart(view, axes, model, mesh, p);
        TableRange vertices = PartVertices(model.header, p);
        TableRange triangles = PartTriangles(model.header, p);
        for (uint32_t j = triangles.begin; j < triangles.end; ++j) {
            const ViewPoint* corners[3];
            if (TriangleCorners(view, model.triangles[j], vertices, corners)) {
                use(p, corners);
            }
        }
    }
    return true;
}

void AddCross(std::vector<ScreenPoint>& lines, const ViewPoint& at) {
    ScreenPoint c = Pixel(at);
    // The second point of each line is not drawn, so each arm reaches one pixel further.
    lines.push_back({c.x - DUMMY_CROSS, c.y - DUMMY_CROSS});
    lines.push_back({c.x + DUMMY_CROSS + 1, c.y + DUMMY_CROSS + 1});
    lines.push_back({c.x - DUMMY_CROSS, c.y + DUMMY_CROSS});
    lines.push_back({c.x + DUMMY_CROSS + 1, c.y - DUMMY_CROSS - 1});
}

} // namespace

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
    Axes axes = CameraAxes(view);
    double halfWidth = 0, halfHeight = 0;
    ForEachShownPoint(view, model, [&](const double(&q)[3]) {
        const double d[3] = {q[0] - view.centre[0], q[1] - view.centre[1], q[2] - view.centre[2]};
        halfWidth = std::max(halfWidth, std::abs(Dot(d, axes.right)));
        halfHeight = std::max(halfHeight, std::abs(Dot(d, axes.up)));
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
    const double position[3] = {x, y, z};
    return Project(view, CameraAxes(view), position);
}

void BuildCarFrame(CarView& view, const CarModel& model) {
    view.partLines.clear();
    view.selectedPartLines.clear();
    view.dummyLines.clear();
    view.selectedDummyLines.clear();
    try {
        bool projected =
            ForEachTriangle(view, model, [&](uint32_t part, const ViewPoint* const(&corners)[3]) {
                if (OutsidePicture(view, corners)) {
                    return;
                }
                auto& lines = int32_t(part) == view.selectedPart ? view.selectedPartLines : view.partLines;
                for (int k : {0, 1, 2, 0}) {
                    lines.push_back(Pixel(*corners[k]));
                }
            });
        if (!projected || !ShownVertices(view, model)) {
            return;
        }
        Axes axes = CameraAxes(view);
        for (uint32_t d = 0; d < DummiesInUse(model.header); ++d) {
            const Vec3& at = model.header.dummyPositions[d];
            const double position[3] = {at.x, at.y, at.z};
            ViewPoint point = Project(view, axes, position);
            if (!std::isnan(point.x)) {
                AddCross(int32_t(d) == view.selectedDummy ? view.selectedDummyLines : view.dummyLines, point);
            }
        }
    } catch (const std::bad_alloc&) {
        // A frame too large for the memory left is not drawn at all rather than in part.
        view.partLines.clear();
        view.selectedPartLines.clear();
        view.dummyLines.clear();
        view.selectedDummyLines.clear();
    }
}

int32_t PickPart(CarView& view, const CarModel& model, double x, double y) {
    int32_t nearest = -1;
    double nearestDepth = -HUGE_VAL;
    ForEachTriangle(view, model, [&](uint32_t part, const ViewPoint* const(&c)[3]) {
        double ax = c[0]->x, ay = c[0]->y, bx = c[1]->x, by = c[1]->y, cx = c[2]->x, cy = c[2]->y;
        double area = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
        if (area == 0) {
            return;
        }
        // Each corner's weight is the area of the triangle that the point makes with the
        // other two; inside, all three have the sign of the whole.
        double weights[3] = {(bx - x) * (cy - y) - (by - y) * (cx - x),
                             (cx - x) * (ay - y) - (cy - y) * (ax - x),
                             (ax - x) * (by - y) - (ay - y) * (bx - x)};
        for (double& weight : weights) {
            weight /= area;
            if (weight < 0) {
                return;
            }
        }
        double depth = weights[0] * c[0]->depth + weights[1] * c[1]->depth + weights[2] * c[2]->depth;
        if (depth > nearestDepth) {
            nearestDepth = depth;
            nearest = int32_t(part);
        }
    });
    return nearest;
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
