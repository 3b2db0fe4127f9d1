#include "viewer/renderer.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

// Corners go to the rasteriser in fixed point with this many bits below the pixel.
constexpr int SUB_BITS = 8;
constexpr int64_t SUB = int64_t(1) << SUB_BITS;
// Triangles are cut this many pixels beyond the picture, so that the fixed point never
// overflows; what lies between the picture and the cut is only skipped.
constexpr double GUARD = 8192;
constexpr int MAX_POLYGON = 3 + 5;

// A corner in the camera's space: x right, y up, z ahead of the camera.
struct Corner {
    double x, y, z;
    float u, v, light;
};

// A corner in the picture: fixed-point position, and what is interpolated divided by depth.
struct ScreenCorner {
    int64_t x, y;
    float iz, uz, vz, lightZ;
};

struct Surface {
    int32_t part;
    bool selected;
    bool blend;
};

struct ScreenTriangle {
    ScreenCorner corners[3];
    Surface surface;
};

// Where a pass draws: the picture's pixels from (left, top) to (right, bottom), held in buffers
// whose first pixel is the picture's (left, top). Without colour only depth and part are kept.
struct Target {
    int32_t left, top, right, bottom;
    int32_t stride;
    uint32_t* colour;
    float* depth;
    int32_t* part;
    const Texture* texture;
};

// x within low to high; high when x is not a number, which a car too small for floats can give.
double Within(double x, double low, double high) {
    return x < high ? (x > low ? x : low) : high;
}

// A picture coordinate, already within the guard band, in fixed point.
int64_t Fixed(double x) {
    double scaled = x * double(SUB);
    return int64_t(scaled + (scaled < 0 ? -0.5 : 0.5));
}

int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - (a % b != 0 && a < 0);
}

uint32_t Mix(uint32_t a, uint32_t b, int32_t shareOfB) {
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        int32_t ca = int32_t(a >> shift & 255), cb = int32_t(b >> shift & 255);
        out |= uint32_t(ca + ((cb - ca) * shareOfB >> 8)) << shift;
    }
    return out;
}

uint32_t Lit(uint32_t c, int32_t light) {
    return (((c >> 16 & 255) * uint32_t(light) >> 8) << 16) | (((c >> 8 & 255) * uint32_t(light) >> 8) << 8) |
           ((c & 255) * uint32_t(light) >> 8);
}

uint32_t Half(uint32_t under, uint32_t over) {
    return ((under & 0xFEFEFE) >> 1) + ((over & 0xFEFEFE) >> 1);
}

uint32_t Texel(const Texture& texture, float u, float v) {
    float fu = u - std::floor(u), fv = v - std::floor(v);
    if (!(fu >= 0 && fu < 1)) {
        fu = 0;
    }
    if (!(fv >= 0 && fv < 1)) {
        fv = 0;
    }
    int32_t x = std::min(int32_t(fu * float(texture.width)), texture.width - 1);
    int32_t y = std::min(int32_t(fv * float(texture.height)), texture.height - 1);
    return texture.pixels[size_t(y) * size_t(texture.width) + size_t(x)];
}

// An edge from a to b is "top-left" when it is a top edge (level, the inside below it) or a
// left edge (the inside to its right); pixel centres on the others belong to the neighbour.
bool TopLeft(const ScreenCorner& a, const ScreenCorner& b) {
    int64_t dy = b.y - a.y;
    return dy < 0 || (dy == 0 && b.x > a.x);
}

