#include "tools/bake/Lightmapper.h"

#include "tools/bake/Concrete.h"
#include "tools/bake/Image.h"
#include "tools/bake/Parallel.h"

#include <embree3/rtcore.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <stdexcept>

namespace bake {

namespace {

// The indirect light is gathered at a quarter of the texture resolution: it varies slowly, and the
// sun, the occlusion and the albedo keep the full resolution.
constexpr int INDIRECT_FACTOR = 4;
constexpr float RAY_OFFSET = 0.5F;
// Contact darkening reaches this far from a corner: about a column's width, so that columns,
// steps and slab edges sit on the floor instead of floating over it.
constexpr float AO_RADIUS = 140.0F;
// The sun's real angular radius (a disc of about half a degree): penumbrae stay a few units
// wide near an opening and widen with the distance from it.
constexpr float SUN_ANGULAR_RADIUS = 0.00465F;

struct Hit {
    bool hit = false;
    bool back = false;
    float t = 0.0F;
    unsigned prim = 0;
    float u = 0.0F;
    float v = 0.0F;
};

class Tracer {
  public:
    explicit Tracer(const TriangleSoup& soup) {
        device_ = rtcNewDevice(nullptr);
        if (device_ == nullptr) {
            throw std::runtime_error("Embree device could not be created");
        }
        scene_ = rtcNewScene(device_);
        rtcSetSceneBuildQuality(scene_, RTC_BUILD_QUALITY_HIGH);
        rtcSetSceneFlags(scene_, RTC_SCENE_FLAG_ROBUST);
        RTCGeometry geometry = rtcNewGeometry(device_, RTC_GEOMETRY_TYPE_TRIANGLE);
        // The decoration (sky and ground beyond the openings) follows the patches and casts no
        // shadow: only the room's own triangles are traced, so primitive ids stay soup indices.
        std::size_t triangles = 0;
        while (triangles < soup.patchOfTriangle.size() && soup.patchOfTriangle[triangles] >= 0) {
            ++triangles;
        }
        auto* vertices = static_cast<float*>(
            rtcSetNewGeometryBuffer(geometry, RTC_BUFFER_TYPE_VERTEX, 0, RTC_FORMAT_FLOAT3,
                                    3 * sizeof(float), 3 * triangles));
        auto* indices = static_cast<unsigned*>(rtcSetNewGeometryBuffer(
            geometry, RTC_BUFFER_TYPE_INDEX, 0, RTC_FORMAT_UINT3, 3 * sizeof(unsigned), triangles));
        for (std::size_t i = 0; i < 3 * triangles; ++i) {
            vertices[3 * i] = soup.positions[i].x;
            vertices[3 * i + 1] = soup.positions[i].y;
            vertices[3 * i + 2] = soup.positions[i].z;
        }
        for (std::size_t i = 0; i < 3 * triangles; ++i) {
            indices[i] = static_cast<unsigned>(i);
        }
        rtcCommitGeometry(geometry);
        rtcAttachGeometry(scene_, geometry);
        rtcReleaseGeometry(geometry);
        rtcCommitScene(scene_);
    }
    ~Tracer() {
        rtcReleaseScene(scene_);
        rtcReleaseDevice(device_);
    }
    Tracer(const Tracer&) = delete;
    Tracer& operator=(const Tracer&) = delete;

    bool occluded(V3 origin, V3 direction, float far) const {
        RTCIntersectContext context;
        rtcInitIntersectContext(&context);
        RTCRay ray{};
        setRay(ray, origin, direction, far);
        rtcOccluded1(scene_, &context, &ray);
        return ray.tfar == -std::numeric_limits<float>::infinity();
    }

