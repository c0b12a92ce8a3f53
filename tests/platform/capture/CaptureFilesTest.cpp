// The files a capture writes: the Y4M header and colour conversion, WAV files,
// PNG pictures and the contact sheet.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "BgraPicture.h"
#include "ContactSheet.h"
#include "FrameSink.h"
#include "Launcher.h"
#include "PngImage.h"
#include "WavWriter.h"
#include "WaveFile.h"

namespace {

std::string temp(const char* name) {
    return ::testing::TempDir() + "capture-" + name;
}

std::vector<uint8_t> readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(FrameSinkTest, Y4mHeaderStatesTheExactTickRate) {
    EXPECT_EQ("YUV4MPEG2 W800 H600 F1000:17 Ip A1:1 C420jpeg XCOLORRANGE=LIMITED\n",
              FrameSink::y4mHeader(800, 600));
}

TEST(FrameSinkTest, StudioRangeColoursAndChromaOfEachBlock) {
    // Left half white, right half pure red, bottom row black; 4 x 3 has odd chroma rows.
    PngImage image(4, 3, 255, 255, 255);
    for (uint32_t y = 0; y < 3; ++y) {
        for (uint32_t x = 2; x < 4; ++x) {
            uint8_t* p = image.pixel(x, y);
            p[0] = 255, p[1] = 0, p[2] = 0;
        }
    }
    for (uint32_t x = 0; x < 4; ++x) {
        uint8_t* p = image.pixel(x, 2);
        p[0] = p[1] = p[2] = 0;
    }
    const std::vector<uint8_t> yuv = FrameSink::toYuv420(image);
    ASSERT_EQ(12u + 2 * 2 * 2, yuv.size());
    EXPECT_EQ(235, yuv[0]); // white
    EXPECT_EQ(82, yuv[2]);  // red
    EXPECT_EQ(16, yuv[8]);  // black
    const uint8_t* cb = yuv.data() + 12;
    const uint8_t* cr = cb + 4;
    EXPECT_EQ(128, cb[0]); // white block: no colour
    EXPECT_EQ(128, cr[0]);
    EXPECT_EQ(90, cb[1]); // red block
    EXPECT_EQ(240, cr[1]);
    EXPECT_EQ(128, cb[2]); // the last row repeats the black edge: grey
    EXPECT_EQ(128, cr[2]);
}

// A picture as the device reads it back (B, G, R, A), with rows padded to `pitch`, and
// varied enough that a channel or row mixed up shows: 5 x 3 has odd chroma columns and rows.
BgraPicture readBackPicture(PngImage& rgb) {
    const uint32_t w = 5, h = 3;
    const size_t pitch = w * 4 + 8;
    std::vector<uint8_t> bgra(pitch * h, 0xEE);
    rgb = PngImage(w, h);
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x) {
            const uint8_t r = static_cast<uint8_t>(40 * x + 7 * y),
                          g = static_cast<uint8_t>(200 - 30 * y),
                          b = static_cast<uint8_t>(13 * x * y + 90);
            uint8_t* p = &bgra[y * pitch + x * 4];
            p[0] = b, p[1] = g, p[2] = r, p[3] = static_cast<uint8_t>(x); // alpha is ignored
            uint8_t* q = rgb.pixel(x, y);
            q[0] = r, q[1] = g, q[2] = b;
        }
    }
    return BgraPicture(bgra.data(), w, h, pitch);
}

