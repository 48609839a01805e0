// Every decoder, and the plain copy, refuses an input that is no regular file with a
// message of its own, before any output exists.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "codec_support.h"
#include "decompress/decompress_crx.h"
#include "decompress/decompress_gz.h"
#include "decompress/decompress_z.h"
#include "decompress/expand.h"
#include "test_support.h"

namespace velarix {

namespace {
DecodeStatus expandWithDefaultPolicy(const std::string& input, const std::string& output, std::string& message) {
    return expandFile(input, output, message);
}
}  // namespace

TEST(InputRefusal, DirectoriesAreNotReadAsEmptyOrMissingFiles) {
    TempDir dir;
    const struct {
        const char* name;  // a folder of that name is the input
        Decoder decoder;
        DecodeStatus code;
        std::string message;
    } cases[] = {
        {"x.gz", DecompressGz, DecodeStatus::kCannotOpen, "Not a regular file"},
        {"x.Z", DecompressZ, DecodeStatus::kCannotOpen, "Not a regular file"},
        {"x.20d", DecompressCrx, DecodeStatus::kCrxCannotOpen,
         "ERROR : " + dir.path() + "x.20d is not a regular file\r\n"},
        {"x.20o", expandWithDefaultPolicy, DecodeStatus::kCannotOpen, "Not a regular file"},  // a plain name: copied
        {"y.20d.Z", expandWithDefaultPolicy, DecodeStatus::kCannotOpen, "Not a regular file"},
    };
    for (const auto& c : cases) {
        const std::string input = dir.path() + c.name;
        std::filesystem::create_directory(input);
        const std::string output = dir.path() + "out." + c.name;
        std::string message;
        EXPECT_EQ(c.decoder(input, output, message), c.code) << c.name;
        EXPECT_EQ(message, c.message) << c.name;
        EXPECT_FALSE(std::filesystem::exists(output)) << c.name;
    }
    // A missing input keeps the message it had.
    std::string message;
    EXPECT_EQ(DecompressZ(dir.path() + "missing.Z", dir.path() + "out", message), DecodeStatus::kCannotOpen);
    EXPECT_EQ(message, "Cannot open file");
}

}  // namespace velarix
