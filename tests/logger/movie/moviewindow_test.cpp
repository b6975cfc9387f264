// The movie window driven by its controls on the offscreen platform: opening, dragging,
// the range and format boxes, setups and making a movie.
#include "avi_probe.h"
#include "common/messages.h"
#include "common/numtext.h"
#include "logger/movie/messages.h"
#include "logger/movie/ui/moviewindow.h"
#include "movie_source.h"
#include "support/fake_prompt.h"
#include "support/on_modal.h"
#include "support/test_paths.h"

#include <QDir>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace msg = movie::msg;
using movie::Kind;
using testing_support::FakePrompt;
using testing_support::OnModal;

namespace {

class MovieWindowTest : public ::testing::Test {
 protected:
  void open(movie::MovieRange range = {10, 60}) {
    window = new movie::MovieWindow(log.session, range, prompt, dir.path());
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.data()));
  }
  void TearDown() override { delete window.data(); }

  template <typename T>
  T* find(const QString& name) { return window->findChild<T*>(name); }
  // Drags an element by the mouse: pressed `grab` px inside it, released at `to` (window px).
  void drag(const QString& element, QPoint grab, QPoint to) {
    QWidget* h = find<QWidget>(element);
    QTest::mousePress(h, Qt::LeftButton, {}, grab);
    QTest::mouseMove(h, h->mapFrom(window.data(), to));
    QTest::mouseRelease(h, Qt::LeftButton, {}, h->mapFrom(window.data(), to));
  }
  QPoint topLeft(const QString& element) { return find<QWidget>(element)->geometry().topLeft(); }

  movietest::Log log{300};
  FakePrompt prompt;
  testing_support::ProgramDir dir;
  QPointer<movie::MovieWindow> window;
};

}  // namespace

TEST_F(MovieWindowTest, DragsTheRangeAndFormatBoxesAndTheChannelChoice) {
  open();
  EXPECT_EQ(window->windowTitle(), msg::kCaptionDatamovie);
  drag("Bar_12", {5, 40}, {100, 200});
  drag("Bar_12", {5, 40}, {102, 205});  // a short move lands on the element itself
  EXPECT_EQ(topLeft("Bar_12"), QPoint(97, 165));
  for (QPoint over : {QPoint(100, 210), QPoint(790, 50)}) {  // released over the bar or the MAX box: no effect
    drag("ChValue_12", {2, 2}, over);
    EXPECT_EQ(topLeft("ChValue_12"), QPoint(728, 444));
  }

  drag("Bar_12", {5, 40}, {721, 300});  // back into the palette
  EXPECT_EQ(topLeft("Bar_12"), QPoint(728, 112));

  auto *max = find<QLineEdit>("MAX"), *min = find<QLineEdit>("MIN"), *forma = find<QLineEdit>("Forma");
  const movie::ChannelSetup& setup = window->editor().layout().setup[11];
  max->setFocus();
  max->setText("0.1");  // no Enter: leaving the box enters it
  min->setFocus();
  EXPECT_EQ(std::pair(setup.ScaleMax, max->text()), std::pair(0.1f, QString("0.1"))) << "not 0.100000001490116";
  min->setText("1e3");
  QTest::keyClick(min, Qt::Key_Return);
  EXPECT_EQ(prompt.said(), QStringList{common::msg::kTitleErrorBang + ": " + msg::kNonNumericMin});
  EXPECT_EQ(min->text(), "0");

  forma->clear();
  QTest::keyClicks(forma, "##0.0");
  EXPECT_EQ(setup.ValueFormat, "##0.0");
  QTest::keyClick(forma, Qt::Key_A);  // not a format character: the box is emptied
  EXPECT_EQ(forma->text() + setup.ValueFormat, "");

  // Choosing channel 3 shows its palette.
  find<QComboBox>("Channel")->setCurrentIndex(2);
  emit find<QComboBox>("Channel")->activated(2);
  EXPECT_TRUE(find<QWidget>("CHLabel_3")->isVisible() && !find<QWidget>("Bar_12")->isVisible());
}

