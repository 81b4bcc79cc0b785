// libFuzzer target for the instrument's memory file: any bytes loaded as the image. The first
// byte picks whether the rest is taken as it comes or has its closing CRC-32 made good, so that
// the payload's values get past the check. A load that is taken must save back to the same image.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "time/memory.h"

namespace {

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    std::vector<uint8_t> input(data + 1, data + size);
    if ((data[0] & 1) == 0 && input.size() >= 8) {
        const uint32_t crc = memoryCrc32(input.data(), input.size() - 4);
        for (int i = 0; i < 4; ++i) input[input.size() - 4 + i] = static_cast<uint8_t>(crc >> (8 * i));
    }
    clearMemory();
    std::string reason;
    if (loadMemoryImage(input.data(), input.size(), reason)) {
        std::vector<uint8_t> image(memoryImageSize()), again(memoryImageSize());
        require(saveMemoryImage(image.data(), image.size()) == image.size());
        require(loadMemoryImage(image.data(), image.size(), reason));
        require(saveMemoryImage(again.data(), again.size()) == again.size());
        require(image == again);
    } else {
        require(!reason.empty());  // a refusal always says why
    }
    return 0;
}
