#include "test_support.h"

#include <fstream>
#include <random>
#include <iterator>

#include "platform/events.h"
#include "platform/headless.h"
#include "runner.h"

namespace testing_support {

namespace fs = std::filesystem;

ScratchDir::ScratchDir(bool enter) {
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "test";
    for (char& c : name)
        if (c == '/' || c == '\\') c = '_';
    // A fresh name until one is free: parallel test processes never share.
    std::random_device random;
    for (;;) {
        dir_ = fs::temp_directory_path() / ("pachinko-" + name + "-" + std::to_string(random()));
        if (fs::create_directories(dir_)) break;
    }
    if (enter) {
        previous_ = fs::current_path();
        fs::current_path(dir_);
    }
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    if (!previous_.empty()) fs::current_path(previous_, ec);
    fs::remove_all(dir_, ec);
}

GameDir::GameDir() { resetProcess(); }

GameDir::~GameDir() { resetProcess(); }

void writeBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeCourseFile(const fs::path& path) {
    std::vector<uint8_t> bytes(32000);
    for (uint32_t i = 0; i < 8000; ++i) {
        bytes[4 * i] = static_cast<uint8_t>(i);
        bytes[4 * i + 1] = static_cast<uint8_t>(i >> 8);
    }
    writeBytes(path, bytes);
}

std::vector<std::string> logLines(const std::string& prefix) {
    std::vector<std::string> out;
    for (const std::string& line : platform::eventLog())
        if (line.rfind(prefix, 0) == 0) out.push_back(line);
    return out;
}

std::vector<std::string> boxTexts() {
    std::vector<std::string> out;
    for (const headless::MessageBoxInfo& box : headless::messageBoxes()) out.push_back(box.text);
    return out;
}

std::vector<uint8_t> playerFileBytes(int32_t day, int32_t cash, int32_t balls) {
    std::vector<uint8_t> bytes(64, 0);
    auto put = [&bytes](int offset, int32_t value) {
        for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
    };
    put(0, day);
    put(4, cash);
    put(52, 50000);  // credit line
    put(56, balls);
    put(60, 1);  // no introduction
    return bytes;
}

int runScript(const fs::path& workDir, const std::string& script, const fs::path& outDir) {
    RunOptions options;
    options.workDir = workDir.string();
    options.outDir = outDir.string();
    options.script = script;
    std::string error;
    const int code = runHeadless(options, error);
    EXPECT_EQ(error, "");
    return code;
}

std::string readText(const fs::path& path) {
    const std::vector<uint8_t> bytes = readBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

int64_t dumpField(const std::string& json, const std::string& key, size_t from) {
    size_t at = json.find("\"" + key + "\":", from);
    if (at == std::string::npos) return INT64_MIN;
    at += key.size() + 3;
    if (at < json.size() && json[at] == '[') ++at;
    return std::stoll(json.substr(at));
}

}  // namespace testing_support
