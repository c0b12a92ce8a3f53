#include "MessageBoxRecorder.h"
#include "PlatformOptions.h"
#include <windows.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>

namespace {

// Points file descriptor 2 at a temporary file until read.
class StandardErrorFile {
public:
    StandardErrorFile() : file(std::tmpfile()) {
        std::fflush(stderr);
        saved = dup(2);
        dup2(fileno(file), 2);
    }
    ~StandardErrorFile() {
        restore();
        std::fclose(file);
    }
    std::string read() {
        restore();
        std::string text;
        std::rewind(file);
        for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
            text += static_cast<char>(c);
        }
        return text;
    }

private:
    void restore() {
        if (saved >= 0) {
            std::fflush(stderr);
            dup2(saved, 2);
            close(saved);
            saved = -1;
        }
    }
    FILE* file;
    int saved = -1;
};

TEST(MessageBox, GoesToStandardErrorWhenAskedAndAnswersAtOnce) {
    PlatformOptions::get().messageBoxToStderr = true;
    StandardErrorFile output;
    EXPECT_EQ(IDOK, MessageBoxA(nullptr, "Failed Initting", "Error", MB_OK));
    EXPECT_EQ(IDOK,
              MessageBoxA(nullptr, "テクスチャの拡大フィルタを設定することができませんでした。",
                          "エラー", MB_OK));
    EXPECT_EQ(IDYES, MessageBoxA(nullptr, "q", nullptr, MB_YESNO));
    EXPECT_EQ("Error: Failed Initting\n"
              "エラー: テクスチャの拡大フィルタを設定することができませんでした。\n"
              "Error: q\n",
              output.read());
}

TEST(MessageBox, AnInstalledSinkTakesEveryBoxInsteadOfStandardError) {
    PlatformOptions::get().messageBoxToStderr = true;
    StandardErrorFile output;
    {
        MessageBoxRecorder outer;
        {
            MessageBoxRecorder inner;
            EXPECT_EQ(IDRETRY, MessageBoxA(nullptr, "again?", "Question", MB_RETRYCANCEL));
            EXPECT_EQ(IDYES, MessageBoxA(nullptr, "sure?", nullptr, MB_YESNOCANCEL));
            EXPECT_EQ(inner.take(), "Question: again?\nError: sure?\n");
            EXPECT_EQ(inner.take(), "") << "taken boxes are forgotten";
            EXPECT_EQ(inner.count, 2);
        }
        // The inner sink gone, the one it replaced takes the boxes again.
        EXPECT_EQ(IDOK, MessageBoxA(nullptr, "Failed Initting", "Error", MB_OK));
        EXPECT_EQ(outer.take(), "Error: Failed Initting\n");
    }
    EXPECT_EQ(MessageBoxSink::active, nullptr);
    EXPECT_EQ(output.read(), "") << "nothing reached standard error";
}

} // namespace
