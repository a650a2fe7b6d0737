#include "tools/bake/Preview.h"

#include "renderer/headless/PngWriter.h"
#include "tools/bake/Parallel.h"

#include <embree3/rtcore.h>

#include <cmath>
#include <stdexcept>

namespace bake {

namespace {

V3 sampleTexture(const Image& texture, V2 uv) {
    float u = uv.x - std::floor(uv.x);
    float v = uv.y - std::floor(uv.y);
    const float x = u * static_cast<float>(texture.width) - 0.5F;
    const float y = v * static_cast<float>(texture.height) - 0.5F;
    const int x0 = static_cast<int>(std::floor(x));
    const int y0 = static_cast<int>(std::floor(y));
    const float fx = x - static_cast<float>(x0);
    const float fy = y - static_cast<float>(y0);
    auto at = [&](int xx, int yy) {
        xx = std::clamp(xx, 0, texture.width - 1);
        yy = std::clamp(yy, 0, texture.height - 1);
        return texture.at(xx, yy);
    };
    return (at(x0, y0) * (1 - fx) + at(x0 + 1, y0) * fx) * (1 - fy) +
           (at(x0, y0 + 1) * (1 - fx) + at(x0 + 1, y0 + 1) * fx) * fy;
}

Image blur(const Image& in, int passes) {
    Image a = in;
    constexpr float k[5] = {0.0625F, 0.25F, 0.375F, 0.25F, 0.0625F};
    for (int p = 0; p < passes; ++p) {
        Image b(a.width, a.height);
        for (int y = 0; y < a.height; ++y) {
            for (int x = 0; x < a.width; ++x) {
                V3 s{};
                for (int d = -2; d <= 2; ++d) {
                    s += a.at(std::clamp(x + d, 0, a.width - 1), y) * k[d + 2];
                }
                b.at(x, y) = s;
            }
        }
        for (int y = 0; y < a.height; ++y) {
            for (int x = 0; x < a.width; ++x) {
                V3 s{};
                for (int d = -2; d <= 2; ++d) {
                    s += b.at(x, std::clamp(y + d, 0, a.height - 1)) * k[d + 2];
                }
                a.at(x, y) = s;
            }
        }
    }
    return a;
}

} // namespace

Image renderPreview(const std::vector<PreviewMesh>& meshes, V3 eye, V3 target, int width,
                    int height, int threads) {
    RTCDevice device = rtcNewDevice(nullptr);
    RTCScene scene = rtcNewScene(device);
    for (const PreviewMesh& m : meshes) {
        RTCGeometry g = rtcNewGeometry(device, RTC_GEOMETRY_TYPE_TRIANGLE);
        const std::size_t corners = m.soup->positions.size();
        auto* vb = static_cast<float*>(rtcSetNewGeometryBuffer(g, RTC_BUFFER_TYPE_VERTEX, 0,
                                                               RTC_FORMAT_FLOAT3, 12,
                                                               std::max<std::size_t>(corners, 3)));
        auto* ib = static_cast<unsigned*>(rtcSetNewGeometryBuffer(
            g, RTC_BUFFER_TYPE_INDEX, 0, RTC_FORMAT_UINT3, 12, corners / 3));
        for (std::size_t i = 0; i < corners; ++i) {
            vb[3 * i] = m.soup->positions[i].x;
            vb[3 * i + 1] = m.soup->positions[i].y;
            vb[3 * i + 2] = m.soup->positions[i].z;
            ib[i] = static_cast<unsigned>(i);
        }
        rtcCommitGeometry(g);
        rtcAttachGeometry(scene, g);
        rtcReleaseGeometry(g);
    }
    rtcCommitScene(scene);

    const V3 forward = normalize(target - eye);
    const V3 right = normalize(cross(forward, {0, 0, 1}));
    const V3 up = cross(right, forward);
    const float tanHalf = std::tan(85.0F * 0.5F * PI / 180.0F);
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
    Image colour(width, height);
    Image glow(width, height);
    parallelFor(height, threads, "", [&](int y) {
        for (int x = 0; x < width; ++x) {
            const float sx =
                (2.0F * (static_cast<float>(x) + 0.5F) / static_cast<float>(width) - 1.0F) *
                tanHalf * aspect;
            const float sy =
                (1.0F - 2.0F * (static_cast<float>(y) + 0.5F) / static_cast<float>(height)) *
                tanHalf;
            const V3 dir = normalize(forward + right * sx + up * sy);
            V3 c{1, 1, 1};
            V3 g{1, 1, 1};
            float tnear = 20.0F / dot(dir, forward); // the near plane
            for (int layer = 0; layer < 16; ++layer) {
                RTCIntersectContext context;
                rtcInitIntersectContext(&context);
                RTCRayHit rh{};
                rh.ray = {eye.x, eye.y, eye.z, tnear,       dir.x, dir.y,
                          dir.z, 0.0F,  1e5F,  0xffffffffU, 0,     0};
                rh.hit.geomID = RTC_INVALID_GEOMETRY_ID;
                rtcIntersect1(scene, &context, &rh);
                if (rh.hit.geomID == RTC_INVALID_GEOMETRY_ID) {
                    break;
                }
                const float facing =
                    rh.hit.Ng_x * dir.x + rh.hit.Ng_y * dir.y + rh.hit.Ng_z * dir.z;
                if (facing >= 0.0F) {
                    tnear = rh.ray.tfar + 0.01F; // culled back face
                    continue;
                }
                const PreviewMesh& m = meshes[rh.hit.geomID];
                const std::size_t t = static_cast<std::size_t>(rh.hit.primID) * 3;
                const float w0 = 1.0F - rh.hit.u - rh.hit.v;
                const V2 a = m.soup->uvs[t];
                const V2 b = m.soup->uvs[t + 1];
                const V2 cc = m.soup->uvs[t + 2];
                const V2 uv{a.x * w0 + b.x * rh.hit.u + cc.x * rh.hit.v,
                            a.y * w0 + b.y * rh.hit.u + cc.y * rh.hit.v};
                c = sampleTexture(*m.mainTexture, uv);
                g = sampleTexture(*m.bloomTexture, uv);
                break;
            }
            colour.at(x, y) = c;
            glow.at(x, y) = g;
        }
    });
    rtcReleaseScene(scene);
    rtcReleaseDevice(device);

    // The bloom pass: a small blurred image added one to one.
    int factor = std::max(1, height / 170);
    Image small = shrink(glow, factor);
    small = blur(small, 2);
    Image out(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const V3 bloom =
                sampleBilinear(small.pixels, small.width, small.height,
                               (static_cast<float>(x) + 0.5F) / static_cast<float>(factor),
                               (static_cast<float>(y) + 0.5F) / static_cast<float>(factor));
            // Vignette: colour 0.4 at the corners, untouched in the middle.
            const float cx =
                2.0F * (static_cast<float>(x) + 0.5F) / static_cast<float>(width) - 1.0F;
            const float cy =
                2.0F * (static_cast<float>(y) + 0.5F) / static_cast<float>(height) - 1.0F;
            const float r = std::sqrt(cx * cx + cy * cy);
            const float t = std::clamp((r - 0.5F) / 0.95F, 0.0F, 1.0F);
            const float keep = 1.0F - t * t * (3.0F - 2.0F * t);
            const float shade = 0.4F + 0.6F * keep;
            V3 v = colour.at(x, y) + bloom;
            v = {std::min(v.x, 1.0F) * shade, std::min(v.y, 1.0F) * shade,
                 std::min(v.z, 1.0F) * shade};
            out.at(x, y) = v;
        }
    }
    return out;
}

void writePng(const std::string& path, const Image& image) {
    renderer::Image rgba{image.width, image.height, {}};
    rgba.rgba.reserve(image.pixels.size() * 4);
    for (const V3& c : image.pixels) {
        for (const float v : {c.x, c.y, c.z}) {
            rgba.rgba.push_back(
                static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0F, 1.0F) * 255.0F)));
        }
        rgba.rgba.push_back(255);
    }
    if (const renderer::Result<void> written = renderer::writePng(path, rgba); !written) {
        throw std::runtime_error(written.error().message);
    }
}

} // namespace bake