    Hit intersect(V3 origin, V3 direction, float far) const {
        RTCIntersectContext context;
        rtcInitIntersectContext(&context);
        RTCRayHit rayHit{};
        setRay(rayHit.ray, origin, direction, far);
        rayHit.hit.geomID = RTC_INVALID_GEOMETRY_ID;
        rtcIntersect1(scene_, &context, &rayHit);
        Hit hit;
        if (rayHit.hit.geomID == RTC_INVALID_GEOMETRY_ID) {
            return hit;
        }
        hit.hit = true;
        hit.t = rayHit.ray.tfar;
        hit.prim = rayHit.hit.primID;
        hit.u = rayHit.hit.u;
        hit.v = rayHit.hit.v;
        hit.back = (rayHit.hit.Ng_x * direction.x + rayHit.hit.Ng_y * direction.y +
                    rayHit.hit.Ng_z * direction.z) > 0.0F;
        return hit;
    }

  private:
    static void setRay(RTCRay& ray, V3 origin, V3 direction, float far) {
        ray.org_x = origin.x;
        ray.org_y = origin.y;
        ray.org_z = origin.z;
        ray.dir_x = direction.x;
        ray.dir_y = direction.y;
        ray.dir_z = direction.z;
        ray.tnear = 0.0F;
        ray.tfar = far;
        ray.mask = 0xffffffffU;
        ray.flags = 0;
        ray.time = 0.0F;
    }

    RTCDevice device_ = nullptr;
    RTCScene scene_ = nullptr;
};

V3 cosineDirection(V3 n, float u1, float u2) {
    V3 t;
    V3 b;
    orthonormalFrame(n, t, b);
    const float r = std::sqrt(u1);
    const float phi = 2.0F * PI * u2;
    return normalize(t * (r * std::cos(phi)) + b * (r * std::sin(phi)) +
                     n * std::sqrt(std::max(0.0F, 1.0F - u1)));
}

V3 skyRadiance(const Daylight& d, V3 direction) {
    if (direction.z <= 0.0F) {
        return d.skyHorizon * 0.6F; // the sunlit ground outside
    }
    const float t = std::sqrt(direction.z);
    return d.skyHorizon * (1.0F - t) + d.skyZenith * t;
}

struct Surface {
    V3 position;
    V3 normal;
    Finish finish;
};

class RoomLighting {
  public:
    RoomLighting(const Room& room, const AtlasLayout& layout, const TriangleSoup& soup,
                 const Daylight& sunAndSky, const LightingQuality& quality)
        : room_(room), layout_(layout), soup_(soup), daylight_(sunAndSky), quality_(quality),
          tracer_(soup), width_(layout.width), height_(layout.height),
          lowWidth_(layout.width / INDIRECT_FACTOR), lowHeight_(layout.height / INDIRECT_FACTOR) {}

    LitRegion run() {
        coverage();
        stage("albedo", height_, [this](int y) { albedoRow(y); });
        stage("sun and occlusion", height_, [this](int y) { sunRow(y); });
        smoothSunEdges();
        smoothOcclusion();
        lowResolutionInputs();
        stage("sky through the openings", lowHeight_, [this](int y) { skyRow(y); });
        std::vector<V3> direct = lowDirect_;
        for (std::size_t i = 0; i < direct.size(); ++i) {
            direct[i] += lowSky_[i];
        }
        std::vector<V3> gathered(direct.size());
        for (int bounce = 0; bounce < quality_.bounces; ++bounce) {
            // Radiosity leaving each surface from everything gathered so far.
            radiosity_.assign(direct.size(), {});
            for (std::size_t i = 0; i < direct.size(); ++i) {
                radiosity_[i] = lowAlbedo_[i] * (direct[i] + gathered[i]) * (1.0F / PI);
            }
            std::vector<std::uint8_t> validCopy = lowValid_;
            dilateWithinCharts(radiosity_, validCopy, lowChart_, lowWidth_, lowHeight_, 3);
            next_.assign(direct.size(), {});
            stage("bounce " + std::to_string(bounce + 1), lowHeight_,
                  [this](int y) { gatherRow(y); });
            gathered = next_;
        }
        std::vector<V3> indirect(direct.size());
        for (std::size_t i = 0; i < indirect.size(); ++i) {
            indirect[i] = lowSky_[i] + gathered[i];
        }
        indirect = denoise(indirect);
        std::vector<std::uint8_t> validCopy = lowValid_;
        dilateWithinCharts(indirect, validCopy, lowChart_, lowWidth_, lowHeight_, 4);
        return compose(indirect);
    }

