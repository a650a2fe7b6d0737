#pragma once

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

#include "engine/commands/Commands.h"
#include "engine/math/Vec.h"

// Helpers for the scene tests: they look at the command tree the renderer will walk rather
// than at a scene's private handles.
namespace scenetest {

using namespace engine::commands;

// Every node reachable from list, once per place it is reachable, depth first.
inline void walk(const std::vector<CommandPtr>& list, std::vector<Command*>& out) {
    for (const CommandPtr& command : list) {
        out.push_back(command.get());
        if (const GroupCommand* group = command->asGroup()) {
            walk(group->commands, out);
        }
    }
}

inline std::vector<Command*> allNodes(const std::vector<CommandPtr>& list) {
    std::vector<Command*> out;
    walk(list, out);
    return out;
}

template <typename T = Command>
T* findNamed(const std::vector<CommandPtr>& list, std::string_view name) {
    for (Command* node : allNodes(list)) {
        if (node->name == name) {
            return dynamic_cast<T*>(node);
        }
    }
    return nullptr;
}

// The distinct transformed draws of the tree, in first-reached order.
inline std::vector<DrawTransformedMeshCommand*>
transformedDraws(const std::vector<CommandPtr>& list) {
    std::vector<DrawTransformedMeshCommand*> draws;
    for (Command* node : allNodes(list)) {
        auto* draw = node->asTransformedDraw();
        if (draw != nullptr && std::find(draws.begin(), draws.end(), draw) == draws.end()) {
            draws.push_back(draw);
        }
    }
    return draws;
}

inline const std::vector<float>& floatsOf(const engine::UniformValuePtr& uniform) {
    return static_cast<const engine::UniformFloatValue&>(*uniform).value;
}

inline bool allFinite(const std::vector<float>& values) {
    return std::all_of(values.begin(), values.end(), [](float v) { return std::isfinite(v); });
}

inline ShadingRate rateOf(const Command& command) {
    const auto& draw = dynamic_cast<const DrawMeshCommand&>(command);
    return static_cast<const VrsHint&>(*draw.hints->at(0)).shadingRate();
}

// Distance from p to the segment a–b, in double precision.
inline double distanceToSegment(const engine::math::Vec3& p, const engine::math::Vec3& a,
                                const engine::math::Vec3& b) {
    const double ab[3] = {double(b._x) - a._x, double(b._y) - a._y, double(b._z) - a._z};
    const double ap[3] = {double(p._x) - a._x, double(p._y) - a._y, double(p._z) - a._z};
    const double len2 = ab[0] * ab[0] + ab[1] * ab[1] + ab[2] * ab[2];
    const double dot = ap[0] * ab[0] + ap[1] * ab[1] + ap[2] * ab[2];
    const double t = len2 > 0 ? std::fmax(0.0, std::fmin(1.0, dot / len2)) : 0.0;
    return std::hypot(ap[0] - t * ab[0], ap[1] - t * ab[1], ap[2] - t * ab[2]);
}

} // namespace scenetest