TEST(FrameSinkTest, ReadBackPicturesConvertAsTheirRgb) {
    PngImage rgb;
    const BgraPicture picture = readBackPicture(rgb);
    EXPECT_EQ(rgb.rgb, picture.toRgb().rgb);
    EXPECT_EQ(FrameSink::toYuv420(rgb), FrameSink::toYuv420(picture));

    // Written to a Y4M file and to a folder, a read-back picture gives the same bytes as its RGB.
    for (const char* name : {"bgra.y4m", "bgra-folder"}) {
        SCOPED_TRACE(name);
        std::filesystem::remove_all(temp(name));
        std::filesystem::remove_all(temp("rgb-") + name);
        std::string error;
        auto fromBgra = FrameSink::open(temp(name), error);
        auto fromRgb = FrameSink::open(temp("rgb-") + name, error);
        ASSERT_TRUE(fromBgra && fromRgb) << error;
        ASSERT_TRUE(fromBgra->writeBgra(picture, 3, error)) << error;
        ASSERT_TRUE(fromRgb->write(rgb, 3, error)) << error;
        ASSERT_TRUE(fromBgra->finish(PcmFormat{1, 8000, 8}, {0x80}, error)) << error;
        ASSERT_TRUE(fromRgb->finish(PcmFormat{1, 8000, 8}, {0x80}, error)) << error;
        const bool folder = std::string(name).find(".y4m") == std::string::npos;
        const std::string frame = folder ? "/frame-00003.png" : "";
        EXPECT_EQ(readAll(temp("rgb-") + name + frame), readAll(temp(name) + frame));
    }
}

TEST(FrameSinkTest, PicturesOfEverySizeConvertAsTheirRgb) {
    // Random colours at sizes odd and even each way, small and large, so that the fast
    // conversion's vector steps, its tails and its odd last row and column all run.
    uint32_t seed = 12345;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return static_cast<uint8_t>(seed >> 16);
    };
    std::vector<uint8_t> reused(3, 0xAB); // a stale, wrongly sized buffer to overwrite
    for (auto [w, h] : {std::pair{1u, 1u},
                        {2u, 1u},
                        {1u, 2u},
                        {3u, 3u},
                        {31u, 7u},
                        {64u, 10u},
                        {801u, 601u},
                        {800u, 600u}}) {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        std::vector<uint8_t> bgra(size_t{w} * h * 4);
        PngImage rgb(w, h);
        for (uint32_t y = 0; y < h; ++y) {
            for (uint32_t x = 0; x < w; ++x) {
                uint8_t* p = &bgra[(size_t{y} * w + x) * 4];
                p[0] = next(), p[1] = next(), p[2] = next(), p[3] = next();
                uint8_t* q = rgb.pixel(x, y);
                q[0] = p[2], q[1] = p[1], q[2] = p[0];
            }
        }
        const BgraPicture picture(bgra.data(), w, h, size_t{w} * 4);
        const std::vector<uint8_t> expected = FrameSink::toYuv420(rgb);
        EXPECT_EQ(expected, FrameSink::toYuv420(picture));
        FrameSink::toYuv420(picture, reused);
        EXPECT_EQ(expected, reused);
    }
}

TEST(FrameSinkTest, Y4mFileHoldsHeaderFramesAndASoundBeside) {
    const std::string path = temp("sink.y4m");
    std::string error;
    auto sink = FrameSink::open(path, error);
    ASSERT_TRUE(sink) << error;
    PngImage frame(6, 4, 10, 20, 30);
    ASSERT_TRUE(sink->write(frame, 0, error)) << error;
    ASSERT_TRUE(sink->write(frame, 1, error)) << error;
    PngImage other(8, 4);
    EXPECT_FALSE(sink->write(other, 2, error)); // a size change is refused
    const std::vector<uint8_t> sound = {1, 0, 2, 0, 3, 0, 4, 0};
    ASSERT_TRUE(sink->finish(PcmFormat{2, 8000, 16}, sound, error)) << error;
    EXPECT_EQ(temp("sink.wav"), sink->soundPath());
    const std::vector<uint8_t> bytes = readAll(path);
    const std::string header = FrameSink::y4mHeader(6, 4);
    ASSERT_EQ(header.size() + 2 * (6 + 24 + 2 * 6), bytes.size());
    EXPECT_EQ(header, std::string(bytes.begin(), bytes.begin() + header.size()));

    WaveFile wave;
    ASSERT_EQ(WaveFile::Error::None, wave.load(sink->soundPath().c_str()));
    EXPECT_EQ(2, wave.channels);
    EXPECT_EQ(8000u, wave.sampleRate);
    EXPECT_EQ(sound, wave.samples);
}