  private:
    template <typename F> void stage(const std::string& name, int rows, F&& body) {
        if (quality_.verbose) {
            std::printf(" %s, %s\n", room_.name.c_str(), name.c_str());
            std::fflush(stdout);
        }
        parallelFor(rows, quality_.threads, quality_.verbose ? name : std::string(), body);
    }

    std::size_t index(int x, int y) const { return static_cast<std::size_t>(y) * width_ + x; }
    std::size_t lowIndex(int x, int y) const { return static_cast<std::size_t>(y) * lowWidth_ + x; }

    // Which triangle each texel centre falls in, rasterised from the texture coordinates the
    // mesh file stores; padding texels only record their chart.
    void coverage() {
        const std::size_t n = static_cast<std::size_t>(width_) * height_;
        chartOf_.assign(n, -1);
        triangleOf_.assign(n, -1);
        for (std::size_t c = 0; c < layout_.charts.size(); ++c) {
            const Chart& chart = layout_.charts[c];
            if (room_.patches[static_cast<std::size_t>(chart.patch)].mesh != 0) {
                continue;
            }
            for (int ty = 0; ty < chart.height; ++ty) {
                for (int tx = 0; tx < chart.width; ++tx) {
                    chartOf_[index(chart.x + tx, chart.y + ty)] = static_cast<std::int32_t>(c);
                }
            }
        }
        const std::size_t triangles = soup_.patchOfTriangle.size();
        normals_.resize(triangles);
        for (std::size_t t = 0; t < triangles; ++t) {
            const V3* p = &soup_.positions[3 * t];
            normals_[t] = normalize(cross(p[1] - p[0], p[2] - p[0]));
            const V2* uv = &soup_.texels[3 * t];
            const float area = (uv[1].x - uv[0].x) * (uv[2].y - uv[0].y) -
                               (uv[1].y - uv[0].y) * (uv[2].x - uv[0].x);
            if (std::fabs(area) < 1e-6F || soup_.patchOfTriangle[t] < 0) {
                continue;
            }
            const int x0 =
                std::max(0, static_cast<int>(std::floor(std::min({uv[0].x, uv[1].x, uv[2].x}))));
            const int x1 = std::min(
                width_ - 1, static_cast<int>(std::ceil(std::max({uv[0].x, uv[1].x, uv[2].x}))));
            const int y0 =
                std::max(0, static_cast<int>(std::floor(std::min({uv[0].y, uv[1].y, uv[2].y}))));
            const int y1 = std::min(
                height_ - 1, static_cast<int>(std::ceil(std::max({uv[0].y, uv[1].y, uv[2].y}))));
            for (int y = y0; y <= y1; ++y) {
                for (int x = x0; x <= x1; ++x) {
                    float w[3];
                    barycentric(t, static_cast<float>(x) + 0.5F, static_cast<float>(y) + 0.5F, w);
                    if (w[0] >= -1e-5F && w[1] >= -1e-5F && w[2] >= -1e-5F) {
                        const std::size_t i = index(x, y);
                        if (triangleOf_[i] < 0) {
                            triangleOf_[i] = static_cast<std::int32_t>(t);
                        }
                    }
                }
            }
        }
        valid_.assign(n, 0);
        albedo_.assign(n, {});
        sun_.assign(n, {});
        sunVisible_.assign(n, 0.0F);
        sunCosine_.assign(n, 0.0F);
        occlusion_.assign(n, 1.0F);
    }

    void barycentric(std::size_t t, float x, float y, float w[3]) const {
        const V2* uv = &soup_.texels[3 * t];
        const float d =
            (uv[1].y - uv[2].y) * (uv[0].x - uv[2].x) + (uv[2].x - uv[1].x) * (uv[0].y - uv[2].y);
        w[0] = ((uv[1].y - uv[2].y) * (x - uv[2].x) + (uv[2].x - uv[1].x) * (y - uv[2].y)) / d;
        w[1] = ((uv[2].y - uv[0].y) * (x - uv[2].x) + (uv[0].x - uv[2].x) * (y - uv[2].y)) / d;
        w[2] = 1.0F - w[0] - w[1];
    }

