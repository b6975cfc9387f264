#include "common/numtext.h"
#include "logger/shell/recentlogs.h"
#include "shell_fixture.h"

#include <QComboBox>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

using namespace shelltest;

static qint16 Wave(int row, int j) { return qint16((j * (row + 1)) % 4096); }

class LoadTest : public ShellTest {
 protected:
  void SetUp() override {
    writeStartupFiles(0);
    makeWindow();
    prompt.clear();
  }
};

// The log names a configuration without a file (config.cfg stands in: the log
// configuration suite) and logs channels 1, 11 and 12, the last two in the mask's high byte.
TEST_F(LoadTest, AfterFillRefreshTicksTheLoggedChannelsAndShowsTheFirstFivePercentAClickRedraws) {
  const QString path = dir.file("dlg/log.dlg");
  WriteFile(path, hand::Dlg(1010, 0x0C01, 5, 0, Wave));
  load(path);
  EXPECT_EQ(prompt.said(), QStringList{"Logger: " + msg::ConfigNotFound(0)});
  for (int i = 0; i < 12; ++i) {
    auto* box = find<QCheckBox>(QStringLiteral("chkChannel_%1").arg(i));
    const bool logged = (0x0C01 >> i) & 1;
    EXPECT_EQ(std::pair(box->isEnabled(), box->isChecked()), std::pair(logged, logged)) << i;
  }
  // 5 % of 1010 samples, the half going to the even neighbour.
  EXPECT_EQ(QStringList({text("Text5"), text("Text6"), text("window")}), QStringList({"0", "50", "50"}));
  EXPECT_EQ(text("Text1"), common::LocaleDoubleText(10.0));
  auto* list = find<QComboBox>("cmbChannelList");
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
  EXPECT_EQ(items, QStringList({"1", "11", "12"}));
  EXPECT_EQ(window->view().OverviewChannel, 11);
  EXPECT_EQ(window->windowTitle(), msg::MainTitle(path, "0.cfg"));
  // A click on a channel box redraws, which rewrites the window boxes from the view.
  window->show();
  window->view().WindowEnd = 40;
  window->view().WindowLength = 40;
  tick("chkChannel_11");
  EXPECT_FALSE(find<QCheckBox>("chkChannel_11")->isChecked());
  EXPECT_FALSE(window->view().Shown[11]);
  EXPECT_EQ(text("Text6"), QStringLiteral("40"));
}

TEST_F(LoadTest, RawImageLoadDecodesSavesAndRefreshes) {
  const sim::GeneratedLog log = sim::GenerateFlight(0x33, 0x00, 5, 4711, 30);
  const QString dlt = dir.file("dlg/raw.dlt");
  WriteFile(dlt, sim::PackImage(log));
  const QString dlg = dir.file("dlg/raw.dlg");
  prompt.files = {dlt, dlg};
  click("loaddlt");
  EXPECT_EQ(text("Text2"), msg::kStatusReady);
  EXPECT_TRUE(window->session().loaded());
  EXPECT_EQ(window->store().LoadedLogFile, dlg);
  // A whole .dlt still ends in the end mark, which the raw road's header size of 8
  // does not take off: one record more than the download gave, in front.
  EXPECT_EQ(testing_support::FileBytes(dlg), hand::Dlg(log.sampleCount() + 1, 0x0033, 5, 0, [&](int row, qint32 j) {
              return qint16(j == 0 ? log.samples[std::size_t(row)][0] : log.samples[std::size_t(row)][std::size_t(j - 1)]);
            }));
}

