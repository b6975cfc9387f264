// A movie that cannot be written, or is abandoned, leaves nothing behind.
#include "logger/movie/videowriter.h"
#include "support/test_paths.h"

#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

TEST(AviFileTest, AbandonedOrImpossibleWritesLeaveNothing) {
  testing_support::ProgramDir dir;
  QString error;
  EXPECT_FALSE(movie::OpenAvi(dir.file("nowhere/m.avi"), movie::Codec::Raw, 10, &error));
  EXPECT_FALSE(error.isEmpty());

  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("video/old.avi"), "old movie"));
  {
    auto w = movie::Pipelined(movie::OpenAvi(dir.file("video/old.avi"), movie::Codec::Ffv1, 10, nullptr));
    ASSERT_TRUE(w->write(QImage(720, 540, QImage::Format_RGB32)));
  }  // destroyed without finish()
  EXPECT_EQ(testing_support::FileBytes(dir.file("video/old.avi")), "old movie");
  EXPECT_EQ(QDir(dir.file("video")).entryList(QDir::Files | QDir::Hidden), QStringList{"old.avi"});
}