    // World position and frame of a full-resolution texel, at a sub-texel offset.
    bool surfaceAt(int x, int y, float fx, float fy, Surface& out) const {
        const std::int32_t t = triangleOf_[index(x, y)];
        if (t < 0) {
            return false;
        }
        const auto ti = static_cast<std::size_t>(t);
        float w[3];
        barycentric(ti, static_cast<float>(x) + fx, static_cast<float>(y) + fy, w);
        // A sub-texel point of an edge texel can fall off the triangle. Extrapolated, it would
        // lie past the edge: inside the wall the surface meets, or outside the building, where
        // its shadow rays see the sun (the thin bright streaks along shaded corners). Pulled
        // back onto the triangle, it stays on the surface.
        if (w[0] < 0.0F || w[1] < 0.0F || w[2] < 0.0F) {
            w[0] = std::max(w[0], 0.0F);
            w[1] = std::max(w[1], 0.0F);
            w[2] = std::max(w[2], 0.0F);
            const float sum = w[0] + w[1] + w[2];
            w[0] /= sum;
            w[1] /= sum;
            w[2] /= sum;
        }
        const V3* p = &soup_.positions[3 * ti];
        out.position = p[0] * w[0] + p[1] * w[1] + p[2] * w[2];
        out.normal = normals_[ti];
        out.finish = room_.patches[static_cast<std::size_t>(soup_.patchOfTriangle[ti])].finish;
        return true;
    }

    void albedoRow(int y) {
        for (int x = 0; x < width_; ++x) {
            V3 sum{};
            int count = 0;
            for (int s = 0; s < 4; ++s) {
                Surface surface;
                if (surfaceAt(x, y, 0.25F + 0.5F * static_cast<float>(s % 2),
                              0.25F + 0.5F * static_cast<float>(s / 2), surface)) {
                    sum += concreteAlbedo(surface.finish, surface.position, surface.normal);
                    ++count;
                }
            }
            if (count > 0) {
                albedo_[index(x, y)] = sum * (1.0F / static_cast<float>(count));
            }
        }
    }

    void sunRow(int y) {
        V3 sunT;
        V3 sunB;
        orthonormalFrame(daylight_.toSun, sunT, sunB);
        for (int x = 0; x < width_; ++x) {
            const std::size_t i = index(x, y);
            Surface centre;
            if (!surfaceAt(x, y, 0.5F, 0.5F, centre)) {
                continue;
            }
            SampleRng rng(static_cast<std::uint32_t>(i) * 7919U + 17U);
            // Occlusion, and whether the texel lies inside a solid (its rays meet back faces).
            const V3 origin = centre.position + centre.normal * RAY_OFFSET;
            int backHits = 0;
            float open = 0.0F;
            const int aoGrid = std::max(1, static_cast<int>(std::sqrt(quality_.aoRays)));
            const int aoRays = aoGrid * aoGrid;
            for (int s = 0; s < aoRays; ++s) {
                const float u1 =
                    (static_cast<float>(s % aoGrid) + rng.next()) / static_cast<float>(aoGrid);
                const float u2 =
                    (static_cast<float>(s / aoGrid) + rng.next()) / static_cast<float>(aoGrid);
                const Hit hit =
                    tracer_.intersect(origin, cosineDirection(centre.normal, u1, u2), AO_RADIUS);
                if (!hit.hit) {
                    open += 1.0F;
                } else if (hit.back) {
                    ++backHits;
                } else {
                    open += hit.t / AO_RADIUS;
                }
            }
            if (backHits * 4 > aoRays) {
                continue;
            }
            valid_[i] = 1;
            occlusion_[i] = open / static_cast<float>(aoRays);

            const float cosine = dot(centre.normal, daylight_.toSun);
            if (cosine <= 0.0F) {
                continue;
            }
            // Stratified over the texel and over the sun's disc; texels in a penumbra get four
            // times the rays, so shadow edges come out soft instead of grainy.
            const int sunGrid = std::max(1, static_cast<int>(std::sqrt(quality_.sunRays)));
            auto traceSun = [&](int grid) {
                const int rays = grid * grid;
                int lit = 0;
                for (int s = 0; s < rays; ++s) {
                    const float sx =
                        (static_cast<float>(s % grid) + rng.next()) / static_cast<float>(grid);
                    const float sy =
                        (static_cast<float>(s / grid) + rng.next()) / static_cast<float>(grid);
                    Surface jittered;
                    if (!surfaceAt(x, y, sx, sy, jittered)) {
                        jittered = centre;
                    }
                    const float r = SUN_ANGULAR_RADIUS * std::sqrt(rng.next());
                    const float phi =
                        2.0F * PI * (static_cast<float>(s) + rng.next()) / static_cast<float>(rays);
                    const V3 direction = normalize(daylight_.toSun + sunT * (r * std::cos(phi)) +
                                                   sunB * (r * std::sin(phi)));
                    if (!tracer_.occluded(jittered.position + jittered.normal * RAY_OFFSET,
                                          direction, 1e6F)) {
                        ++lit;
                    }
                }
                return static_cast<float>(lit) / static_cast<float>(rays);
            };
            float visible = traceSun(sunGrid);
            if (visible > 0.0F && visible < 1.0F) {
                visible = (visible + 4.0F * traceSun(2 * sunGrid)) / 5.0F;
            }
            sunVisible_[i] = visible;
            sunCosine_[i] = cosine;
        }
    }

