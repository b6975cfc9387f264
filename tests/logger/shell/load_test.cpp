#include "common/messages.h"
#include "common/numtext.h"
#include "logger/trend/ui/picturebox.h"
#include "shell_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace shelltest;
namespace msg = common::msg;

namespace {
qint16 Wave(int row, int j) { return qint16((j * (row + 1)) % 4096); }
}  // namespace

class LoadTest : public ShellTest {
 protected:
  void SetUp() override {
    writeStartupFiles(0);
    makeWindow();
    prompt.clear();
  }
  void load(const QString& path) {
    prompt.files.push_back(path);
    find<QAction>("mnuload")->trigger();
  }
};

TEST_F(LoadTest, AfterFillRefreshForTwoChannels) {
  const QString path = dir.file("dlg/two.dlg");
  WriteFile(path, DlgBytes(1000, 0x0003, 5, 0, Wave));
  load(path);
  // The log names configuration 0, which has no file: config.cfg stands in.
  ASSERT_EQ(prompt.messages().size(), 1u);
  EXPECT_EQ(prompt.messages()[0].text, msg::ConfigNotFound(0));
  EXPECT_EQ(window->LogLoaded, 1);
  for (int i = 0; i < 12; ++i) {
    auto* c = find<QCheckBox>(QStringLiteral("chkChannel_%1").arg(i));
    EXPECT_EQ(c->isEnabled(), i < 2) << i;
    EXPECT_EQ(c->isChecked(), i < 2) << i;
  }
  EXPECT_EQ(find<QLineEdit>("Text5")->text(), QStringLiteral("0"));
  EXPECT_EQ(find<QLineEdit>("Text6")->text(), QStringLiteral("50"));
  EXPECT_EQ(find<QLineEdit>("window")->text(), QStringLiteral("50"));
  EXPECT_EQ(find<QLineEdit>("Text1")->text(), common::LocaleDoubleText(10.0));
  auto* list = find<QComboBox>("cmbChannelList");
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->itemText(0), QStringLiteral("1"));
  EXPECT_EQ(list->currentText(), QStringLiteral("2"));
  EXPECT_EQ(window->view().OverviewChannel, 1);
  EXPECT_EQ(window->store().LoadedLogFile, path);
  EXPECT_EQ(window->windowTitle(), (QStringLiteral("Velkaro  -  ") + path + QStringLiteral(" - 0.cfg")).toUpper());
  EXPECT_TRUE(QFileInfo::exists(dir.file("cap/init.txt")));
}

TEST_F(LoadTest, EightBitChannelsRateAndRounding) {
  // 1010 samples: 5 % is 50.5, a half that goes to the even 50; FreqCode 250 -> 0.2 Hz.
  const QString path = dir.file("dlg/eight.dlg");
  WriteFile(path, DlgBytes(1010, 0x0C00, 250, 1234, [](int, int j) { return qint16(j % 256); }));
  WriteFile(dir.file("cfg/1234.CFG"), testing_support::FileBytes(dir.file("cfg/config.cfg")));
  load(path);
  EXPECT_TRUE(prompt.messages().empty()) << prompt.messageTexts().join("|").toStdString();
  for (int i = 0; i < 12; ++i)
    EXPECT_EQ(find<QCheckBox>(QStringLiteral("chkChannel_%1").arg(i))->isChecked(), i >= 10) << i;
  EXPECT_EQ(find<QLineEdit>("Text6")->text(), QStringLiteral("50"));
  EXPECT_EQ(find<QLineEdit>("Text1")->text(), common::LocaleDoubleText(0.2));
  EXPECT_EQ(find<QComboBox>("cmbChannelList")->currentText(), QStringLiteral("12"));
  EXPECT_TRUE(window->windowTitle().endsWith(QStringLiteral(" - 1234.CFG")));
  EXPECT_TRUE(window->windowTitle().startsWith(QStringLiteral("VELKARO  -  ")));
}

TEST_F(LoadTest, MissingLogConfigurationWarnsAndStillLoads) {
  const QString path = dir.file("dlg/w.dlg");
  WriteFile(path, DlgBytes(20, 0x0001, 5, 777, Wave));
  load(path);
  ASSERT_EQ(prompt.messages().size(), 1u);
  EXPECT_EQ(prompt.messages()[0].text, msg::ConfigNotFound(777));
  EXPECT_EQ(window->LogLoaded, 1);
  EXPECT_EQ(window->store().SampleCount, 20);
  EXPECT_EQ(window->config().ConfigNumber, 777);
}

