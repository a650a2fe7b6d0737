#include <array>

#include <benchmark/benchmark.h>

#include "engine/math/Matrix.h"

using engine::math::Matrix;

namespace {

// A projection times a model-view, the product every transformed draw makes each frame.
void BM_multiplyMM(benchmark::State& state) {
    std::array<float, 16> projection{};
    std::array<float, 16> modelView{};
    std::array<float, 16> result{};
    Matrix::perspectiveM(projection, 0, 60.0F, 16.0F / 9.0F, 20.0F, 5000.0F);
    Matrix::setLookAtM(modelView, 0, 100, 200, 50, 0, 0, 80, 0, 0, 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(projection.data());
        benchmark::DoNotOptimize(modelView.data());
        Matrix::multiplyMM(result, 0, projection, 0, modelView, 0);
        benchmark::DoNotOptimize(result.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_multiplyMM);

// The camera's view matrix, rebuilt once per frame.
void BM_setLookAtM(benchmark::State& state) {
    std::array<float, 16> view{};
    float eyeX = 100.0F;
    for (auto _ : state) {
        benchmark::DoNotOptimize(eyeX);
        Matrix::setLookAtM(view, 0, eyeX, 200, 50, 0, 0, 80, 0, 0, 1);
        benchmark::DoNotOptimize(view.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_setLookAtM);

} // namespace