    // The sun is tens of times brighter than the rest of the room, so even the small noise
    // left in a penumbra shows as grain. A narrow 3 x 3 Gaussian over the visibility of the
    // same chart and plane, applied only where the neighbourhood is partly lit, smooths it
    // without widening the edge by more than a texel.
    void smoothSunEdges() {
        std::vector<float> out = sunVisible_;
        parallelFor(height_, quality_.threads, "", [&](int y) {
            for (int x = 0; x < width_; ++x) {
                const std::size_t i = index(x, y);
                if (!valid_[i] || sunCosine_[i] <= 0.0F) {
                    continue;
                }
                Surface centre;
                surfaceAt(x, y, 0.5F, 0.5F, centre);
                float sum = 0.0F;
                float weight = 0.0F;
                float lo = 1.0F;
                float hi = 0.0F;
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int xx = x + dx;
                        const int yy = y + dy;
                        if (xx < 0 || yy < 0 || xx >= width_ || yy >= height_) {
                            continue;
                        }
                        const std::size_t j = index(xx, yy);
                        if (!valid_[j] || chartOf_[j] != chartOf_[i]) {
                            continue;
                        }
                        Surface other;
                        surfaceAt(xx, yy, 0.5F, 0.5F, other);
                        if (std::fabs(dot(other.position - centre.position, centre.normal)) >
                            1.0F) {
                            continue;
                        }
                        const float w = std::exp(-static_cast<float>(dx * dx + dy * dy));
                        sum += sunVisible_[j] * w;
                        weight += w;
                        lo = std::min(lo, sunVisible_[j]);
                        hi = std::max(hi, sunVisible_[j]);
                    }
                }
                if (hi > lo && weight > 0.0F) {
                    out[i] = sum / weight;
                }
            }
        });
        for (std::size_t i = 0; i < out.size(); ++i) {
            sun_[i] = daylight_.sunColor * (sunCosine_[i] * out[i]);
        }
    }