TEST_F(LoadTest, FailedLoadChangesNothing) {
  const QString good = dir.file("dlg/good.dlg");
  WriteFile(good, DlgBytes(100, 0x0001, 5, 0, Wave));
  load(good);
  const QString title = window->windowTitle();
  const QString bad = dir.file("dlg/bad.dlg");
  QByteArray b = DlgBytes(100, 0x0003, 5, 0, Wave);
  b.chop(5);  // count says 100 samples, the file holds fewer
  WriteFile(bad, b);
  prompt.clear();
  load(bad);
  ASSERT_EQ(prompt.messages().size(), 1u);
  EXPECT_EQ(prompt.messages()[0].text, msg::ErrorOpeningDlg(bad));
  EXPECT_EQ(window->windowTitle(), title);
  EXPECT_EQ(window->store().ChannelMask, 0x0001);
  EXPECT_EQ(window->store().LoadedLogFile, good);
  EXPECT_FALSE(find<QCheckBox>("chkChannel_1")->isEnabled());
  EXPECT_FALSE(prompt.busy);
}

TEST_F(LoadTest, CancelledOpenDialogChangesNothing) {
  find<QAction>("mnuload")->trigger();
  ASSERT_EQ(prompt.records.size(), 1u);
  EXPECT_EQ(prompt.records[0].title, msg::kFilterDlg);
  EXPECT_EQ(prompt.records[0].text, dir.file("dlg"));
  EXPECT_EQ(window->LogLoaded, 0);
  EXPECT_FALSE(prompt.busy);
}

TEST_F(LoadTest, ProgramTickedBoxesDoNotRedrawButUserClicksDo) {
  const QString path = dir.file("dlg/two.dlg");
  WriteFile(path, DlgBytes(1000, 0x0003, 5, 0, Wave));
  load(path);
  window->show();
  auto* c = find<QCheckBox>("chkChannel_1");
  // Untick channel 2 by hand: the redraw rewrites the window boxes from the view.
  window->view().WindowEnd = 40;
  window->view().WindowLength = 40;
  QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(4, c->height() / 2));
  EXPECT_FALSE(c->isChecked());
  EXPECT_FALSE(window->view().Shown[1]);
  EXPECT_EQ(find<QLineEdit>("Text6")->text(), QStringLiteral("40"));
}

TEST_F(LoadTest, RawImageLoadDecodesSavesAndRefreshes) {
  const sim::GeneratedLog log = sim::GenerateFlight(0x33, 0x00, 5, 4711, 30);
  const QString dlt = dir.file("dlg/raw.dlt");
  WriteFile(dlt, sim::PackImage(log));
  const QString dlg = dir.file("dlg/raw.dlg");
  prompt.files = {dlt, dlg};
  QTest::mouseClick(find<QPushButton>("loaddlt"), Qt::LeftButton);
  EXPECT_EQ(find<QLineEdit>("Text2")->text(), msg::kStatusReady);
  EXPECT_EQ(window->store().SampleCount, log.sampleCount() + 1);
  EXPECT_EQ(window->LogLoaded, 1);
  EXPECT_TRUE(QFileInfo::exists(dlg));
  EXPECT_EQ(QFileInfo(dlg).size(), 11 + 24 * qint64(log.sampleCount() + 1));
  EXPECT_EQ(window->store().LoadedLogFile, dlg);
  // A whole .dlt still ends in the end mark, which the raw road's header size of 8
  // does not take off: one record more than the download gave, in front.
  for (int j : {0, 1, 2, 100, log.sampleCount() - 1}) {
    EXPECT_EQ(window->store().at(0, j + 1), qint16(log.samples[0][std::size_t(j)])) << j;
    EXPECT_EQ(window->store().at(5, j + 1), qint16(log.samples[5][std::size_t(j)])) << j;
  }
}

TEST_F(LoadTest, RawImageLoadThatFailsLeavesTheLogAlone) {
  const QString good = dir.file("dlg/good.dlg");
  WriteFile(good, DlgBytes(100, 0x0001, 5, 0, Wave));
  load(good);
  prompt.clear();
  const QString dlt = dir.file("dlg/short.dlt");
  WriteFile(dlt, QByteArray(6, '\0'));
  prompt.files = {dlt};
  QTest::mouseClick(find<QPushButton>("loaddlt"), Qt::LeftButton);
  ASSERT_EQ(prompt.messages().size(), 1u);
  EXPECT_TRUE(prompt.messages()[0].text.startsWith(QStringLiteral("Error loading dlt file '")));
  EXPECT_EQ(window->store().SampleCount, 100);
  EXPECT_NE(find<QLineEdit>("Text2")->text(), msg::kStatusReady);
}

