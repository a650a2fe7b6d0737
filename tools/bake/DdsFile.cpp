#include "tools/bake/DdsFile.h"

#include <squish.h>

#include <algorithm>

#include "tools/bake/Parallel.h"

namespace bake {

renderer::BlockFormat twinFormat(const std::vector<std::uint8_t>& rgba) {
    for (std::size_t i = 3; i < rgba.size(); i += 4) {
        if (rgba[i] != 255) {
            return renderer::BlockFormat::Bc3;
        }
    }
    return renderer::BlockFormat::Bc1;
}

std::vector<std::uint8_t> encodeDds(const std::vector<std::uint8_t>& rgba, int width, int height,
                                    renderer::BlockFormat format, int threads) {
    std::vector<std::uint8_t> file = renderer::DdsInfo::header(width, height, format);
    const renderer::DdsInfo info{width, height, format};
    const std::size_t headerSize = file.size();
    file.resize(headerSize + static_cast<std::size_t>(info.dataSize()));
    const int flags = (format == renderer::BlockFormat::Bc1 ? squish::kDxt1 : squish::kDxt5) |
                      squish::kColourIterativeClusterFit;
    const int bands = (height + 3) / 4;
    const std::size_t bandBytes =
        static_cast<std::size_t>((width + 3) / 4) * static_cast<std::size_t>(info.blockBytes());
    // Each band of four rows is one row of blocks: compressed alone, it lands where the whole
    // image's blocks would.
    parallelFor(bands, threads, "", [&](int band) {
        const int rows = std::min(4, height - 4 * band);
        squish::CompressImage(rgba.data() + static_cast<std::size_t>(band) * 4 * width * 4, width,
                              rows, file.data() + headerSize + band * bandBytes, flags);
    });
    return file;
}

} // namespace bake