    // Contact darkening varies over tens of units, but a texel's few rays make it grainy
    // (dirty-looking column feet). A 5 x 5 Gaussian within the chart and plane removes the
    // grain; the corner itself stays dark, as every texel near it is.
    void smoothOcclusion() {
        std::vector<float> out = occlusion_;
        parallelFor(height_, quality_.threads, "", [&](int y) {
            for (int x = 0; x < width_; ++x) {
                const std::size_t i = index(x, y);
                if (!valid_[i]) {
                    continue;
                }
                Surface centre;
                surfaceAt(x, y, 0.5F, 0.5F, centre);
                float sum = 0.0F;
                float weight = 0.0F;
                for (int dy = -2; dy <= 2; ++dy) {
                    for (int dx = -2; dx <= 2; ++dx) {
                        const int xx = x + dx;
                        const int yy = y + dy;
                        if (xx < 0 || yy < 0 || xx >= width_ || yy >= height_) {
                            continue;
                        }
                        const std::size_t j = index(xx, yy);
                        if (!valid_[j] || chartOf_[j] != chartOf_[i]) {
                            continue;
                        }
                        Surface other;
                        surfaceAt(xx, yy, 0.5F, 0.5F, other);
                        if (std::fabs(dot(other.position - centre.position, centre.normal)) >
                            1.0F) {
                            continue;
                        }
                        const float w = std::exp(-static_cast<float>(dx * dx + dy * dy) / 3.0F);
                        sum += occlusion_[j] * w;
                        weight += w;
                    }
                }
                out[i] = sum / weight;
            }
        });
        occlusion_ = std::move(out);
    }

    // Low-resolution inputs: one surface point per texel, averaged albedo and sunlight.
    void lowResolutionInputs() {
        const std::size_t n = static_cast<std::size_t>(lowWidth_) * lowHeight_;
        lowChart_.assign(n, -1);
        lowValid_.assign(n, 0);
        lowAlbedo_.assign(n, {});
        lowDirect_.assign(n, {});
        lowSky_.assign(n, {});
        lowPosition_.assign(n, {});
        lowNormal_.assign(n, {});
        for (int y = 0; y < lowHeight_; ++y) {
            for (int x = 0; x < lowWidth_; ++x) {
                const std::size_t li = lowIndex(x, y);
                V3 albedo{};
                V3 sun{};
                int count = 0;
                for (int s = 0; s < INDIRECT_FACTOR * INDIRECT_FACTOR; ++s) {
                    const int fx = x * INDIRECT_FACTOR + s % INDIRECT_FACTOR;
                    const int fy = y * INDIRECT_FACTOR + s / INDIRECT_FACTOR;
                    const std::size_t i = index(fx, fy);
                    if (chartOf_[i] >= 0) {
                        lowChart_[li] = chartOf_[i];
                    }
                    if (!valid_[i]) {
                        continue;
                    }
                    Surface surface;
                    surfaceAt(fx, fy, 0.5F, 0.5F, surface);
                    if (count == 0) {
                        lowPosition_[li] = surface.position;
                        lowNormal_[li] = surface.normal;
                    }
                    albedo += albedo_[i];
                    sun += sun_[i];
                    ++count;
                }
                if (count > 0) {
                    lowValid_[li] = 1;
                    lowAlbedo_[li] = albedo * (1.0F / static_cast<float>(count));
                    lowDirect_[li] = sun * (1.0F / static_cast<float>(count));
                }
            }
        }
    }

    void skyRow(int y) {
        const auto& portals = room_.portals;
        std::vector<float> weights(portals.size());
        for (int x = 0; x < lowWidth_; ++x) {
            const std::size_t li = lowIndex(x, y);
            if (!lowValid_[li] || portals.empty()) {
                continue;
            }
            const V3 p = lowPosition_[li] + lowNormal_[li] * RAY_OFFSET;
            const V3 n = lowNormal_[li];
            float total = 0.0F;
            for (std::size_t k = 0; k < portals.size(); ++k) {
                const Portal& portal = portals[k];
                const V3 area = cross(portal.edgeA, portal.edgeB);
                const float a = length(area);
                const V3 d = portal.corner + (portal.edgeA + portal.edgeB) * 0.5F - p;
                const float dist2 = dot(d, d);
                const V3 w = d * (1.0F / std::sqrt(dist2));
                const float cr = std::max(0.05F, dot(n, w));
                const float cp = std::max(0.05F, -dot(area * (1.0F / a), w));
                weights[k] = cr * cp * a / std::max(dist2, a * 0.5F);
                total += weights[k];
            }
            SampleRng rng(static_cast<std::uint32_t>(li) * 104729U + 3U);
            V3 sum{};
            const int samples = quality_.skyRays;
            for (int s = 0; s < samples; ++s) {
                float pick =
                    (static_cast<float>(s) + rng.next()) / static_cast<float>(samples) * total;
                std::size_t k = 0;
                while (k + 1 < portals.size() && pick > weights[k]) {
                    pick -= weights[k];
                    ++k;
                }
                const Portal& portal = portals[k];
                const V3 q = portal.corner + portal.edgeA * rng.next() + portal.edgeB * rng.next();
                const V3 d = q - p;
                const float dist = length(d);
                const V3 w = d * (1.0F / dist);
                const V3 area = cross(portal.edgeA, portal.edgeB);
                const float a = length(area);
                const float cr = dot(n, w);
                const float cp = -dot(area * (1.0F / a), w);
                if (cr <= 0.0F || cp <= 0.0F || tracer_.occluded(p, w, dist - 1.0F)) {
                    continue;
                }
                const float pdfPick = weights[k] / total;
                sum += skyRadiance(daylight_, w) * (cr * cp * a / (dist * dist) / pdfPick);
            }
            lowSky_[li] = sum * (1.0F / static_cast<float>(samples));
        }
    }

