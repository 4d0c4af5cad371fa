// One libFuzzer program per target: KELVO_FUZZ_TARGET names the body.
#include "fuzz_bodies.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kelvo::fuzz::KELVO_FUZZ_TARGET(data, size);
    return 0;
}