// Fills a triangle whose corners run so that its area, (b - a) x (c - a) with y down, is
// positive. Pixels are sampled at their centres.
void Rasterise(const Target& target, const ScreenCorner& a, const ScreenCorner& b, const ScreenCorner& c,
               const Surface& surface) {
    int64_t area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    if (area <= 0) {
        return;
    }
    const int64_t half = SUB / 2;
    int64_t minX = std::min({a.x, b.x, c.x}), maxX = std::max({a.x, b.x, c.x});
    int64_t minY = std::min({a.y, b.y, c.y}), maxY = std::max({a.y, b.y, c.y});
    int64_t x0 = std::max<int64_t>(target.left, -FloorDiv(half - minX, SUB));
    int64_t x1 = std::min<int64_t>(target.right - 1, FloorDiv(maxX - half, SUB));
    int64_t y0 = std::max<int64_t>(target.top, -FloorDiv(half - minY, SUB));
    int64_t y1 = std::min<int64_t>(target.bottom - 1, FloorDiv(maxY - half, SUB));
    if (x0 > x1 || y0 > y1) {
        return;
    }
    // The weight of each corner is the edge function of the edge across from it.
    const ScreenCorner* from[3] = {&b, &c, &a};
    const ScreenCorner* to[3] = {&c, &a, &b};
    int64_t stepX[3], stepY[3], bias[3];
    for (int k = 0; k < 3; ++k) {
        stepX[k] = -(to[k]->y - from[k]->y) * SUB;
        stepY[k] = (to[k]->x - from[k]->x) * SUB;
        bias[k] = TopLeft(*from[k], *to[k]) ? 0 : -1;
    }
    auto edge = [&](int k, int64_t px, int64_t py) {
        return (to[k]->x - from[k]->x) * (py - from[k]->y) - (to[k]->y - from[k]->y) * (px - from[k]->x) +
               bias[k];
    };
    const float inverseArea = 1.0f / float(area);
    const float dIz1 = b.iz - a.iz, dIz2 = c.iz - a.iz;
    const float dU1 = b.uz - a.uz, dU2 = c.uz - a.uz;
    const float dV1 = b.vz - a.vz, dV2 = c.vz - a.vz;
    const float dL1 = b.lightZ - a.lightZ, dL2 = c.lightZ - a.lightZ;
    const Texture* texture = target.texture;
    uint32_t plain = surface.selected ? Mix(SURFACE_COLOUR, SELECTED_COLOUR, int32_t(SELECTED_TINT * 256))
                                      : SURFACE_COLOUR;
    int64_t rowW[3];
    for (int k = 0; k < 3; ++k) {
        rowW[k] = edge(k, x0 * SUB + half, y0 * SUB + half);
    }
    for (int64_t y = y0; y <= y1; ++y) {
        // Where the row crosses the triangle, roughly, so that a thin triangle's empty box is not
        // walked; a pixel more on each side, and the exact test decides.
        double first = 0, last = double(x1 - x0);
        for (int k = 0; k < 3; ++k) {
            if (stepX[k] > 0) {
                first = std::max(first, -double(rowW[k]) / double(stepX[k]));
            } else if (stepX[k] < 0) {
                last = std::min(last, double(rowW[k]) / double(-stepX[k]));
            } else if (rowW[k] < 0) {
                last = -1;
            }
        }
        int64_t from = x0 + std::max<int64_t>(int64_t(first) - 1, 0);
        int64_t till = x0 + std::min(int64_t(std::max(last, -1.0)) + 1, x1 - x0);
        int64_t w0 = rowW[0] + (from - x0) * stepX[0], w1 = rowW[1] + (from - x0) * stepX[1],
                w2 = rowW[2] + (from - x0) * stepX[2];
        size_t at = size_t(y - target.top) * size_t(target.stride) + size_t(from - target.left);
        for (int64_t x = from; x <= till; ++x, ++at, w0 += stepX[0], w1 += stepX[1], w2 += stepX[2]) {
            if ((w0 | w1 | w2) < 0) {
                continue;
            }
            float l1 = float(w1) * inverseArea, l2 = float(w2) * inverseArea;
            float iz = a.iz + l1 * dIz1 + l2 * dIz2;
            if (!(iz >= target.depth[at])) {
                continue;
            }
            target.depth[at] = iz;
            target.part[at] = surface.part;
            if (!target.colour) {
                continue;
            }
            float z = 1 / iz;
            float light = (a.lightZ + l1 * dL1 + l2 * dL2) * z;
            uint32_t base = plain;
            if (texture) {
                base = Texel(*texture, (a.uz + l1 * dU1 + l2 * dU2) * z, (a.vz + l1 * dV1 + l2 * dV2) * z);
                if (surface.selected) {
                    base = Mix(base, SELECTED_COLOUR, int32_t(SELECTED_TINT * 256));
                }
            }
            uint32_t shade = Lit(base, int32_t(Within(light * 256, 0, 256)));
            target.colour[at] = surface.blend ? Half(target.colour[at], shade) : shade;
        }
        for (int k = 0; k < 3; ++k) {
            rowW[k] += stepY[k];
        }
    }
}

