#include "progress_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string ReadAll(std::FILE* file)
{
    std::string text;
    std::rewind(file);
    for (int c; (c = std::fgetc(file)) != EOF;)
        text += static_cast<char>(c);
    return text;
}

TEST(ProgressLine, PrintsAfterEveryTenThousandFramesOneLineAfterAnother)
{
    std::FILE* file = std::tmpfile();  // not a terminal: the lines follow each other
    ASSERT_NE(file, nullptr);
    ProgressLine progress(file);
    for (int frame = 0; frame < 25000; ++frame)
        progress.Tick(frame, 25000);
    EXPECT_EQ(ReadAll(file), "Processed: 39% (9999 / 25000)\nProcessed: 79% (19999 / 25000)\n");
    std::fclose(file);
}

}  // namespace