TEST(FrameSinkTest, FolderOfNumberedPicturesAndSoundtrack) {
    const std::string folder = temp("frames/inner");
    std::filesystem::remove_all(temp("frames"));
    std::string error;
    auto sink = FrameSink::open(folder, error);
    ASSERT_TRUE(sink) << error;
    PngImage frame(3, 2, 200, 100, 50);
    frame.pixel(2, 1)[0] = 7;
    ASSERT_TRUE(sink->write(frame, 59, error)) << error;
    ASSERT_TRUE(sink->finish(PcmFormat{1, 11025, 8}, {0x80, 0x90, 0x70}, error)) << error;
    PngImage back;
    ASSERT_TRUE(back.read(folder + "/frame-00059.png", error)) << error;
    EXPECT_EQ(frame.width, back.width);
    EXPECT_EQ(frame.rgb, back.rgb);
    WaveFile wave;
    ASSERT_EQ(WaveFile::Error::None, wave.load((folder + "/soundtrack.wav").c_str()));
    EXPECT_EQ(3u, wave.frameCount()); // odd data length, padded chunk still reads
}

TEST(FrameSinkTest, VideoWithoutFfmpegIsAClearError) {
    const char* saved = std::getenv("PATH");
    const std::string path = saved ? saved : "";
    setenv("PATH", "/nonexistent", 1);
    std::string error;
    auto sink = FrameSink::open(temp("film.mp4"), error);
    setenv("PATH", path.c_str(), 1);
    EXPECT_FALSE(sink);
    EXPECT_NE(std::string::npos, error.find("ffmpeg"));
    EXPECT_FALSE(std::filesystem::exists(temp("film.mp4")));

    EXPECT_FALSE(FrameSink::open("/proc/no-such-folder/x.y4m", error));
}

TEST(ContactSheetTest, OneFramePerSecondOfTheTimeline) {
    // 17 ms frames: 58 is at 986 ms, 59 at 1003 ms, the first of second 1.
    EXPECT_TRUE(ContactSheet::wants(0, 17));
    EXPECT_FALSE(ContactSheet::wants(1, 17));
    EXPECT_FALSE(ContactSheet::wants(58, 17));
    EXPECT_TRUE(ContactSheet::wants(59, 17));
    EXPECT_FALSE(ContactSheet::wants(60, 17));
    EXPECT_TRUE(ContactSheet::wants(118, 17)); // 2006 ms
    int perMinute = 0;
    for (uint32_t i = 0; i < 60000 / 17 + 1; ++i) {
        perMinute += ContactSheet::wants(i, 17) && i * 17 < 60000;
    }
    EXPECT_EQ(60, perMinute);
}

TEST(ContactSheetTest, TilesShrinkAndCarryTheirLabel) {
    ContactSheet sheet;
    for (uint32_t s = 0; s < 10; ++s) {
        PngImage frame(400, 300, static_cast<uint8_t>(20 * s), 0, 0);
        sheet.add(frame, s);
    }
    const PngImage image = sheet.compose();
    const uint32_t tw = 100, th = 75, gap = ContactSheet::GAP;
    EXPECT_EQ(gap + 8 * (tw + gap), image.width);
    EXPECT_EQ(gap + 2 * (th + gap), image.height);
    // Tile 9 (second row, second column) keeps its colour away from the label.
    const uint8_t* inside = image.pixel(gap + (tw + gap) + 50, gap + (th + gap) + 10);
    EXPECT_EQ(180, inside[0]);
    // The label's box sits at the tile's bottom left and holds white dots.
    int white = 0, black = 0;
    for (uint32_t y = gap + th - 20; y < gap + th; ++y) {
        for (uint32_t x = gap + 2; x < gap + 60; ++x) {
            const uint8_t* p = image.pixel(x, y);
            white += p[0] == 255 && p[1] == 255;
            black += p[0] == 0 && p[1] == 0;
        }
    }
    EXPECT_GT(white, 20);
    EXPECT_GT(black, 20);
    // The ground between the tiles.
    EXPECT_EQ(24, image.pixel(1, 1)[0]);
}

TEST(LauncherTest, FrameIndexOfPlaybackTimes) {
    EXPECT_EQ(0u, Launcher::frameAt(0));
    EXPECT_EQ(1u, Launcher::frameAt(17));
    EXPECT_EQ(1u, Launcher::frameAt(16)); // a present a millisecond early still counts
    EXPECT_EQ(4177u, Launcher::frameAt(71009));
}

} // namespace