    void gatherRow(int y) {
        const int grid = std::max(1, static_cast<int>(std::sqrt(quality_.bounceRays)));
        const int rays = grid * grid;
        for (int x = 0; x < lowWidth_; ++x) {
            const std::size_t li = lowIndex(x, y);
            if (!lowValid_[li]) {
                continue;
            }
            const V3 p = lowPosition_[li] + lowNormal_[li] * RAY_OFFSET;
            SampleRng rng(static_cast<std::uint32_t>(li) * 15485863U + 11U);
            V3 sum{};
            for (int s = 0; s < rays; ++s) {
                const float u1 =
                    (static_cast<float>(s % grid) + rng.next()) / static_cast<float>(grid);
                const float u2 =
                    (static_cast<float>(s / grid) + rng.next()) / static_cast<float>(grid);
                const Hit hit = tracer_.intersect(p, cosineDirection(lowNormal_[li], u1, u2), 1e6F);
                if (!hit.hit || hit.back) {
                    continue;
                }
                const std::size_t t = static_cast<std::size_t>(hit.prim) * 3;
                const V2 a = soup_.texels[t];
                const V2 b = soup_.texels[t + 1];
                const V2 c = soup_.texels[t + 2];
                const float w0 = 1.0F - hit.u - hit.v;
                const float tx =
                    (a.x * w0 + b.x * hit.u + c.x * hit.v) / static_cast<float>(INDIRECT_FACTOR);
                const float ty =
                    (a.y * w0 + b.y * hit.u + c.y * hit.v) / static_cast<float>(INDIRECT_FACTOR);
                sum += sampleBilinear(radiosity_, lowWidth_, lowHeight_, tx, ty);
            }
            next_[li] = sum * (PI / static_cast<float>(rays));
        }
    }

    // A small Gaussian within each chart, over valid texels only.
    std::vector<V3> denoise(const std::vector<V3>& in) const {
        std::vector<V3> out = in;
        constexpr int radius = 3;
        for (int y = 0; y < lowHeight_; ++y) {
            for (int x = 0; x < lowWidth_; ++x) {
                const std::size_t li = lowIndex(x, y);
                if (!lowValid_[li]) {
                    continue;
                }
                V3 sum{};
                float weight = 0.0F;
                for (int dy = -radius; dy <= radius; ++dy) {
                    for (int dx = -radius; dx <= radius; ++dx) {
                        const int xx = x + dx;
                        const int yy = y + dy;
                        if (xx < 0 || yy < 0 || xx >= lowWidth_ || yy >= lowHeight_) {
                            continue;
                        }
                        const std::size_t j = lowIndex(xx, yy);
                        // Same chart and same plane: the folded ceiling chart holds the rib
                        // soffits and the coffer tops side by side at different heights.
                        if (!lowValid_[j] || lowChart_[j] != lowChart_[li] ||
                            std::fabs(dot(lowPosition_[j] - lowPosition_[li], lowNormal_[li])) >
                                1.0F) {
                            continue;
                        }
                        const float w = std::exp(-static_cast<float>(dx * dx + dy * dy) / 6.0F);
                        sum += in[j] * w;
                        weight += w;
                    }
                }
                out[li] = sum * (1.0F / weight);
            }
        }
        return out;
    }