// The planes that a drawn triangle must lie within: the near plane, then the picture's four
// sides moved out by GUARD. Each gives a distance that is negative outside.
struct Planes {
    double nearDepth, focal, left, right, top, bottom;

    double Distance(int plane, const Corner& c) const {
        switch (plane) {
        case 0: return c.z - nearDepth;
        case 1: return focal * c.x + left * c.z;
        case 2: return right * c.z - focal * c.x;
        case 3: return top * c.z - focal * c.y;
        default: return focal * c.y + bottom * c.z;
        }
    }
};

Planes MakePlanes(const Camera& camera, int32_t width, int32_t height) {
    return {camera.nearDepth,       camera.focal,
            camera.middleX + GUARD, width - camera.middleX + GUARD,
            camera.middleY + GUARD, height - camera.middleY + GUARD};
}

Corner Between(const Corner& a, const Corner& b, double t) {
    auto at = [t](double p, double q) { return p + (q - p) * t; };
    return {at(a.x, b.x),        at(a.y, b.y),        at(a.z, b.z),
            float(at(a.u, b.u)), float(at(a.v, b.v)), float(at(a.light, b.light))};
}

// Cuts the polygon to the inside of each plane in turn; returns its corners left.
int Clip(const Planes& planes, Corner (&polygon)[MAX_POLYGON], int count) {
    for (int plane = 0; plane < 5 && count > 0; ++plane) {
        Corner kept[MAX_POLYGON];
        int keptCount = 0;
        for (int i = 0; i < count; ++i) {
            const Corner& p = polygon[i];
            const Corner& q = polygon[(i + 1) % count];
            double dp = planes.Distance(plane, p), dq = planes.Distance(plane, q);
            if (dp >= 0) {
                kept[keptCount++] = p;
            }
            if ((dp >= 0) != (dq >= 0) && keptCount < MAX_POLYGON) {
                kept[keptCount++] = Between(p, q, dp / (dp - dq));
            }
        }
        std::copy(kept, kept + keptCount, polygon);
        count = keptCount;
    }
    return count;
}

struct Projector {
    double middleX, middleY, focal;

    ScreenCorner operator()(const Corner& c) const {
        double iz = 1 / c.z;
        double x = Within(middleX + focal * c.x * iz, -2 * GUARD, 4 * GUARD + 2 * middleX);
        double y = Within(middleY - focal * c.y * iz, -2 * GUARD, 4 * GUARD + 2 * middleY);
        return {Fixed(x), Fixed(y), float(iz), float(c.u * iz), float(c.v * iz), float(c.light * iz)};
    }
};

struct Pass {
    Target target;
    Planes planes;
    Projector project;
    std::vector<ScreenTriangle>* deferred; // semi-transparent triangles, drawn after the rest
    const Target* lines;                   // where the lines go; null for none
};

uint32_t Outside(const Planes& planes, const Corner& c) {
    uint32_t bits = 0;
    for (int plane = 0; plane < 5; ++plane) {
        bits |= uint32_t(planes.Distance(plane, c) < 0) << plane;
    }
    return bits;
}

Corner CornerOf(const CameraVertex& v, float u, float texV) {
    return {v.x, v.y, v.z, u, texV, v.light};
}

