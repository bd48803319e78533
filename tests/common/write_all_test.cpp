// The one write helper every file of the program goes through.
#include "common/write_all.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>

namespace tc {
namespace {

class WriteAllTest : public testing::Test {
 protected:
  void SetUp() override {
    path_ = testing::TempDir() + "write_all_XXXXXX";
    fd_ = ::mkstemp(path_.data());
    ASSERT_GE(fd_, 0);
  }
  void TearDown() override {
    ::close(fd_);
    ::unlink(path_.c_str());
  }
  std::string FileBytes() const {
    std::ifstream in(path_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  std::string path_;
  int fd_ = -1;
};

TEST_F(WriteAllTest, WritesEveryByteOfALargeBufferInOrder) {
  std::string bytes(3 << 20, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + i / 4096);
  ASSERT_TRUE(WriteAll(fd_, bytes));
  ASSERT_TRUE(WriteAll(fd_, "tail"));
  EXPECT_EQ(FileBytes(), bytes + "tail");
}

TEST_F(WriteAllTest, WritingAtAnOffsetReplacesThoseBytesAndLeavesThePositionAlone) {
  ASSERT_TRUE(WriteAll(fd_, "0123456789"));
  ASSERT_TRUE(WriteAllAt(fd_, "abc", 4));
  ASSERT_TRUE(WriteAllAt(fd_, "XY", 12));  // past the end: the gap reads as NUL bytes
  ASSERT_TRUE(WriteAll(fd_, "-"));         // still at 10, where the first write ended
  EXPECT_EQ(FileBytes(), std::string("0123abc789-\0XY", 14));
}

TEST_F(WriteAllTest, ADescriptorThatCannotBeWrittenFails) {
  const int read_only = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(read_only, 0);
  EXPECT_FALSE(WriteAll(read_only, "x"));
  EXPECT_FALSE(WriteAllAt(read_only, "x", 0));
  ::close(read_only);
}

}  // namespace
}  // namespace tc