TEST_F(MovieWindowTest, SetupsSaveAndLoad) {
  open();
  const QString path = dir.file("cfg/s.mcf");
  prompt.files = {path};
  QTest::mouseClick(find<QPushButton>("SaveSet"), Qt::LeftButton);
  EXPECT_EQ(QStringList({prompt.records[0].title, prompt.records[0].text}), QStringList({msg::kFilterMcf, dir.file("cfg")}));
  const QByteArray bytes = testing_support::FileBytes(path);

  // Saving over it asks first.
  prompt.clear();
  prompt.files = {path};
  prompt.answers = {common::PromptAnswer::No};
  drag("Bar_12", {1, 1}, {51, 51});
  QTest::mouseClick(find<QPushButton>("SaveSet"), Qt::LeftButton);
  EXPECT_EQ(prompt.messageTexts(), QStringList{common::msg::FileExistsQuestion(path)});
  EXPECT_EQ(testing_support::FileBytes(path), bytes);

  // A damaged file changes nothing; the saved one puts the bar back in the palette.
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("cfg/bad.mcf"), bytes.left(1000)));
  prompt.clear();
  prompt.files = {dir.file("cfg/bad.mcf"), path};
  QTest::mouseClick(find<QPushButton>("LoadSet"), Qt::LeftButton);
  EXPECT_EQ(prompt.messageTexts(), QStringList{msg::ErrorOpeningMcf(dir.file("cfg/bad.mcf"))});
  EXPECT_EQ(topLeft("Bar_12"), QPoint(50, 50));
  QTest::mouseClick(find<QPushButton>("LoadSet"), Qt::LeftButton);
  EXPECT_EQ(topLeft("Bar_12"), QPoint(728, 112));
  EXPECT_FALSE(prompt.busy);
}

TEST_F(MovieWindowTest, MakeMovieOneFramePerSampleThenOverAVideoEachThroughItsDialogs) {
  open({10, 12});
  drag("Bar_12", {1, 1}, {51, 51});
  // ProRes asks for a QuickTime name in place of the .avi one.
  prompt.files = {dir.file("video/a.avi"), dir.file("video/t")};
  window->chooseCodec = [] { return movie::Codec::Prores4444; };
  QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton);
  EXPECT_EQ(QStringList({prompt.records[0].title, prompt.records[0].text, prompt.records[1].title}),
            QStringList({msg::kFilterAvi, dir.file("video"), msg::kFilterMov}));
  EXPECT_TRUE(prompt.messages().empty());
  // The window stays, ready for the next try.
  EXPECT_TRUE(window->isVisible() && find<QPushButton>("Command1")->isVisible());
  EXPECT_EQ(movietest::ProbeAvi(dir.file("video/t.mov")).frames.size(), 2u);

  // Over the movie just made: its two frames, 0.1 s apart.
  const QString out = dir.file("video/o.mp4");
  prompt.clear();
  prompt.files = {dir.file("video/t.mov"), out};
  OnModal("OverlayDialog", [&](QWidget* d) {
    auto* at = d->findChild<QLineEdit*>("overlayAt");
    at->setText("x");
    QTest::mouseClick(d->findChild<QPushButton*>("overlayOk"), Qt::LeftButton);
    EXPECT_TRUE(d->isVisible());
    at->setText("0");
    d->findChild<QLineEdit*>("overlayScale")->setText(common::NumberToText(0.2));
    QTest::mouseClick(d->findChild<QPushButton*>("overlayOk"), Qt::LeftButton);
  });
  QTest::mouseClick(find<QPushButton>("OverVideo"), Qt::LeftButton);
  EXPECT_EQ(prompt.said(), QStringList{common::msg::kTitleErrorBang + ": " + msg::NonNumericOverlay(msg::kOverlayAt)});
  EXPECT_EQ(QStringList({prompt.records[0].title, prompt.records[2].title}), QStringList({msg::kFilterVideo, msg::kFilterMp4}));
  EXPECT_EQ(window->windowTitle(), msg::Finished(out));
  const auto o = movietest::ProbeAvi(out);
  ASSERT_EQ(o.frames.size(), 2u);
  // Bar 12 at (50, 50) of the canvas, a fifth of it: full in the second frame (sample 11)
  EXPECT_GT(qRed(o.frames[1].pixel(11, 30)), 180);
}