// A triangle facing the camera runs clockwise in the picture; one facing away is left out
// unless it is drawn from both sides.
void DrawTriangle(const Pass& pass, const CameraVertex* const (&v)[3], const float (&u)[3],
                  const float (&texV)[3], const Surface& surface, bool bothSides) {
    if (v[0]->outside & v[1]->outside & v[2]->outside) {
        return;
    }
    ScreenCorner screen[MAX_POLYGON];
    int count = 3;
    if ((v[0]->outside | v[1]->outside | v[2]->outside) == 0) {
        for (int k = 0; k < 3; ++k) {
            float iz = v[k]->inverseZ;
            screen[k] = {v[k]->pictureX, v[k]->pictureY, iz, u[k] * iz, texV[k] * iz, v[k]->light * iz};
        }
    } else {
        Corner polygon[MAX_POLYGON];
        for (int k = 0; k < 3; ++k) {
            polygon[k] = CornerOf(*v[k], u[k], texV[k]);
        }
        count = Clip(pass.planes, polygon, count);
        for (int i = 0; i < count; ++i) {
            screen[i] = pass.project(polygon[i]);
        }
    }
    int64_t area = 0;
    for (int i = 1; i + 1 < count; ++i) {
        area += (screen[i].x - screen[0].x) * (screen[i + 1].y - screen[0].y) -
                (screen[i].y - screen[0].y) * (screen[i + 1].x - screen[0].x);
    }
    if (area == 0 || (area > 0 && !bothSides)) {
        return;
    }
    for (int i = 1; i + 1 < count; ++i) {
        ScreenTriangle triangle = {{screen[0], screen[i], screen[i + 1]}, surface};
        if (area < 0) {
            std::swap(triangle.corners[1], triangle.corners[2]);
        }
        if (surface.blend) {
            pass.deferred->push_back(triangle);
        } else {
            Rasterise(pass.target, triangle.corners[0], triangle.corners[1], triangle.corners[2], surface);
        }
    }
}

void Plot(const Target& target, int64_t x, int64_t y, uint32_t colour) {
    if (x >= target.left && x < target.right && y >= target.top && y < target.bottom) {
        target.colour[size_t(y - target.top) * size_t(target.stride) + size_t(x - target.left)] = colour;
    }
}

// A line between two picture points, over whatever is there; a thick one is two pixels wide.
void DrawScreenLine(const Target& target, double ax, double ay, double bx, double by, uint32_t colour,
                    bool thick) {
    // Cut to the picture first, so that a line from far outside costs no more than its visible part.
    double t0 = 0, t1 = 1, dx = bx - ax, dy = by - ay;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {ax - target.left, target.right - 1 - ax, ay - target.top, target.bottom - 1 - ay};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0) {
                return;
            }
        } else if (p[k] < 0) {
            t0 = std::max(t0, q[k] / p[k]);
        } else {
            t1 = std::min(t1, q[k] / p[k]);
        }
    }
    if (!(t0 <= t1)) {
        return;
    }
    double x = ax + t0 * dx, y = ay + t0 * dy;
    double length = std::max(std::abs(dx), std::abs(dy)) * (t1 - t0);
    int64_t steps = int64_t(std::ceil(length));
    double sx = steps ? dx * (t1 - t0) / double(steps) : 0, sy = steps ? dy * (t1 - t0) / double(steps) : 0;
    for (int64_t i = 0; i <= steps; ++i, x += sx, y += sy) {
        int64_t px = int64_t(std::floor(x)), py = int64_t(std::floor(y));
        Plot(target, px, py, colour);
        if (thick) {
            Plot(target, px + 1, py, colour);
            Plot(target, px, py + 1, colour);
            Plot(target, px + 1, py + 1, colour);
        }
    }
}

void DrawLine(const Pass& pass, Corner a, Corner b, uint32_t colour, bool thick) {
    if (!pass.lines) {
        return;
    }
    double da = pass.planes.Distance(0, a), db = pass.planes.Distance(0, b);
    if (da < 0 && db < 0) {
        return;
    }
    if (da < 0) {
        a = Between(a, b, da / (da - db));
    } else if (db < 0) {
        b = Between(b, a, db / (db - da));
    }
    const Projector& p = pass.project;
    DrawScreenLine(*pass.lines, p.middleX + p.focal * a.x / a.z, p.middleY - p.focal * a.y / a.z,
                   p.middleX + p.focal * b.x / b.z, p.middleY - p.focal * b.y / b.z, colour, thick);
}

