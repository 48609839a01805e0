// The PNG encoder against cairo's own PNG reader: every pixel of an image with noise,
// runs and repeated rows comes back as it was.
#include "platform/png_encoder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "platform/canvas.h"
#include "test_support.h"

namespace velarix {

TEST(PngEncoder, EveryPixelReadsBackThroughAnIndependentDecoder) {
    const int width = 173, height = 61, stride = 4 * width + 12;  // rows padded, as cairo may pad them
    std::vector<unsigned char> pixels(static_cast<std::size_t>(stride) * height, 0xEE);
    std::mt19937 random(7);
    std::vector<std::uint32_t> expected;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint32_t value = random() & 0xFFFFFF;                             // noise
            if (x < 40) value = static_cast<std::uint32_t>(x * 0x010203);         // a ramp
            if (y % 5 == 1) value = 0xFFFFFF;                                      // a white row
            if (y % 5 == 2) value = expected[static_cast<std::size_t>(y - 1) * width + x];  // a repeated row
            std::memcpy(&pixels[static_cast<std::size_t>(y) * stride + 4 * x], &value, 4);
            expected.push_back(value);
        }
    }
    std::string png;
    ASSERT_TRUE(EncodePngRgb24(pixels.data(), width, height, stride, png));
    TempDir dir;
    Canvas back;
    ASSERT_TRUE(back.loadPng(dir.write("noise.png", png)));
    ASSERT_EQ(back.pixelWidth(), width);
    ASSERT_EQ(back.pixelHeight(), height);
    int wrong = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = expected[static_cast<std::size_t>(y) * width + x];
            wrong += back.pixel(x, y) != rgbColour((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
        }
    }
    EXPECT_EQ(wrong, 0);

    EXPECT_FALSE(EncodePngRgb24(pixels.data(), 0, height, stride, png));
    EXPECT_FALSE(EncodePngRgb24(pixels.data(), width, height, 4 * width - 1, png));
}

}  // namespace velarix
