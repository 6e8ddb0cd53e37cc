#include "devstack/gateway/SampleJpeg.h"

#include <cstdint>
#include <initializer_list>

namespace devstack {

namespace {

void append(std::string& bytes, std::initializer_list<int> values)
{
    for (int value : values)
        bytes.push_back(static_cast<char>(static_cast<std::uint8_t>(value)));
}

// A marker segment: marker, then its length (which counts itself), then the payload.
void segment(std::string& bytes, int marker, const std::string& payload)
{
    auto length = payload.size() + 2;
    append(bytes, { 0xFF, marker, static_cast<int>(length >> 8), static_cast<int>(length & 0xFF) });
    bytes += payload;
}

std::string makeJpeg()
{
    std::string bytes;
    append(bytes, { 0xFF, 0xD8 }); // start of image

    std::string quantisation(1, '\0');
    quantisation.append(64, '\x01');
    segment(bytes, 0xDB, quantisation);

    // Baseline, 8-bit samples, 8 x 8 pixels, one component (id 1, no subsampling, table 0).
    std::string frame;
    append(frame, { 8, 0, 8, 0, 8, 1, 1, 0x11, 0 });
    segment(bytes, 0xC0, frame);

    // One Huffman code of one bit per table: DC difference 0 and end of block,
    // so the single block is a flat mid grey.
    for (int tableClass : { 0x00, 0x10 }) {
        std::string table;
        append(table, { tableClass, 1 });
        table.append(15, '\0');
        append(table, { 0 });
        segment(bytes, 0xC4, table);
    }

    std::string scan;
    append(scan, { 1, 1, 0x00, 0, 63, 0 });
    segment(bytes, 0xDA, scan);
    append(bytes, { 0x3F }); // the two zero-bit codes, padded with ones
    append(bytes, { 0xFF, 0xD9 }); // end of image
    return bytes;
}

} // namespace

const std::string& sampleJpeg()
{
    static const std::string jpeg = makeJpeg();
    return jpeg;
}

} // namespace devstack