double Dot(const double (&a)[3], const double (&b)[3]) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// Puts one part's vertices into the camera's space and the picture, with the light on each: a
// light at the camera, on either side of the surface.
void ProjectPart(CarView& view, const Pass& pass, const Camera& camera, const CarModel& model,
                 const Vec3* mesh, const Vec3* normals, uint32_t part) {
    const Vec3& at = model.header.partPositions[part];
    TableRange vertices = PartVertices(model.header, part);
    for (uint32_t i = vertices.begin; i < vertices.end; ++i) {
        CameraVertex& out = view.projected[i];
        const double q[3] = {double(at.x) + mesh[i].x - camera.centre[0],
                             double(at.y) + mesh[i].y - camera.centre[1],
                             double(at.z) + mesh[i].z - camera.centre[2]};
        double x = Dot(q, camera.right), y = Dot(q, camera.up), z = camera.distance - Dot(q, camera.towards);
        if (!(std::isfinite(float(x)) && std::isfinite(float(y)) && std::isfinite(float(z)))) {
            out.x = NAN;
            continue;
        }
        out.x = float(x), out.y = float(y), out.z = float(z);
        out.light = 1;
        if (normals) {
            const double n[3] = {normals[i].x, normals[i].y, normals[i].z};
            // The normal turns with the camera as the position does.
            double nx = Dot(n, camera.right), ny = Dot(n, camera.up), nz = -Dot(n, camera.towards);
            double lengths = std::sqrt((nx * nx + ny * ny + nz * nz) * (x * x + y * y + z * z));
            double facing = std::abs(nx * x + ny * y + nz * z) / lengths;
            if (std::isfinite(facing)) {
                out.light = AMBIENT_LIGHT + (1 - AMBIENT_LIGHT) * float(std::min(facing, 1.0));
            }
        }
        Corner corner = CornerOf(out, 0, 0);
        out.outside = Outside(pass.planes, corner);
        if (!out.outside) {
            ScreenCorner screen = pass.project(corner);
            out.inverseZ = screen.iz;
            out.pictureX = screen.x;
            out.pictureY = screen.y;
        }
    }
}

// Calls use(part, vertices, triangle) for every triangle of the parts from first to before end
// whose corners can be used.
template <class Use>
void ForEachTriangle(CarView& view, const Pass& pass, const Camera& camera, const CarModel& model,
                     uint32_t first, uint32_t end, Use use) {
    const Vec3* mesh = ShownVertices(view, model);
    if (!mesh || !model.triangles) {
        return;
    }
    const Vec3* normals = view.showDamaged ? model.damagedNormals : model.normals;
    view.projected.resize(model.header.vertexCount);
    for (uint32_t p = first; p < std::min(end, PartsInUse(model.header)); ++p) {
        ProjectPart(view, pass, camera, model, mesh, normals, p);
        TableRange vertices = PartVertices(model.header, p);
        TableRange triangles = PartTriangles(model.header, p);
        for (uint32_t j = triangles.begin; j < triangles.end; ++j) {
            const FceTriangle& triangle = model.triangles[j];
            const CameraVertex* corners[3];
            bool usable = true;
            for (int k = 0; k < 3 && usable; ++k) {
                uint32_t index = triangle.vertexIndexes[k];
                usable = index < vertices.Count() && !std::isnan(view.projected[vertices.begin + index].x);
                corners[k] = usable ? &view.projected[vertices.begin + index] : nullptr;
            }
            if (usable) {
                use(p, corners, triangle);
            }
        }
    }
}

