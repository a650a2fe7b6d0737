#pragma once

#include <array>
#include <cstddef>
#include <span>

namespace kadrel {

// The recorded camera paths of the two rooms, as plain constant data. The scene builds its
// camera list from this table, and the tool that bakes the rooms reads the same numbers to
// keep every path in open space, so this is the one place they are written down.
//
// Each path runs from a start to an end; at each end the camera sits at `eye` and looks at
// `lookAt`. World units of the room meshes, z up. Every literal is the shortest decimal that
// reads back as the intended 32-bit float, so the values are exact.
struct RecordedPoint {
    float x;
    float y;
    float z;
};

struct RecordedPath {
    RecordedPoint startEye;
    RecordedPoint startLookAt;
    RecordedPoint endEye;
    RecordedPoint endLookAt;
    float speedMultiplier;
};

// Room 1: a wide low hall, seen from near the floor. The order is the order in which
// "next camera" walks the paths.
inline constexpr std::array<RecordedPath, 4> ROOM1_PATHS{{
    {{1595.2762f, -1516.1268f, 83.44518f},
     {-569.53894f, -770.3358f, 151.01573f},
     {1957.1698f, 1356.8844f, 83.44518f},
     {-515.5615f, -151.354f, 151.01573f},
     1.0f},
    {{-829.46936f, -908.0382f, 136.9292f},
     {-165.64581f, 1195.0557f, 251.3715f},
     {1024.0853f, -362.24524f, 136.9292f},
     {1414.9342f, 567.3635f, 251.3715f},
     1.0f},
    {{-243.95557f, 1205.2717f, 136.9292f},
     {362.46558f, -880.0043f, 251.3715f},
     {-819.9841f, -194.45178f, 136.9292f},
     {991.0796f, 1096.154f, 251.3715f},
     1.0f},
    {{81.35687f, -835.5989f, 39.98031f},
     {334.3451f, -294.1427f, 394.6469f},
     {895.4863f, -925.46606f, 39.98031f},
     {1337.5438f, -802.4769f, 725.81354f},
     1.0f},
}};

// Room 2: a tall atrium, crossed at every height.
inline constexpr std::array<RecordedPath, 9> ROOM2_PATHS{{
    {{-842.0926f, -846.5076f, 129.98555f},
     {-674.4083f, 775.07825f, 47.71223f},
     {-828.56775f, 790.18756f, 129.86708f},
     {940.84375f, 1304.5559f, 46.237785f},
     1.0f},
    {{-1442.4281f, -137.39117f, 400.79602f},
     {98.2589f, -729.51196f, 445.23422f},
     {-165.14899f, 2.8690004f, 130.22337f},
     {1178.7565f, 470.28696f, 214.73752f},
     1.0f},
    {{-451.56958f, -252.30167f, 587.1848f},
     {-898.23376f, 597.8059f, 38.427677f},
     {1161.2458f, -52.537415f, 721.2996f},
     {1249.9236f, 615.2596f, 46.237785f},
     1.0f},
    {{-1809.4268f, 206.302f, 822.04504f},
     {-704.4282f, -1200.5166f, 570.46594f},
     {485.292f, 0.00439453f, 654.2626f},
     {740.58057f, 152.70099f, 570.47485f},
     1.0f},
    {{-1201.3511f, -321.01813f, 1267.3562f},
     {-1091.3955f, 484.66968f, -120.63285f},
     {348.40283f, 333.19476f, 531.56305f},
     {1243.907f, 207.53552f, 454.83487f},
     1.0f},
    {{1280.2383f, 0.00817871f, 765.05676f},
     {1020.4136f, -0.0057373f, 681.30115f},
     {-542.4983f, -0.00439453f, 765.0978f},
     {-716.4851f, 0.00195313f, 656.9107f},
     1.0f},
    {{684.19763f, -906.22656f, 562.2279f},
     {293.5536f, -235.00806f, 457.9884f},
     {-355.00952f, 702.02734f, 585.4181f},
     {582.56335f, 400.67163f, 433.59796f},
     1.0f},
    {{255.49573f, -216.34082f, 356.14874f},
     {621.0696f, 213.13354f, 377.2011f},
     {-261.60974f, 210.44629f, 9.956253f},
     {444.66296f, 48.16748f, 614.7096f},
     1.0f},
    {{187.09607f, -779.0669f, 151.3941f},
     {-729.9801f, -1107.8511f, 366.46796f},
     {181.64563f, 716.58813f, 151.3935f},
     {-921.05164f, -237.90332f, 366.46844f},
     1.0f},
}};

inline constexpr std::size_t ROOM_COUNT = 2;

// The rooms by index; a room's index is its identity throughout the scene.
inline constexpr std::array<std::span<const RecordedPath>, ROOM_COUNT> CAMERA_TABLE{
    std::span<const RecordedPath>(ROOM1_PATHS), std::span<const RecordedPath>(ROOM2_PATHS)};

} // namespace kadrel
