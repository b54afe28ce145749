// Writing the saved log on Windows, and what the operator is told when it fails.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "frontend/LogFile.h"
#include "os/ErrorText.h"
#include "os/TextFile.h"
#include "serial/SerialPort.h"

namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class TextFileTest : public testing::Test {
protected:
    void SetUp() override {
        Folder = fs::temp_directory_path() / ("kx-text-" + std::to_string(GetCurrentProcessId()));
        fs::create_directories(Folder);
    }
    void TearDown() override { fs::remove_all(Folder); }

    // The path as the log export hands it over: UTF-8, with Windows separators.
    std::string PathOf(const std::string& name) const { return Folder.string() + "\\" + name; }

    fs::path Folder;
};

TEST_F(TextFileTest, WritesTheBytesAsGivenUnderAUnicodeName) {
    const std::string bytes = "A\r\nB\r\n\xCE\xEA\r\n";
    const std::string path = PathOf("Журнал.txt");
    EXPECT_EQ(gWriteWholeFile(path, bytes).Stage, WriteStage::Done);
    EXPECT_EQ(Contents(fs::u8path(path)), bytes);
    EXPECT_EQ(gWriteWholeFile(path, "").Stage, WriteStage::Done);
    EXPECT_EQ(Contents(fs::u8path(path)), "");
}

TEST_F(TextFileTest, MissingFolderIsAFailedOpenToldWithTheSystemText) {
    const std::string path = PathOf("missing\\run.txt");
    const WriteOutcome outcome = gWriteWholeFile(path, "x");
    EXPECT_EQ(outcome.Stage, WriteStage::Open);
    EXPECT_EQ(outcome.Code, static_cast<uint32_t>(ERROR_PATH_NOT_FOUND));

    const std::string cause = gGetErrorText(outcome.Code);
    // The system's text keeps the line break the system ends it with.
    ASSERT_GE(cause.size(), 2u);
    EXPECT_EQ(cause.substr(cause.size() - 2), "\r\n");
    const LogFileBox box = gDescribeWriteFailure(path, outcome.Stage, cause);
    EXPECT_EQ(box.Text, cause + " (gWriteTxtFile (1) - " + path + ")");
    EXPECT_EQ(box.Caption, "Информация");
    EXPECT_FALSE(fs::exists(Folder / "missing"));
}

TEST_F(TextFileTest, FileHeldByAnotherProgramIsAFailedOpenAndKeepsItsBytes) {
    const std::string path = PathOf("held.txt");
    ASSERT_EQ(gWriteWholeFile(path, "kept").Stage, WriteStage::Done);
    const HANDLE holder = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    const WriteOutcome outcome = gWriteWholeFile(path, "lost");
    CloseHandle(holder);
    EXPECT_EQ(outcome.Stage, WriteStage::Open);
    EXPECT_EQ(outcome.Code, static_cast<uint32_t>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(Contents(path), "kept");
}

}  // namespace