// Draws every triangle of the car into the pass: its surfaces (into depth and part alone when
// the pass has no colour), and when it has lines the wireframe, the selected part's edges and
// the dummies over them.
void DrawCar(CarView& view, const CarModel& model, const Pass& pass) {
    const bool lines = pass.lines != nullptr;
    Camera camera = CarViewCamera(view);
    ForEachTriangle(
        view, pass, camera, model, 0, PartsInUse(model.header),
        [&](uint32_t p, const CameraVertex* const(&v)[3], const FceTriangle& triangle) {
            bool selected = int32_t(p) == view.selectedPart;
            Surface surface = {int32_t(p), selected, (triangle.flags & TriangleSemiTransparent) != 0};
            // Texture coordinates that are not numbers would make texels of no place.
            float u[3], texV[3];
            for (int k = 0; k < 3; ++k) {
                u[k] = std::isfinite(triangle.u[k]) ? triangle.u[k] : 0;
                texV[k] = std::isfinite(triangle.v[k]) ? triangle.v[k] : 0;
            }
            DrawTriangle(pass, v, u, texV, surface, (triangle.flags & TriangleNoCull) != 0);
            if (lines && view.wireframe && !selected) {
                for (int k = 0; k < 3; ++k) {
                    DrawLine(pass, CornerOf(*v[k], 0, 0), CornerOf(*v[(k + 1) % 3], 0, 0), WIREFRAME_COLOUR,
                             false);
                }
            }
        });
    for (const ScreenTriangle& t : *pass.deferred) {
        Rasterise(pass.target, t.corners[0], t.corners[1], t.corners[2], t.surface);
    }
    if (!lines) {
        return;
    }
    // The selected part's edges go over everything, even where other parts hide them.
    if (view.selectedPart >= 0) {
        uint32_t selected = uint32_t(view.selectedPart);
        ForEachTriangle(view, pass, camera, model, selected, selected + 1,
                        [&](uint32_t, const CameraVertex* const(&v)[3], const FceTriangle&) {
                            for (int k = 0; k < 3; ++k) {
                                DrawLine(pass, CornerOf(*v[k], 0, 0), CornerOf(*v[(k + 1) % 3], 0, 0),
                                         SELECTED_COLOUR, true);
                            }
                        });
    }
    for (uint32_t d = 0; d < DummiesInUse(model.header) && ShownVertices(view, model); ++d) {
        const Vec3& at = model.header.dummyPositions[d];
        ViewPoint c = ProjectPoint(view, at.x, at.y, at.z);
        if (std::isnan(c.x)) {
            continue;
        }
        bool selected = int32_t(d) == view.selectedDummy;
        uint32_t colour = selected ? SELECTED_COLOUR : DUMMY_COLOUR;
        double x = std::floor(c.x), y = std::floor(c.y);
        DrawScreenLine(*pass.lines, x - DUMMY_CROSS, y - DUMMY_CROSS, x + DUMMY_CROSS, y + DUMMY_CROSS,
                       colour, selected);
        DrawScreenLine(*pass.lines, x - DUMMY_CROSS, y + DUMMY_CROSS, x + DUMMY_CROSS, y - DUMMY_CROSS,
                       colour, selected);
    }
}

} // namespace

void RenderCarView(CarView& view, const CarModel& model, const Texture* texture) {
    Frame& frame = view.frame;
    int32_t width = std::max(view.width, 0), height = std::max(view.height, 0);
    if (texture && (texture->width <= 0 || texture->height <= 0 ||
                    texture->pixels.size() != size_t(texture->width) * size_t(texture->height))) {
        texture = nullptr;
    }
    try {
        size_t pixels = size_t(width) * size_t(height);
        frame.width = width;
        frame.height = height;
        frame.colour.assign(pixels, BACKGROUND_COLOUR);
        frame.depth.assign(pixels, 0.0f);
        frame.part.assign(pixels, -1);
        std::vector<ScreenTriangle> deferred;
        Camera camera = CarViewCamera(view);
        const Target picture = {
            0, 0, width, height, width, frame.colour.data(), frame.depth.data(), frame.part.data(), texture};
        Pass pass = {picture,
                     MakePlanes(camera, width, height),
                     {camera.middleX, camera.middleY, camera.focal},
                     &deferred,
                     &picture};
        // The wireframe's surfaces still go into depth and part, so that a click picks what it
        // picks in the solid picture; only the lines are seen.
        if (view.wireframe) {
            pass.target.colour = nullptr;
        }
        DrawCar(view, model, pass);
    } catch (const std::bad_alloc&) {
        frame = Frame();
    }
}

int32_t PickPart(CarView& view, const CarModel& model, double x, double y) {
    if (!(x >= 0 && x < view.width && y >= 0 && y < view.height)) {
        return -1;
    }
    // The picture drawn at one pixel only, by the same steps, so that the part picked is the
    // part drawn there.
    int32_t left = int32_t(x), top = int32_t(y);
    float depth = 0;
    int32_t part = -1;
    std::vector<ScreenTriangle> deferred;
    Camera camera = CarViewCamera(view);
    Pass pass = {{left, top, left + 1, top + 1, 1, nullptr, &depth, &part, nullptr},
                 MakePlanes(camera, view.width, view.height),
                 {camera.middleX, camera.middleY, camera.focal},
                 &deferred,
                 nullptr};
    try {
        DrawCar(view, model, pass);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    return part;
}
