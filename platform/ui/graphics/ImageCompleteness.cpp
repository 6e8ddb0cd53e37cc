#include "platform/ui/graphics/ImageCompleteness.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace platform::ui {

namespace {

std::uint32_t bigEndian32(const std::uint8_t* bytes)
{
    return std::uint32_t(bytes[0]) << 24 | std::uint32_t(bytes[1]) << 16 | std::uint32_t(bytes[2]) << 8 | bytes[3];
}

std::uint16_t bigEndian16(const std::uint8_t* bytes)
{
    return static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]);
}

constexpr std::array<std::uint8_t, 8> pngSignature { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };

// Walks the chunks from IHDR to IEND; each must lie inside the data.
std::optional<EncodedImageInfo> wholePng(std::span<const std::uint8_t> data)
{
    std::size_t position = pngSignature.size();
    EncodedImageInfo info { EncodedImageFormat::png };
    bool first = true;
    while (data.size() - position >= 12) {
        const std::size_t length = bigEndian32(&data[position]);
        const auto* type = &data[position + 4];
        if (length > 0x7FFFFFFF || data.size() - position - 12 < length)
            return std::nullopt;
        if (first) {
            if (std::memcmp(type, "IHDR", 4) != 0 || length != 13)
                return std::nullopt;
            info.width = static_cast<int>(std::min<std::uint32_t>(bigEndian32(&data[position + 8]), 0x7FFFFFFF));
            info.height = static_cast<int>(std::min<std::uint32_t>(bigEndian32(&data[position + 12]), 0x7FFFFFFF));
            first = false;
        }
        if (std::memcmp(type, "IEND", 4) == 0)
            return info;
        position += 12 + length;
    }
    return std::nullopt;
}

bool isStartOfFrame(std::uint8_t marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool isRestart(std::uint8_t marker)
{
    return marker >= 0xD0 && marker <= 0xD7;
}

// Walks the segments from SOI to EOI, through the entropy-coded data after
// each scan, so that an end marker inside an embedded thumbnail does not count.
std::optional<EncodedImageInfo> wholeJpeg(std::span<const std::uint8_t> data)
{
    EncodedImageInfo info { EncodedImageFormat::jpeg };
    std::size_t position = 2;
    while (position < data.size()) {
        if (data[position] != 0xFF)
            return std::nullopt;
        while (position < data.size() && data[position] == 0xFF)
            ++position;
        if (position >= data.size())
            return std::nullopt;
        const std::uint8_t marker = data[position++];
        if (marker == 0xD9)
            return info.width > 0 && info.height > 0 ? std::optional(info) : std::nullopt;
        if (isRestart(marker) || marker == 0x01)
            continue;
        if (data.size() - position < 2)
            return std::nullopt;
        const std::size_t length = bigEndian16(&data[position]);
        if (length < 2 || data.size() - position < length)
            return std::nullopt;
        if (isStartOfFrame(marker)) {
            if (length < 7)
                return std::nullopt;
            info.height = bigEndian16(&data[position + 3]);
            info.width = bigEndian16(&data[position + 5]);
        }
        position += length;
        if (marker == 0xDA) {
            // Entropy-coded data ends at the first marker that is neither a
            // stuffed zero nor a restart.
            while (position + 1 < data.size()
                && !(data[position] == 0xFF && data[position + 1] != 0x00 && !isRestart(data[position + 1])))
                ++position;
            if (position + 1 >= data.size())
                return std::nullopt;
        }
    }
    return std::nullopt;
}

bool mayBeSvg(std::span<const std::uint8_t> data)
{
    std::size_t position = 0;
    if (data.size() >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF)
        position = 3;
    while (position < data.size() && (data[position] == ' ' || data[position] == '\t' || data[position] == '\r' || data[position] == '\n'))
        ++position;
    return position < data.size() && data[position] == '<';
}

} // namespace

std::optional<EncodedImageInfo> recogniseWholeImage(std::span<const std::uint8_t> data)
{
    if (data.size() >= pngSignature.size() && std::equal(pngSignature.begin(), pngSignature.end(), data.begin()))
        return wholePng(data);
    if (data.size() >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF)
        return wholeJpeg(data);
    if (mayBeSvg(data))
        return EncodedImageInfo { EncodedImageFormat::svg };
    return std::nullopt;
}

} // namespace platform::ui