    LitRegion compose(const std::vector<V3>& indirect) {
        LitRegion out;
        out.width = width_;
        out.height = height_;
        out.radiance.assign(static_cast<std::size_t>(width_) * height_, {});
        out.chartOf = chartOf_;
        out.valid = valid_;
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                const std::size_t i = index(x, y);
                if (!valid_[i]) {
                    continue;
                }
                const V3 e = sampleBilinear(
                    indirect, lowWidth_, lowHeight_,
                    (static_cast<float>(x) + 0.5F) / static_cast<float>(INDIRECT_FACTOR),
                    (static_cast<float>(y) + 0.5F) / static_cast<float>(INDIRECT_FACTOR));
                // Contact darkening on the light that arrives from everywhere; a power
                // deepens the corners while open surfaces (occlusion near 1) keep their light.
                const float ao = std::max(0.12F, std::pow(occlusion_[i], 1.7F));
                out.radiance[i] = albedo_[i] * (sun_[i] + e * ao) * (1.0F / PI);
            }
        }
        out.filled = valid_;
        dilateWithinCharts(out.radiance, out.filled, chartOf_, width_, height_,
                           layout_.padding + 4);
        return out;
    }

    const Room& room_;
    const AtlasLayout& layout_;
    const TriangleSoup& soup_;
    const Daylight& daylight_;
    const LightingQuality& quality_;
    Tracer tracer_;
    int width_;
    int height_;
    int lowWidth_;
    int lowHeight_;

    std::vector<std::int32_t> chartOf_;
    std::vector<std::int32_t> triangleOf_;
    std::vector<V3> normals_;
    std::vector<std::uint8_t> valid_;
    std::vector<V3> albedo_;
    std::vector<V3> sun_;
    std::vector<float> sunVisible_;
    std::vector<float> sunCosine_;
    std::vector<float> occlusion_;

    std::vector<std::int32_t> lowChart_;
    std::vector<std::uint8_t> lowValid_;
    std::vector<V3> lowAlbedo_;
    std::vector<V3> lowDirect_;
    std::vector<V3> lowSky_;
    std::vector<V3> lowPosition_;
    std::vector<V3> lowNormal_;
    std::vector<V3> radiosity_;
    std::vector<V3> next_;
};

} // namespace

void dilateWithinCharts(std::vector<V3>& image, std::vector<std::uint8_t>& valid,
                        const std::vector<std::int32_t>& chartOf, int width, int height,
                        int rings) {
    std::vector<std::size_t> frontier;
    for (int ring = 0; ring < rings; ++ring) {
        frontier.clear();
        std::vector<V3> values;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const std::size_t i = static_cast<std::size_t>(y) * width + x;
                if (valid[i] || chartOf[i] < 0) {
                    continue;
                }
                V3 sum{};
                int count = 0;
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int xx = x + dx;
                        const int yy = y + dy;
                        if (xx < 0 || yy < 0 || xx >= width || yy >= height) {
                            continue;
                        }
                        const std::size_t j = static_cast<std::size_t>(yy) * width + xx;
                        if (valid[j] && chartOf[j] == chartOf[i]) {
                            sum += image[j];
                            ++count;
                        }
                    }
                }
                if (count > 0) {
                    frontier.push_back(i);
                    values.push_back(sum * (1.0F / static_cast<float>(count)));
                }
            }
        }
        if (frontier.empty()) {
            break;
        }
        for (std::size_t k = 0; k < frontier.size(); ++k) {
            image[frontier[k]] = values[k];
            valid[frontier[k]] = 1;
        }
    }
}

LitRegion lightRoom(const Room& room, const AtlasLayout& layout, const TriangleSoup& soup,
                    const Daylight& sunAndSky, const LightingQuality& quality) {
    RoomLighting lighting(room, layout, soup, sunAndSky, quality);
    return lighting.run();
}

} // namespace bake