TEST_F(LoadTest, RawImageLastIndexBeyondTheFileIsRefused) {
  const sim::GeneratedLog log = sim::GenerateFlight(0x01, 0x00, 5, 1, 10);
  const QByteArray image = sim::PackImage(log);
  const QString dlt = dir.file("dlg/r.dlt");
  WriteFile(dlt, image);
  find<QLineEdit>("Text3")->setText(QString::number(image.size() + 10));
  prompt.files = {dlt, dir.file("dlg/never.dlg")};
  QTest::mouseClick(find<QPushButton>("loaddlt"), Qt::LeftButton);
  ASSERT_EQ(prompt.messages().size(), 1u);
  EXPECT_TRUE(prompt.messages()[0].text.startsWith(QStringLiteral("Error loading dlt file '")));
  EXPECT_FALSE(QFileInfo::exists(dir.file("dlg/never.dlg")));
  EXPECT_EQ(window->LogLoaded, 0);
}

TEST_F(LoadTest, SecondLogOfTheSameLengthIsDrawnFromItsOwnSamples) {
  // Two logs of equal length: the second must not be drawn from the first's envelope.
  const QString a = dir.file("dlg/a.dlg");
  const QString b = dir.file("dlg/b.dlg");
  WriteFile(a, DlgBytes(40000, 0x0001, 5, 0, [](int, int) { return qint16(100); }));
  WriteFile(b, DlgBytes(40000, 0x0001, 5, 0, [](int, int j) { return qint16(j == 20000 ? 4000 : 100); }));
  window->show();
  load(a);
  load(b);
  window->view().WindowEnd = 40000;
  window->view().WindowLength = 40000;
  window->Update_Data_Window();
  const auto* pic = window->findChild<QWidget*>(QStringLiteral("picTrend"));
  ASSERT_NE(pic, nullptr);
  // The spike reaches the top tenth of the picture somewhere.
  const QImage img = static_cast<const trend::PictureBox*>(pic)->picture();
  bool high = false;
  for (int x = 0; x < img.width() && !high; ++x)
    for (int y = 0; y < img.height() / 10 && !high; ++y) high = img.pixel(x, y) == QColor(Qt::red).rgb();
  EXPECT_TRUE(high);
}

// A byte count beyond any whole number is refused by its value, not converted.
TEST_F(LoadTest, RawImageLastIndexOutsideTheNumbersIsRefusedAsTyped) {
  const QString dlt = dir.file("dlg/r.dlt");
  WriteFile(dlt, sim::PackImage(sim::GenerateFlight(0x01, 0x00, 5, 1, 10)));
  for (const char* typed : {"3e9", "-3e9", "1e300"}) {
    SCOPED_TRACE(typed);
    prompt.clear();
    find<QLineEdit>("Text3")->setText(QLatin1String(typed));
    prompt.files = {dlt};
    QTest::mouseClick(find<QPushButton>("loaddlt"), Qt::LeftButton);
    ASSERT_EQ(prompt.messages().size(), 1u);
    EXPECT_EQ(prompt.messages()[0].text, msg::LoadedRawImageFailed(dlt, msg::DltBadLastIndexText(QLatin1String(typed))));
    EXPECT_EQ(window->LogLoaded, 0);
  }
}

// config.cfg is found whatever the case of its name, as N.cfg is.
TEST_F(LoadTest, DefaultConfigurationIsFoundWhateverItsCase) {
  QFile::rename(dir.file("cfg/config.cfg"), dir.file("cfg/Config.CFG"));
  window.reset();
  prompt.clear();
  makeWindow();
  EXPECT_TRUE(prompt.messages().empty()) << prompt.messageTexts().join("|").toStdString();
  EXPECT_EQ(window->config().channel[0].Name, QStringLiteral("Ch1"));
  const QString path = dir.file("dlg/x.dlg");
  WriteFile(path, DlgBytes(10, 0x0001, 5, 99, Wave));
  load(path);
  EXPECT_EQ(prompt.messageTexts(), QStringList{msg::ConfigNotFound(99)});
  EXPECT_EQ(window->LogLoaded, 1);
}
