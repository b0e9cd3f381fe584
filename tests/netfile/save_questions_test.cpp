#include "netfile/save_questions.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace vornetica {
namespace {

TEST(SaveQuestions, OnlyAnExistingFileIsOneTheSaveWouldReplace) {
    testing::TempDir folder;
    EXPECT_FALSE(saveWouldReplaceFile(folder.file("network.vrn")));
    testing::writeText(folder.file("network.vrn"), "BPN\r\n");
    EXPECT_TRUE(saveWouldReplaceFile(folder.file("network.vrn")));
    std::filesystem::create_directory(folder.file("nets"));
    EXPECT_FALSE(saveWouldReplaceFile(folder.file("nets")));
    EXPECT_FALSE(saveWouldReplaceFile(""));
}

}  // namespace
}  // namespace vornetica