TEST_F(LoadTest, CancelledOrFailedLoadsOfALogOrARawImageChangeNothing) {
  trigger("mnuload");  // the open dialog, cancelled
  ASSERT_EQ(prompt.records.size(), 1u);
  EXPECT_EQ(prompt.records[0].title, msg::kFilterDlg);
  EXPECT_EQ(prompt.records[0].text, dir.file("dlg"));
  EXPECT_FALSE(window->session().loaded());
  EXPECT_FALSE(prompt.busy);

  const QString good = dir.file("dlg/good.dlg");
  WriteFile(good, hand::Dlg(100, 0x0001, 5, 0, Wave));
  load(good);
  const QString title = window->windowTitle();
  const QString bad = dir.file("dlg/bad.dlg");
  WriteFile(bad, hand::Dlg(100, 0x0003, 5, 0, Wave).chopped(5));  // fewer samples than the count says
  prompt.clear();
  load(bad);
  EXPECT_EQ(prompt.messageTexts(), QStringList{msg::ErrorOpeningDlg(bad) + '\n' + msg::DlgCountBeyondFile(bad, 100, 99)});
  EXPECT_EQ(window->windowTitle(), title);
  EXPECT_FALSE(find<QCheckBox>("chkChannel_1")->isEnabled());
  EXPECT_FALSE(prompt.busy);

  const QString dlt = dir.file("dlg/r.dlt");
  const QByteArray image = sim::PackImage(sim::GenerateFlight(0x01, 0x00, 5, 1, 10));
  // An image too short to decode, and last indexes (box Text3) beyond any whole number,
  // refused by their value rather than converted.
  const struct {
    QByteArray bytes;
    QString lastIndex, why;
  } cases[] = {{QByteArray(6, '\0'), "", msg::kImageTooShort},
               {image, "3e9", msg::DltBadLastIndexText("3e9")},
               {image, "-3e9", msg::DltBadLastIndexText("-3e9")}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lastIndex.toStdString());
    WriteFile(dlt, c.bytes);
    find<QLineEdit>("Text3")->setText(c.lastIndex);
    prompt.clear();
    prompt.files = {dlt, dir.file("dlg/never.dlg")};
    click("loaddlt");
    EXPECT_EQ(prompt.messageTexts(), QStringList{msg::LoadedRawImageFailed(dlt, c.why)});
    EXPECT_FALSE(QFileInfo::exists(dir.file("dlg/never.dlg")));
    EXPECT_EQ(window->store().SampleCount, 100);
    EXPECT_NE(text("Text2"), msg::kStatusReady);
  }
}

// A log dropped on the window and one picked from the list of recent logs go the road
// of "&Load"; the list keeps the newest first, each log once, eight at most.
TEST_F(LoadTest, DropAndTheRecentListOpenLogsAsLoadDoes) {
  const QString a = dir.file("dlg/a.dlg"), b = dir.file("dlg/b.dlg");
  WriteFile(a, hand::Dlg(100, 0x0001, 5, 0, Wave));
  WriteFile(b, hand::Dlg(200, 0x0001, 5, 0, Wave));
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(dir.file("cfg/config.cfg")), QUrl::fromLocalFile(a)});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window.get(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window.get(), &drop);
  ASSERT_TRUE(waitFor([&] { return window->store().LoadedLogFile == a; }, 2000)) << window->store().LoadedLogFile.toStdString() << prompt.said().join("|").toStdString();
  load(b);
  auto recent = [this](int i) { return find<QAction>(QStringLiteral("recentLog_%1").arg(i)); };
  EXPECT_EQ(QStringList({recent(0)->text(), recent(1)->text()}), QStringList({"&1 b.dlg", "&2 a.dlg"}));
  EXPECT_FALSE(recent(2)->isVisible());
  recent(1)->trigger();
  EXPECT_EQ(window->store().SampleCount, 100);
  EXPECT_EQ(testing_support::FileBytes(dir.file("cfg/recent.txt")), (a + '\n' + b + '\n').toUtf8());
  QStringList many;
  for (int i = 0; i < 10; ++i) many = shell::RememberLog(many, QString::number(i % 9));
  EXPECT_EQ(many, QStringList({"0", "8", "7", "6", "5", "4", "3", "2"}));
}
