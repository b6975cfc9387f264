// The file name a save dialog hands back: the filter's extension is added when the
// typed name does not already end in it, so the matching open dialog lists the file.
#include "common/prompt.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

namespace {

TEST(SaveName, TakesTheFiltersExtensionUnlessItHasIt) {
  const QString dlg = QStringLiteral("dlg files (*.dlg)|*.dlg");
  struct Case {
    const char* typed;
    QString filter;
    const char* saved;
  };
  const Case cases[] = {
      {"/p/dlg/flight1", dlg, "/p/dlg/flight1.dlg"},
      {"/p/dlg/flight1.dlg", dlg, "/p/dlg/flight1.dlg"},
      {"/p/dlg/FLIGHT1.DLG", dlg, "/p/dlg/FLIGHT1.DLG"},
      {"/p/dlg/flight 12.5", dlg, "/p/dlg/flight 12.5.dlg"},  // a dot inside is no extension of this kind
      {"/p/dlg/flight1.", dlg, "/p/dlg/flight1.dlg"},
      {"/p/v.1/flight1", dlg, "/p/v.1/flight1.dlg"},
      {"/p/cap/run", QStringLiteral("csv files (*.csv)|*.csv"), "/p/cap/run.csv"},
      {"/p/x", QStringLiteral("all files (*.*)|*.*"), "/p/x"},
      {"", dlg, ""},  // cancelled stays cancelled
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    EXPECT_EQ(common::WithFilterExtension(QString::fromUtf8(c.typed), c.filter), QString::fromUtf8(c.saved));
  }
}

}  // namespace
