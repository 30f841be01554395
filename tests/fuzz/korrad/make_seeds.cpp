// Writes one small texture of every format the reader knows into the folder
// given, as a starting corpus for the fuzzer.

#include "DdsWriter.h"

#include <cstdio>
#include <iterator>
#include <string>

using namespace ddstest;

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    const auto chain = mipChain(gradient(16, 8), 5);
    const auto odd = mipChain(gradient(7, 5), 1);
    int written = 0;
    auto save = [&](const std::string &name, const std::vector<std::uint8_t> &bytes) {
        written += writeFile(folder + name + ".dds", bytes) ? 1 : 0;
    };
    save("dxt1", legacyBlockDds(chain, Block::Bc1, "DXT1"));
    save("dxt1-odd", legacyBlockDds(odd, Block::Bc1, "DXT1"));
    save("dxt3", legacyBlockDds(chain, Block::Bc2, "DXT3"));
    save("dxt5", legacyBlockDds(chain, Block::Bc3, "DXT5"));
    save("ati1", legacyBlockDds(chain, Block::Bc4, "ATI1"));
    save("ati2", legacyBlockDds(chain, Block::Bc5, "ATI2"));
    save("dx10-bc1", dx10BlockDds(chain, Block::Bc1, 71));
    save("dx10-bc5", dx10BlockDds(odd, Block::Bc5, 83));
    save("dx10-rgba", dx10ByteOrderDds(chain, 28, false));
    save("dx10-bgra", dx10ByteOrderDds(odd, 87, true));
    const BitMask masks[] = {a8r8g8b8(), r8g8b8(), r5g6b5(), a1r5g5b5(), a4r4g4b4(), l8(), a8l8(), a8()};
    for (std::size_t i = 0; i < std::size(masks); ++i)
        save("mask" + std::to_string(i), legacyBitMaskDds(i % 2 ? odd : chain, masks[i]));
    std::printf("%d seeds written\n", written);
    return written == 18 ? 0 : 1;
}