TEST_F(MovieWindowTest, RunsThatEndEarly) {
  open({0, 300});
  // The compression dialog cancelled: silence, no file, the window stays.
  prompt.files = {dir.file("video/x.avi")};
  OnModal("Compression", [](QWidget* w) { QTest::mouseClick(w->findChild<QPushButton*>("codecCancel"), Qt::LeftButton); });
  QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton);
  EXPECT_TRUE(prompt.messages().empty());
  EXPECT_TRUE(QDir(dir.file("video")).entryList(QDir::Files | QDir::Hidden).isEmpty());

  // Cancel, clicked as soon as the loop lets events through: the frames so far stay.
  prompt.files = {dir.file("video/c.avi")};
  window->chooseCodec = [this] {
    QTimer::singleShot(0, [this] { QTest::mouseClick(find<QPushButton>("Cancel"), Qt::LeftButton); });
    return std::optional<movie::Codec>(movie::Codec::Raw);
  };
  QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton);
  const int frames = movietest::ProbeAvi(dir.file("video/c.avi")).packets;
  EXPECT_TRUE(frames >= 1 && frames < 300) << frames;

  // A file that cannot be written.
  prompt.files = {dir.file("nowhere/x.avi")};
  window->chooseCodec = [] { return movie::Codec::Raw; };
  QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton);
  EXPECT_EQ(prompt.said(), QStringList{common::msg::kTitleLogger + ": " + msg::kWriteError});
  EXPECT_EQ(prompt.records.back().icon, common::PromptIcon::Information);
  EXPECT_TRUE(window->isVisible());

  delete window.data();
  open({10, 10});  // no frames: said before any file is asked for
  prompt.clear();
  window->chooseCodec = [] { return movie::Codec::Raw; };
  QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton);
  EXPECT_EQ(prompt.records.size(), 1u);
  EXPECT_EQ(prompt.said(), QStringList{common::msg::kTitleErrorBang + ": " + msg::kEmptyRange});
}

TEST_F(MovieWindowTest, OpeningChecksTheLogAndTheRange) {
  QWidget owner;
  movie::MovieRange range;
  QPointer<movie::MovieWindow> opened;
  const session::LogSession none;
  movie::OpenMovie(&owner, none, range, prompt, dir.path(), opened);
  EXPECT_EQ(prompt.said(), QStringList{msg::kTitleMovie + ": " + msg::kNoDataToShow});
  EXPECT_FALSE(opened);

  OnModal("Dialog2", [](QWidget* d) { QTest::keyClick(d, Qt::Key_Escape); });  // cancels the movie
  movie::OpenMovie(&owner, log.session, range, prompt, dir.path(), opened);
  EXPECT_FALSE(opened);

  log.view.WindowStart = 5;
  log.view.WindowEnd = 400;  // beyond the 300 samples
  prompt.clear();
  // Refused, the dialog staying open; numbers beyond any integer included.
  const std::tuple<const char*, const char*, QString> refused[] = {
      {"5", "400", msg::StopOutsideLog(300)}, {"12345678901234567890", "9", msg::StartOutsideLog(300)},
      {"-1", "9", msg::StartOutsideLog(300)}, {"0", "4294967305", msg::StopOutsideLog(300)},  // 9 in 32 bits
      {"9", "9", msg::kEmptyRange}};
  QStringList said;
  OnModal("Dialog2", [&](QWidget* d) {
    auto *start = d->findChild<QLineEdit*>("samplenr"), *stop = d->findChild<QLineEdit*>("Stopsamp");
    for (const auto& [a, b, message] : refused) {
      start->setText(a);
      stop->setText(b);
      QTest::mouseClick(d->findChild<QPushButton*>("OKButton"), Qt::LeftButton);
      EXPECT_TRUE(d->isVisible()) << a << " " << b;
      said << common::msg::kTitleErrorBang + ": " + message;
    }
    stop->clear();
    QTest::keyClicks(stop, "x");
    EXPECT_EQ(stop->text(), "0");
    start->setText("5");
    stop->setText("250.5");
    QTest::mouseClick(d->findChild<QPushButton*>("OKButton"), Qt::LeftButton);
  });
  movie::OpenMovie(&owner, log.session, range, prompt, dir.path(), opened);
  EXPECT_EQ(prompt.said(), said << common::msg::kTitleErrorBang + ": " + msg::kNonNumericStop);
  EXPECT_EQ(std::pair(range.start, range.stop), std::pair(5, 250)) << "250.5 rounds half to even";
  ASSERT_TRUE(opened);
  EXPECT_TRUE(opened->parentWidget() == &owner && opened->isVisible());
}
