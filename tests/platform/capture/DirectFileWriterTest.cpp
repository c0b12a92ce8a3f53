// Files written past the page cache hold exactly the bytes given, whatever their length
// against the blocks direct writes need, and where direct writes are refused too.
#include "DirectFileWriter.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> randomBytes(size_t size, uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; i += 4) {
        const uint32_t word = random();
        std::memcpy(bytes.data() + i, &word, std::min<size_t>(4, size - i));
    }
    return bytes;
}

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::vector<uint8_t> bytes(static_cast<size_t>(in.tellg()));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

// Writes bytes in pieces of the given sizes (repeated) and answers what the file holds.
std::vector<uint8_t> writeInPieces(const std::string& path, const std::vector<uint8_t>& bytes,
                                   const std::vector<size_t>& pieces) {
    std::string error;
    auto writer = DirectFileWriter::open(path, error);
    EXPECT_NE(writer, nullptr) << error;
    if (!writer) {
        return {};
    }
    size_t at = 0;
    for (size_t i = 0; at < bytes.size(); ++i) {
        const size_t n = std::min(pieces[i % pieces.size()], bytes.size() - at);
        EXPECT_TRUE(writer->write(bytes.data() + at, n));
        at += n;
    }
    EXPECT_TRUE(writer->close());
    return readFile(path);
}

class DirectFileWriterTest : public ::testing::Test {
protected:
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove(diskPath, ignored);
        std::filesystem::remove(memoryPath, ignored);
    }

    // The build folder is on a disk; /dev/shm is memory.
    const std::string diskPath =
        (std::filesystem::current_path() / ("direct-" + std::to_string(getpid()) + ".bin"))
            .string();
    const std::string memoryPath = "/dev/shm/letterbox-direct-" + std::to_string(getpid());
};

TEST_F(DirectFileWriterTest, EveryLengthComesOutExact) {
    const size_t BLOCK = DirectFileWriter::BLOCK;
    const size_t BUFFER = DirectFileWriter::BUFFER_BYTES;
    const std::vector<size_t> lengths = {
        0,          1,      BLOCK - 1,  BLOCK,      BLOCK + 1,
        BUFFER - 1, BUFFER, BUFFER + 1, 2 * BUFFER, 2 * BUFFER + 4097};
    for (size_t length : lengths) {
        SCOPED_TRACE(length);
        const auto bytes = randomBytes(length, static_cast<uint32_t>(length));
        // Whole, in frame-like pieces, and in odd small ones across the buffer's end.
        EXPECT_EQ(writeInPieces(diskPath, bytes, {length == 0 ? 1 : length}), bytes);
        EXPECT_EQ(writeInPieces(diskPath, bytes, {6, 720000}), bytes);
        EXPECT_EQ(writeInPieces(diskPath, bytes, {4095, 13, 1}), bytes);
    }
}

TEST_F(DirectFileWriterTest, AFileSystemInMemoryGetsTheSameBytes) {
    if (!std::filesystem::is_directory("/dev/shm")) {
        GTEST_SKIP() << "no /dev/shm";
    }
    const auto bytes = randomBytes(DirectFileWriter::BUFFER_BYTES + 12345, 7);
    // Older kernels refuse direct writes there, newer ones take them.
    EXPECT_EQ(writeInPieces(memoryPath, bytes, {720006}), bytes);
}

TEST_F(DirectFileWriterTest, ReplacesWhatTheFileHeldAndReportsWhatItCannotOpen) {
    const auto longer = randomBytes(3 * DirectFileWriter::BLOCK + 5, 1);
    const auto shorter = randomBytes(100, 2);
    ASSERT_EQ(writeInPieces(diskPath, longer, {longer.size()}), longer);
    EXPECT_EQ(writeInPieces(diskPath, shorter, {shorter.size()}), shorter);

    std::string error;
    EXPECT_EQ(DirectFileWriter::open("/nonexistent-folder/x.y4m", error), nullptr);
    EXPECT_NE(error.find("/nonexistent-folder/x.y4m"), std::string::npos) << error;

    // Closing twice, or writing after the close, changes nothing and says so.
    auto writer = DirectFileWriter::open(diskPath, error);
    ASSERT_NE(writer, nullptr) << error;
    ASSERT_TRUE(writer->write(shorter.data(), shorter.size()));
    EXPECT_TRUE(writer->close());
    EXPECT_TRUE(writer->close());
    EXPECT_FALSE(writer->write(shorter.data(), 1));
    EXPECT_EQ(readFile(diskPath), shorter);
}

} // namespace
